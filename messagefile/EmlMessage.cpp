#include "messagefile/EmlMessage.h"

#include "messagefile/HtmlText.h"

#include <QRegularExpression>

#include <gmime/gmime.h>

#include <iconv.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace {

const QString PlainPart = QStringLiteral("text/plain");
const QString HtmlPart = QStringLiteral("text/html");

// Converting from a character set loads the C library's module for it, and closing the last conversion
// unloads it again, so rating message after message would load and unload a module for nearly every
// header and part. One conversion per character set met is kept open for the rest of the program.
// They are closed when the program ends.
class KeptConverters
{
public:
    ~KeptConverters()
    {
        for (const auto& [name, converter] : m_kept) {
            if (converter != iconv_t(-1))
                iconv_close(converter);
        }
    }

    void keep(const char* name)
    {
        const std::lock_guard lock(m_mutex);
        if (!m_kept.contains(name))
            m_kept.emplace(name, iconv_open("UTF-8", name));
    }

private:
    std::mutex m_mutex;
    std::map<std::string, iconv_t> m_kept;
};

void keepConverterLoaded(const char* charset)
{
    static KeptConverters kept;
    if (const char* name = g_mime_charset_iconv_name(charset))
        kept.keep(name);
}

void initializeGMime()
{
    static std::once_flag once;
    std::call_once(once, [] {
        g_mime_init();
        // Headers with 8-bit text are tried in this character set.
        keepConverterLoaded("iso-8859-1");
    });
}

template <typename T>
struct GObjectDeleter
{
    void operator()(T* object) const { g_object_unref(object); }
};
template <typename T>
using GObjectPtr = std::unique_ptr<T, GObjectDeleter<T>>;

// The parser's findings that mean parts of the message would be lost or misread.
struct ParserFindings
{
    QString fault;

    static void record(gint64, GMimeParserWarning code, const gchar*, gpointer findings)
    {
        QString& fault = static_cast<ParserFindings*>(findings)->fault;
        if (!fault.isEmpty())
            return;
        switch (code) {
        case GMIME_CRIT_NESTING_OVERFLOW:
            fault = QStringLiteral("its parts are nested too deeply");
            break;
        case GMIME_CRIT_PART_WITHOUT_HEADERS_OR_CONTENT:
            fault = QStringLiteral("a part has neither header lines nor content");
            break;
        default:
            break;
        }
    }
};

struct TextParts
{
    GMimeTextPart* plain = nullptr;
    GMimeTextPart* html = nullptr;
};

// RFC 2045 section 5.1: type "/" subtype, both tokens.
bool hasValidContentType(GMimeObject* object)
{
    static const QString token = QStringLiteral(R"([^\x00-\x20\x7f()<>@,;:\\"/\[\]?=]+)");
    static const QRegularExpression typeAndSubtype(QStringLiteral(R"(^\s*%1\s*/\s*%1)").arg(token));
    const char* header = g_mime_object_get_header(object, "Content-Type");
    return !header || typeAndSubtype.match(QString::fromLatin1(header)).hasMatch();
}

// A multipart section whose boundary never appears holds its whole content before the first boundary.
// A mail reader shows that content, so it becomes the section's one part: a MIME part of its own when
// it starts with the part's header lines, plain text otherwise.
void addUndividedContent(GMimeMultipart* multipart)
{
    const char* content = g_mime_multipart_get_prologue(multipart);
    if (!content)
        return;
    const QByteArray bytes(content);
    const GObjectPtr<GMimeStream> stream(g_mime_stream_mem_new_with_buffer(bytes.constData(), bytes.size()));
    if (bytes.left(8).toLower() == "content-") {
        const GObjectPtr<GMimeParser> parser(g_mime_parser_new_with_stream(stream.get()));
        const GObjectPtr<GMimeObject> part(g_mime_parser_construct_part(parser.get(), nullptr));
        if (part)
            g_mime_multipart_add(multipart, part.get());
        return;
    }
    const GObjectPtr<GMimeDataWrapper> wrapper(
        g_mime_data_wrapper_new_with_stream(stream.get(), GMIME_CONTENT_ENCODING_DEFAULT));
    const GObjectPtr<GMimeTextPart> part(g_mime_text_part_new_with_subtype("plain"));
    g_mime_part_set_content(GMIME_PART(part.get()), wrapper.get());
    g_mime_multipart_add(multipart, GMIME_OBJECT(part.get()));
}

bool isAttachment(GMimeObject* object)
{
    const char* disposition = g_mime_object_get_disposition(object);
    return disposition && g_ascii_strcasecmp(disposition, GMIME_DISPOSITION_ATTACHMENT) == 0;
}

// The first plain and the first HTML part in reading order, leaving out attached files and attached
// messages, whose text is not the message's own.
void findTextParts(GMimeObject* object, TextParts& found)
{
    if (GMIME_IS_MULTIPART(object)) {
        GMimeMultipart* multipart = GMIME_MULTIPART(object);
        if (g_mime_multipart_get_count(multipart) == 0)
            addUndividedContent(multipart);
        const int count = g_mime_multipart_get_count(multipart);
        for (int i = 0; i < count && !(found.plain && found.html); ++i)
            findTextParts(g_mime_multipart_get_part(multipart, i), found);
        return;
    }
    if (!GMIME_IS_TEXT_PART(object) || isAttachment(object))
        return;
    // RFC 2045 section 5.2: a part whose content type cannot be read is plain text.
    GMimeContentType* type = g_mime_object_get_content_type(object);
    if (!found.plain && (g_mime_content_type_is_type(type, "text", "plain") || !hasValidContentType(object)))
        found.plain = GMIME_TEXT_PART(object);
    else if (!found.html && g_mime_content_type_is_type(type, "text", "html"))
        found.html = GMIME_TEXT_PART(object);
}

// The part's text in UTF-8: transfer encoding undone and converted from the part's character set.
QByteArray decodedText(GMimeTextPart* part)
{
    if (const char* charset = g_mime_text_part_get_charset(part))
        keepConverterLoaded(charset);
    const std::unique_ptr<char, decltype(&g_free)> text(g_mime_text_part_get_text(part), &g_free);
    return QByteArray(text.get());
}

// Transfer agents cut a message's header lines at some hundred kilobytes. The parser holds each header
// field several times over, and a hundred times over while it decodes one, so header lines of megabytes
// would take gigabytes; more than this is refused as malformed.
constexpr qsizetype MaxHeaderBytes = 1024 * 1024;

// "Name:" at the start of a line, as a header field starts.
bool startsHeaderField(QByteArrayView line)
{
    qsizetype i = 0;
    while (i < line.size() && line.at(i) > ' ' && line.at(i) < 127 && line.at(i) != ':')
        ++i;
    return i > 0 && i < line.size() && line.at(i) == ':';
}

// Whether the header lines of the message, of one of its parts or of a message attached to it hold more
// than MaxHeaderBytes. Found without parsing the message: a part's header lines follow a line that starts
// with "--", as its boundary does, and an attached message's header lines follow the empty line that ends
// its part's.
bool hasOversizedHeader(QByteArrayView message)
{
    bool inHeader = true;
    bool headerEnded = false;
    qsizetype headerBytes = 0;
    for (qsizetype start = 0; start < message.size();) {
        const qsizetype lineFeed = message.indexOf('\n', start);
        const qsizetype end = lineFeed < 0 ? message.size() : lineFeed + 1;
        const QByteArrayView line = message.sliced(start, end - start);
        start = end;
        if (line.startsWith("--") || (headerEnded && startsHeaderField(line))) {
            inHeader = true;
            headerBytes = 0;
        } else if (line == "\n" || line == "\r\n") {
            headerEnded = inHeader;
            inHeader = false;
            continue;
        }
        headerEnded = false;
        headerBytes += inHeader ? line.size() : 0;
        if (headerBytes > MaxHeaderBytes)
            return true;
    }
    return false;
}

MessageText failed(const QString& reason)
{
    MessageText message;
    message.error = reason;
    return message;
}

} // namespace

MessageText readEmlMessage(const QByteArray& bytes)
{
    if (QByteArrayView(bytes).trimmed().isEmpty())
        return failed(QStringLiteral("the message is empty"));
    if (hasOversizedHeader(bytes))
        return failed(QStringLiteral("the message is malformed: its header lines, or a part's, hold more than %1 MiB")
                          .arg(MaxHeaderBytes / (1024 * 1024)));
    initializeGMime();

    // The parser reads the message where it lies rather than from a copy: a memory stream only reads the
    // data and length of a byte array it does not own, and parts refer into it until the message is freed.
    GByteArray inPlace {reinterpret_cast<guint8*>(const_cast<char*>(bytes.constData())), guint(bytes.size())};
    const GObjectPtr<GMimeStream> stream(g_mime_stream_mem_new());
    g_mime_stream_mem_set_byte_array(GMIME_STREAM_MEM(stream.get()), &inPlace);
    const GObjectPtr<GMimeParser> parser(g_mime_parser_new_with_stream(stream.get()));
    const std::unique_ptr<GMimeParserOptions, decltype(&g_mime_parser_options_free)> options(
        g_mime_parser_options_new(), &g_mime_parser_options_free);
    ParserFindings findings;
    g_mime_parser_options_set_warning_callback(options.get(), &ParserFindings::record, &findings);

    const GObjectPtr<GMimeMessage> parsed(g_mime_parser_construct_message(parser.get(), options.get()));
    if (!parsed)
        return failed(QStringLiteral("it does not start with header lines, so it is not a saved e-mail"));
    if (!findings.fault.isEmpty())
        return failed(QStringLiteral("the message is malformed: %1").arg(findings.fault));

    TextParts parts;
    if (GMimeObject* body = g_mime_message_get_mime_part(parsed.get()))
        findTextParts(body, parts);
    if (!parts.plain && !parts.html)
        return failed(QStringLiteral("the message has no text part (plain text or HTML)"));

    MessageText message;
    message.subject = QString::fromUtf8(g_mime_message_get_subject(parsed.get()));
    if (parts.plain) {
        message.body = withLineFeeds(QString::fromUtf8(decodedText(parts.plain)));
        message.partUsed = PlainPart;
    }
    // A blank plain part shows nothing, so a reader sees the HTML alternative: it is rated when it holds text.
    if (parts.html && message.body.trimmed().isEmpty()) {
        if (const QString fault = htmlReaderFault(); !fault.isEmpty())
            return failed(fault);
        const std::optional<HtmlDocument> page = readHtmlDocument(decodedText(parts.html));
        if (!page)
            return failed(QStringLiteral("its HTML part could not be read to its end (more than %1 elements "
                                         "nested, or no memory left)")
                              .arg(MaxHtmlNesting));
        if (!page->text.isEmpty() || !parts.plain) {
            message.body = page->text;
            message.partUsed = HtmlPart;
        }
    }
    return message;
}
