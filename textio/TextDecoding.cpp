#include "textio/TextDecoding.h"

#include <QStringConverter>
#include <QStringDecoder>

#include <array>
#include <optional>

namespace TextDecoding {
namespace {

// Windows-1252 differs from Latin-1 only in 0x80-0x9F; its five unassigned bytes stay the C1 controls.
constexpr std::array<char16_t, 32> Windows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QString fromWindows1252(const QByteArray& bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char byte : bytes) {
        const auto code = static_cast<unsigned char>(byte);
        *out++ = code >= 0x80 && code < 0xA0 ? QChar(Windows1252High[code - 0x80]) : QChar(code);
    }
    return text;
}

// The text decoded by the byte-order mark it starts with, the mark left out; nothing without one.
std::optional<QString> decodeByMark(const QByteArray& bytes)
{
    const std::optional<QStringConverter::Encoding> marked = QStringConverter::encodingForData(bytes);
    if (!marked)
        return std::nullopt;
    QStringDecoder decoder(*marked, QStringDecoder::Flag::Stateless);
    return decoder.decode(bytes);
}

} // namespace

QString markedOrUtf8(const QByteArray& bytes)
{
    if (std::optional<QString> marked = decodeByMark(bytes))
        return *std::move(marked);
    return QString::fromUtf8(bytes);
}

QString markedUtf8OrWindows1252(const QByteArray& bytes)
{
    if (std::optional<QString> marked = decodeByMark(bytes))
        return *std::move(marked);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    return utf8.hasError() ? fromWindows1252(bytes) : text;
}

QString withVisibleControls(QStringView text)
{
    QString visible;
    visible.reserve(text.size());
    for (const QChar c : text) {
        // The control characters are C0, DEL and C1, all below U+0100.
        if (c.category() == QChar::Other_Control)
            visible += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            visible += c;
    }
    return visible;
}

} // namespace TextDecoding
