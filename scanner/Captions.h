#pragma once

#include <QString>

// The fixed texts that the scan writes into the main window's captions, in one place for the window,
// the command-line scanner and the tests.
namespace Captions {

inline const QString StatusReady = QStringLiteral("Enter your email content below");
inline const QString StatusScanning = QStringLiteral("Scanning Email Content");
inline const QString StatusFinished = QStringLiteral("Finished Scanning");

inline const QString ScanButton = QStringLiteral("Scan");
inline const QString NextButton = QStringLiteral("Next");

inline const QString Pass = QStringLiteral("Pass");
inline const QString Questionable = QStringLiteral("Questionable");
inline const QString Fail = QStringLiteral("Fail");

inline const QString IdleScore = QStringLiteral("0.0");
inline const QString IdlePercent = QStringLiteral("%");

// The empty-input prompt; the product name completes it.
inline const QString EmptyInputPrompt = QStringLiteral("You must enter a copy of your email into the ");

} // namespace Captions
