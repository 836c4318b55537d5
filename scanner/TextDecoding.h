#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

// How the bytes of a file become text. A byte-order mark (UTF-8, UTF-16 or UTF-32, either byte order)
// decides the encoding wherever it is present and is not part of the text.
namespace TextDecoding {

// A definitions file: by its byte-order mark, else UTF-8 when the bytes are valid UTF-8, else Windows-1252,
// the code page the format was first saved in. Line ends are kept as they are.
QString definitionsText(const QByteArray& bytes);

// The text with every control character written out as \xNN, so a message that quotes a
// file's contents or a path shows it on one line and sends no control codes to a terminal.
QString withVisibleControls(QStringView text);

} // namespace TextDecoding
