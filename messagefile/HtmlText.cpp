#include "messagefile/HtmlText.h"

#include <QSet>

#include <libxml/HTMLparser.h>
#include <libxml/SAX2.h>
#include <libxml/parserInternals.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <utility>
#include <vector>

namespace {

// Where each byte of each text node came from in the page, as byte offsets into the page. The parser tells
// only where it stands after a run of text; the run's bytes are matched back from there. The sources of
// all nodes lie in one array, each node's in one range, whose number the node keeps in its field for the
// program's own use.
class SourceRecorder
{
public:
    explicit SourceRecorder(const QByteArray& page)
        : m_page(page)
    {
    }

    void record(xmlNode* node, const xmlChar* chars, int length, qsizetype end)
    {
        Range& range = rangeOf(node);
        // A node's runs come one after the other, so its range grows at the end of the array; were another
        // node's run to come between, the range would move to the end first.
        const std::size_t last = m_sources.size();
        if (range.first + range.count != last) {
            m_sources.resize(last + range.count);
            std::copy_n(m_sources.begin() + std::ptrdiff_t(range.first), range.count,
                        m_sources.begin() + std::ptrdiff_t(last));
            range.first = last;
        }
        m_sources.resize(m_sources.size() + std::size_t(length));
        range.count += std::size_t(length);
        qint32* out = m_sources.data() + m_sources.size() - length;
        qsizetype source = std::min(end, m_page.size());
        qsizetype i = length;
        while (i > 0 && source > 0) {
            const char unit = m_page.at(source - 1);
            if (unit == char(chars[i - 1]))
                out[--i] = qint32(--source);
            else if (unit == '\r') // a CR the parser left out before an LF
                --source;
            else
                break;
        }
        // What is left came from a character reference: it starts at the '&' before, which lies after the
        // previous run. Looking no further back keeps reading a page linear in its size.
        if (i > 0) {
            qsizetype ampersand = source - 1;
            while (ampersand >= m_previousEnd && m_page.at(ampersand) != '&')
                --ampersand;
            while (i > 0)
                out[--i] = qint32(ampersand >= m_previousEnd ? ampersand : source);
        }
        m_previousEnd = std::max(m_previousEnd, std::min(end, m_page.size()));
    }

    // The source of each byte of the node's content; empty when none was recorded.
    std::span<const qint32> sourcesOf(const xmlNode* node) const
    {
        if (!node->_private)
            return {};
        const Range& range = m_ranges[reinterpret_cast<std::uintptr_t>(node->_private) - 1];
        return std::span(m_sources).subspan(range.first, range.count);
    }

private:
    struct Range
    {
        std::size_t first = 0;
        std::size_t count = 0;
    };

    Range& rangeOf(xmlNode* node)
    {
        if (!node->_private) {
            m_ranges.push_back({m_sources.size(), 0});
            node->_private = reinterpret_cast<void*>(std::uintptr_t(m_ranges.size()));
        }
        return m_ranges[reinterpret_cast<std::uintptr_t>(node->_private) - 1];
    }

    const QByteArray& m_page;
    // Where the last run of text ended in the page.
    qsizetype m_previousEnd = 0;
    std::vector<qint32> m_sources;
    std::vector<Range> m_ranges;
};

// The source of each UTF-16 unit that the UTF-8 `content` decodes to.
QList<qint32> unitSources(const char* content, std::span<const qint32> byteSources)
{
    QList<qint32> units;
    for (qsizetype i = 0; content[i]; ++i) {
        const uchar byte = uchar(content[i]);
        if ((byte & 0xC0) == 0x80)
            continue;
        const qint32 source = std::size_t(i) < byteSources.size() ? byteSources[std::size_t(i)]
                                                                  : (units.isEmpty() ? 0 : units.constLast());
        units.append(source);
        if (byte >= 0xF0) // a character beyond the BMP takes two units
            units.append(source);
    }
    return units;
}

// The parser gives element names in lower case.
QByteArrayView nameOf(const xmlNode* node)
{
    return QByteArrayView(reinterpret_cast<const char*>(node->name));
}

bool isHidden(QByteArrayView element)
{
    static const QSet<QByteArrayView> hidden {"head", "script", "style", "template"};
    return hidden.contains(element);
}

// Elements that a browser starts on a line of their own.
bool isBlock(QByteArrayView element)
{
    static const QSet<QByteArrayView> blocks {"address", "article", "blockquote", "center", "dd", "div", "dl",
                                              "dt",      "footer",  "form",       "h1",     "h2", "h3",  "h4",
                                              "h5",      "h6",      "header",     "hr",     "li", "ol",  "p",
                                              "pre",     "section", "table",      "tr",     "ul"};
    return blocks.contains(element);
}

bool isCell(QByteArrayView element)
{
    return element == "td" || element == "th";
}

// Collects the visible text of the parsed document the way a browser lays it out as lines. The tree is
// walked without recursion, so no nesting depth can exhaust the stack.
class TextCollector
{
public:
    // With a recorder, the source of every unit of the text is kept as well.
    explicit TextCollector(const SourceRecorder* recorder)
        : m_recorder(recorder)
    {
    }

    // Walks everything below `container` in document order.
    void walk(const xmlNode* container)
    {
        const xmlNode* node = container->children;
        int preformattedDepth = 0;
        while (node) {
            if (enter(node, preformattedDepth > 0)) {
                preformattedDepth += nameOf(node) == "pre";
                node = node->children;
                continue;
            }
            // Leave every element finished here on the way to the next node.
            while (!node->next && node->parent != container) {
                node = node->parent;
                const QByteArrayView element = nameOf(node);
                preformattedDepth -= element == "pre";
                if (isBlock(element))
                    endLine();
            }
            node = node->next;
        }
    }

    QString text() const { return m_text.left(textEnd()); }

    // The byte offset in the page of each unit of `text()`.
    QList<qint32> sources() const { return m_sources.first(std::min(m_sources.size(), textEnd())); }

private:
    // Takes the node's own text or opening; true when its children are to be walked next.
    bool enter(const xmlNode* node, bool preformatted)
    {
        if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
            const char* content = reinterpret_cast<const char*>(node->content);
            const QString text = QString::fromUtf8(content);
            const QList<qint32> sources
                = m_recorder ? unitSources(content, m_recorder->sourcesOf(node)) : QList<qint32> {};
            preformatted ? addPreformatted(text, sources) : addWords(text, sources);
            return false;
        }
        if (node->type != XML_ELEMENT_NODE)
            return false;
        const QByteArrayView element = nameOf(node);
        if (isHidden(element))
            return false;
        if (element == "br") {
            append(u'\n');
            m_pendingSpace = false;
            return false;
        }
        if (isBlock(element))
            endLine();
        else if (isCell(element))
            m_pendingSpace = true;
        if (node->children)
            return true;
        if (isBlock(element))
            endLine();
        return false;
    }

    qsizetype textEnd() const
    {
        qsizetype end = m_text.size();
        while (end > 0 && m_text.at(end - 1).isSpace())
            --end;
        return end;
    }

    // Appends a unit of the page's text, or one the layout adds (without a source of its own).
    void append(QChar c, std::optional<qint32> source = std::nullopt)
    {
        m_text += c;
        if (m_recorder)
            m_sources.append(source.value_or(m_sources.isEmpty() ? 0 : m_sources.constLast()));
    }

    std::optional<qint32> sourceAt(const QList<qint32>& sources, qsizetype i) const
    {
        return i < sources.size() ? std::optional(sources.at(i)) : std::nullopt;
    }

    void addWords(const QString& text, const QList<qint32>& sources)
    {
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text.at(i);
            if (c.isSpace()) {
                m_pendingSpace = true;
                continue;
            }
            if (m_pendingSpace && !m_text.isEmpty() && !m_text.endsWith(u'\n'))
                append(u' ', sourceAt(sources, i));
            m_pendingSpace = false;
            append(c, sourceAt(sources, i));
        }
    }

    // The text as it stands, its line ends made LF as a browser reads them: CR LF and a lone CR alike.
    void addPreformatted(const QString& text, const QList<qint32>& sources)
    {
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text.at(i);
            if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
                continue;
            append(c == u'\r' ? QChar(u'\n') : c, sourceAt(sources, i));
        }
        m_pendingSpace = false;
    }

    void endLine()
    {
        if (!m_text.isEmpty() && !m_text.endsWith(u'\n'))
            append(u'\n');
        m_pendingSpace = false;
    }

    const SourceRecorder* m_recorder;
    QString m_text;
    QList<qint32> m_sources;
    bool m_pendingSpace = false;
};

// The <title> element: the parser places it in the <head>, which the text leaves out.
const xmlNode* titleOf(const xmlNode* root)
{
    for (const xmlNode* section = root->children; section; section = section->next) {
        if (section->type != XML_ELEMENT_NODE || nameOf(section) != "head")
            continue;
        for (const xmlNode* node = section->children; node; node = node->next) {
            if (node->type == XML_ELEMENT_NODE && nameOf(node) == "title")
                return node;
        }
    }
    return nullptr;
}

QString textOf(const xmlNode* title)
{
    if (!title)
        return {};
    const std::unique_ptr<xmlChar, decltype(xmlFree)> content(xmlNodeGetContent(title), xmlFree);
    return QString::fromUtf8(reinterpret_cast<const char*>(content.get())).simplified();
}

// The byte offset in the page of the title's first character that is not white space.
std::optional<qint32> titleSource(const xmlNode* title, const SourceRecorder& recorder)
{
    for (const xmlNode* node = title ? title->children : nullptr; node; node = node->next) {
        if (node->type != XML_TEXT_NODE)
            continue;
        const std::span<const qint32> sources = recorder.sourcesOf(node);
        const char* content = reinterpret_cast<const char*>(node->content);
        for (std::size_t i = 0; content[i] && i < sources.size(); ++i) {
            if (!QChar::isSpace(uchar(content[i])))
                return sources[i];
        }
    }
    return std::nullopt;
}

// Characters as the parser's own handler adds them, with the place each run of text came from.
void charactersWithSource(void* context, const xmlChar* chars, int length)
{
    auto* parser = static_cast<htmlParserCtxtPtr>(context);
    xmlSAX2Characters(context, chars, length);
    const xmlNode* parent = parser->node;
    if (!parent || !parent->last || parent->last->type != XML_TEXT_NODE || !parser->input)
        return;
    const qsizetype end = qsizetype(parser->input->consumed) + (parser->input->cur - parser->input->base);
    static_cast<SourceRecorder*>(parser->_private)->record(parent->last, chars, length, end);
}

// Stops the parser at an element nested deeper than MaxHtmlNesting. Every end tag that closes no open
// element makes the parser look through all open ones, so an unbounded depth would let a small message of
// unclosed and stray tags take minutes. Real mail stays far below the limit.
void startElementWithinDepth(void* context, const xmlChar* name, const xmlChar**)
{
    auto* parser = static_cast<htmlParserCtxtPtr>(context);
    if (parser->nameNr > MaxHtmlNesting) {
        xmlStopParser(parser);
        return;
    }
    // The text never reads attributes: leaving them out of the tree keeps a page with a huge one small.
    xmlSAX2StartElement(context, name, nullptr);
}

} // namespace

// Where the reader itself is linked in (its module, the fuzzers), nothing stands in its way.
QString htmlReaderFault()
{
    return QString();
}

std::optional<HtmlDocument> readHtmlDocument(const QByteArray& html, HtmlPositions positions)
{
    // Messages are read on several threads at once; the parser's own tables are set up once, before any.
    static std::once_flag initialized;
    std::call_once(initialized, [] { xmlInitParser(); });
    // Bytes that are not UTF-8 are read as Qt reads them, a replacement character for each bad sequence.
    const QByteArray utf8 = html.isValidUtf8() ? html : QString::fromUtf8(html).toUtf8();
    // Real mail nests deeper than the parser's default limit of 256 elements (spam leaves hundreds of
    // <font> tags open), and the parser would drop all text after it; XML_PARSE_HUGE lifts that limit in
    // favour of our own. UTF-8 is the parser's own encoding, so the page is not converted (which would
    // hold it twice more), and a character set that the page names is passed over.
    const int options = HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET
        | HTML_PARSE_IGNORE_ENC | XML_PARSE_HUGE;
    const std::unique_ptr<htmlParserCtxt, decltype(&htmlFreeParserCtxt)> parser(htmlNewParserCtxt(),
                                                                                &htmlFreeParserCtxt);
    if (!parser)
        return std::nullopt;
    htmlCtxtUseOptions(parser.get(), options);
    parser->sax->startElement = &startElementWithinDepth;
    std::optional<SourceRecorder> recorder;
    if (positions == HtmlPositions::Keep) {
        recorder.emplace(utf8);
        parser->_private = &*recorder;
        parser->sax->characters = &charactersWithSource;
    }
    xmlParserInputBufferPtr input
        = xmlParserInputBufferCreateMem(utf8.constData(), int(utf8.size()), XML_CHAR_ENCODING_NONE);
    xmlParserInputPtr stream = input ? xmlNewIOInputStream(parser.get(), input, XML_CHAR_ENCODING_NONE) : nullptr;
    if (!stream) {
        xmlFreeParserInputBuffer(input);
        return std::nullopt;
    }
    inputPush(parser.get(), stream);
    xmlSwitchEncoding(parser.get(), XML_CHAR_ENCODING_UTF8);
    htmlParseDocument(parser.get());
    const std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)> document(std::exchange(parser->myDoc, nullptr), &xmlFreeDoc);
    // A parser that stopped part-way (a limit of its own, or memory) has dropped the rest of the text.
    if (parser->disableSAX)
        return std::nullopt;
    const xmlNode* root = document ? xmlDocGetRootElement(document.get()) : nullptr;
    if (!root)
        return HtmlDocument {};
    TextCollector collector(recorder ? &*recorder : nullptr);
    collector.walk(root->parent);
    const xmlNode* title = titleOf(root);
    HtmlDocument page {textOf(title), collector.text(), {}, {}};
    if (recorder) {
        const LineIndex lines(utf8);
        const QList<qint32> sources = collector.sources();
        page.textPositions.reserve(sources.size());
        for (const qint32 source : sources)
            page.textPositions.append(lines.at(source));
        if (const std::optional<qint32> source = titleSource(title, *recorder))
            page.titlePosition = lines.at(*source);
    }
    return page;
}
