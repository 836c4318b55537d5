#include "messagefile/MessageFile.h"

#include "messagefile/EmlMessage.h"
#include "messagefile/HtmlText.h"
#include "textio/TextDecoding.h"

#include <QByteArray>
#include <QStringConverter>

namespace {

// A page's text as UTF-8: decoded by its byte-order mark (left out), else the bytes as they stand.
QByteArray pageUtf8(const QByteArray& bytes)
{
    return QStringConverter::encodingForData(bytes) ? TextDecoding::markedOrUtf8(bytes).toUtf8() : bytes;
}

MessageText
readHtmlPage(const QByteArray& bytes, HtmlPositions positions = HtmlPositions::Skip, MessageSourceMap* places = nullptr)
{
    MessageText message;
    message.error = htmlReaderFault();
    if (!message.isValid())
        return message;
    if (std::optional<HtmlDocument> page = readHtmlDocument(pageUtf8(bytes), positions)) {
        message.subject = page->title;
        message.body = page->text;
        if (places)
            *places = MessageSourceMap(std::move(page->textPositions), page->titlePosition);
    } else {
        message.error = QStringLiteral("the page could not be read to its end (more than %1 elements nested, or no "
                                       "memory left)")
                            .arg(MaxHtmlNesting);
    }
    return message;
}

} // namespace

std::optional<MessageFormat> messageFormatOf(QStringView path)
{
    const auto endsWith = [path](QStringView suffix) { return path.endsWith(suffix, Qt::CaseInsensitive); };
    if (endsWith(u".eml"))
        return MessageFormat::Eml;
    if (endsWith(u".html") || endsWith(u".htm"))
        return MessageFormat::Html;
    if (endsWith(u".txt"))
        return MessageFormat::Text;
    return std::nullopt;
}

MessageText readMessage(const QByteArray& bytes, MessageFormat format)
{
    switch (format) {
    case MessageFormat::Eml:
        return readEmlMessage(bytes);
    case MessageFormat::Html:
        return readHtmlPage(bytes);
    case MessageFormat::Text:
        break;
    }
    MessageText message;
    message.body = withLineFeeds(TextDecoding::markedOrUtf8(bytes));
    return message;
}

MessageSourceMap::MessageSourceMap(const QString& body)
    : m_bodyLines(body)
{
}

MessageSourceMap::MessageSourceMap(QList<TextPosition> body, TextPosition subject)
    : m_bodyPositions(std::move(body))
    , m_positionsGiven(true)
    , m_subject(subject)
{
}

TextPosition MessageSourceMap::body(qsizetype index) const
{
    if (m_positionsGiven)
        return index >= 0 && index < m_bodyPositions.size() ? m_bodyPositions.at(index) : TextPosition {};
    return m_bodyLines.at(index);
}

std::optional<TextSpan> MessageSourceMap::bodySpan(qsizetype index, qsizetype length) const
{
    if (length <= 0)
        return std::nullopt;
    const TextPosition first = body(index);
    const TextPosition last = body(index + length - 1);
    if (!first.isKnown() || !last.isKnown() || last.line != first.line)
        return std::nullopt;
    // Units read from the file one by one (an HTML page's text) stand there as they are only where their
    // columns follow on without a gap. The space between two words takes the place of the word after it,
    // which is the place after a single white-space character when nothing else lies between the words.
    if (m_positionsGiven) {
        const auto placeAt = [&](qsizetype i) { return m_bodyPositions.at(index + i); };
        const auto inOrder = [&](qsizetype i) { return placeAt(i) == TextPosition {first.line, first.column + i}; };
        for (qsizetype i = 1; i < length; ++i) {
            const bool singleSpace = i + 1 < length && inOrder(i + 1) && placeAt(i) == placeAt(i + 1);
            if (!inOrder(i) && !singleSpace)
                return std::nullopt;
        }
    }
    return TextSpan {first, {last.line, last.column + 1}};
}

LocatedMessage readLocatedMessage(const QByteArray& bytes, MessageFormat format)
{
    LocatedMessage located;
    if (format == MessageFormat::Html) {
        located.text = readHtmlPage(bytes, HtmlPositions::Keep, &located.places);
        return located;
    }
    located.text = readMessage(bytes, format);
    if (format == MessageFormat::Eml) {
        // The body of a saved e-mail is decoded text, whose lines are not the file's: only its subject has a place.
        const qsizetype subjectLine = subjectHeaderLine(bytes);
        located.places = MessageSourceMap(QList<TextPosition>(),
                                          subjectLine > 0 ? TextPosition {subjectLine, 1} : TextPosition {});
    } else {
        located.places = MessageSourceMap(located.text.body);
    }
    return located;
}

qsizetype subjectHeaderLine(const QByteArray& message)
{
    qsizetype line = 1;
    for (qsizetype start = 0; start < message.size(); ++line) {
        qsizetype end = message.indexOf('\n', start);
        if (end < 0)
            end = message.size();
        const QByteArrayView header = QByteArrayView(message).sliced(start, end - start);
        if (header.isEmpty() || header == "\r")
            break;
        if (header.size() >= 8 && header.first(8).compare("subject:", Qt::CaseInsensitive) == 0)
            return line;
        start = end + 1;
    }
    return 0;
}
