#include "messagefile/HtmlText.h"

#include <QSet>

#include <libxml/HTMLparser.h>
#include <libxml/SAX2.h>

#include <memory>
#include <mutex>
#include <optional>
#include <unordered_map>

namespace {

// Where each byte of each text node came from in the page, as byte offsets into the page's UTF-8. The
// parser tells only where it stands after a run of text; the run's bytes are matched back from there.
class SourceRecorder
{
public:
    explicit SourceRecorder(const QByteArray& page)
        : m_page(page)
    {
    }

    void record(const xmlNode* node, const xmlChar* chars, int length, qsizetype end)
    {
        QList<qint32>& sources = m_sources[node];
        const qsizetype first = sources.size();
        sources.resize(first + length);
        qint32* out = sources.data() + first;
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
        // What is left came from a character reference: it starts at the '&' before.
        const qsizetype ampersand = m_page.lastIndexOf('&', source - 1);
        while (i > 0)
            out[--i] = qint32(ampersand >= 0 ? ampersand : source);
    }

    // The source of each byte of the node's content; empty when none was recorded.
    QList<qint32> sourcesOf(const xmlNode* node) const
    {
        const auto found = m_sources.find(node);
        return found == m_sources.end() ? QList<qint32> {} : found->second;
    }

    const QByteArray& page() const { return m_page; }

private:
    const QByteArray& m_page;
    std::unordered_map<const xmlNode*, QList<qint32>> m_sources;
};

// The source of each UTF-16 unit that the UTF-8 `content` decodes to.
QList<qint32> unitSources(const char* content, const QList<qint32>& byteSources)
{
    QList<qint32> units;
    for (qsizetype i = 0; content[i]; ++i) {
        const uchar byte = uchar(content[i]);
        if ((byte & 0xC0) == 0x80)
            continue;
        const qint32 source = i < byteSources.size() ? byteSources.at(i) : (units.isEmpty() ? 0 : units.constLast());
        units.append(source);
        if (byte >= 0xF0) // a character beyond the BMP takes two units
            units.append(source);
    }
    return units;
}

QString nameOf(const xmlNode* node)
{
    return QString::fromUtf8(reinterpret_cast<const char*>(node->name)).toLower();
}

bool isHidden(const QString& element)
{
    static const QSet<QString> hidden {QStringLiteral("head"), QStringLiteral("script"), QStringLiteral("style"),
                                       QStringLiteral("template")};
    return hidden.contains(element);
}

// Elements that a browser starts on a line of their own.
bool isBlock(const QString& element)
{
    static const QSet<QString> blocks {
        QStringLiteral("address"), QStringLiteral("article"), QStringLiteral("blockquote"), QStringLiteral("center"),
        QStringLiteral("dd"),      QStringLiteral("div"),     QStringLiteral("dl"),         QStringLiteral("dt"),
        QStringLiteral("footer"),  QStringLiteral("form"),    QStringLiteral("h1"),         QStringLiteral("h2"),
        QStringLiteral("h3"),      QStringLiteral("h4"),      QStringLiteral("h5"),         QStringLiteral("h6"),
        QStringLiteral("header"),  QStringLiteral("hr"),      QStringLiteral("li"),         QStringLiteral("ol"),
        QStringLiteral("p"),       QStringLiteral("pre"),     QStringLiteral("section"),    QStringLiteral("table"),
        QStringLiteral("tr"),      QStringLiteral("ul")};
    return blocks.contains(element);
}

bool isCell(const QString& element)
{
    return element == u"td" || element == u"th";
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
                preformattedDepth += nameOf(node) == u"pre";
                node = node->children;
                continue;
            }
            // Leave every element finished here on the way to the next node.
            while (!node->next && node->parent != container) {
                node = node->parent;
                const QString element = nameOf(node);
                preformattedDepth -= element == u"pre";
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
        const QString element = nameOf(node);
        if (isHidden(element))
            return false;
        if (element == u"br") {
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

    // The text as it stands, with CR LF made LF.
    void addPreformatted(const QString& text, const QList<qint32>& sources)
    {
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text.at(i) == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
                continue;
            append(text.at(i), sourceAt(sources, i));
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
        if (section->type != XML_ELEMENT_NODE || nameOf(section) != u"head")
            continue;
        for (const xmlNode* node = section->children; node; node = node->next) {
            if (node->type == XML_ELEMENT_NODE && nameOf(node) == u"title")
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
        const QList<qint32> sources = recorder.sourcesOf(node);
        const char* content = reinterpret_cast<const char*>(node->content);
        for (qsizetype i = 0; content[i] && i < sources.size(); ++i) {
            if (!QChar::isSpace(uchar(content[i])))
                return sources.at(i);
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
void startElementWithinDepth(void* context, const xmlChar* name, const xmlChar** attributes)
{
    auto* parser = static_cast<htmlParserCtxtPtr>(context);
    if (parser->nameNr > MaxHtmlNesting) {
        xmlStopParser(parser);
        return;
    }
    xmlSAX2StartElement(context, name, attributes);
}

} // namespace

std::optional<HtmlDocument> readHtmlDocument(const QString& html, HtmlPositions positions)
{
    // Messages are read on several threads at once; the parser's own tables are set up once, before any.
    static std::once_flag initialized;
    std::call_once(initialized, [] { xmlInitParser(); });
    const QByteArray utf8 = html.toUtf8();
    // Real mail nests deeper than the parser's default limit of 256 elements (spam leaves hundreds of
    // <font> tags open), and the parser would drop all text after it; XML_PARSE_HUGE lifts that limit in
    // favour of our own.
    const int options
        = HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET | XML_PARSE_HUGE;
    const std::unique_ptr<htmlParserCtxt, decltype(&htmlFreeParserCtxt)> parser(htmlNewParserCtxt(),
                                                                                &htmlFreeParserCtxt);
    if (!parser)
        return std::nullopt;
    parser->sax->startElement = &startElementWithinDepth;
    std::optional<SourceRecorder> recorder;
    if (positions == HtmlPositions::Keep) {
        recorder.emplace(utf8);
        parser->_private = &*recorder;
        parser->sax->characters = &charactersWithSource;
    }
    const std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)> document(
        htmlCtxtReadMemory(parser.get(), utf8.constData(), static_cast<int>(utf8.size()), nullptr, "UTF-8", options),
        &xmlFreeDoc);
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
        for (const qint32 source : collector.sources())
            page.textPositions.append(lines.at(source));
        if (const std::optional<qint32> source = titleSource(title, *recorder))
            page.titlePosition = lines.at(*source);
    }
    return page;
}
