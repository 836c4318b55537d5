#include "messagefile/MessageFile.h"

#include "messagefile/EmlMessage.h"
#include "messagefile/HtmlText.h"

#include <QByteArray>
#include <QStringDecoder>

namespace {

// A text file's contents by its byte-order mark (left out of the text), else as UTF-8.
QString decodedText(const QByteArray& bytes)
{
    const std::optional<QStringConverter::Encoding> marked = QStringConverter::encodingForData(bytes);
    if (!marked)
        return QString::fromUtf8(bytes);
    QStringDecoder decoder(*marked, QStringDecoder::Flag::Stateless);
    return decoder.decode(bytes);
}

MessageText readHtmlPage(const QString& html)
{
    MessageText message;
    if (const std::optional<HtmlDocument> page = readHtmlDocument(html)) {
        message.subject = page->title;
        message.body = page->text;
    } else {
        message.error = QStringLiteral("the page could not be read to its end (more than %1 elements nested, or no "
                                       "memory left)")
                            .arg(MaxHtmlNesting);
    }
    return message;
}

} // namespace

QString withLineFeeds(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

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
        return readHtmlPage(decodedText(bytes));
    case MessageFormat::Text:
        break;
    }
    MessageText message;
    message.body = withLineFeeds(decodedText(bytes));
    return message;
}
