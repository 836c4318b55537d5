#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

// How the bytes of a file become text. A byte-order mark (UTF-8, UTF-16 or UTF-32, either byte order)
// decides the encoding wherever it is present and is not part of the text.
namespace TextDecoding {

// By the byte-order mark, else as UTF-8: the text files and pages that messages are read from.
QString markedOrUtf8(const QByteArray& bytes);

// By the byte-order mark, else as UTF-8 when the bytes are valid UTF-8, else as Windows-1252: the code page
// that definitions files were first saved in. Line ends are kept as they are.
QString markedUtf8OrWindows1252(const QByteArray& bytes);

// The text with every control character written out as \xNN, so a message that quotes a
// file's contents or a path shows it on one line and sends no control codes to a terminal.
QString withVisibleControls(QStringView text);

} // namespace TextDecoding
