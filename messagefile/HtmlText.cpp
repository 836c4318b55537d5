#include "messagefile/HtmlText.h"

#include <QSet>

#include <libxml/HTMLparser.h>
#include <libxml/SAX2.h>

#include <memory>
#include <optional>

namespace {

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

    QString text() const
    {
        qsizetype end = m_text.size();
        while (end > 0 && m_text.at(end - 1).isSpace())
            --end;
        return m_text.left(end);
    }

private:
    // Takes the node's own text or opening; true when its children are to be walked next.
    bool enter(const xmlNode* node, bool preformatted)
    {
        if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
            const QString text = QString::fromUtf8(reinterpret_cast<const char*>(node->content));
            preformatted ? addPreformatted(text) : addWords(text);
            return false;
        }
        if (node->type != XML_ELEMENT_NODE)
            return false;
        const QString element = nameOf(node);
        if (isHidden(element))
            return false;
        if (element == u"br") {
            m_text += u'\n';
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

    void addWords(const QString& text)
    {
        for (const QChar c : text) {
            if (c.isSpace()) {
                m_pendingSpace = true;
                continue;
            }
            if (m_pendingSpace && !m_text.isEmpty() && !m_text.endsWith(u'\n'))
                m_text += u' ';
            m_pendingSpace = false;
            m_text += c;
        }
    }

    void addPreformatted(QString text)
    {
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        m_text += text;
        m_pendingSpace = false;
    }

    void endLine()
    {
        if (!m_text.isEmpty() && !m_text.endsWith(u'\n'))
            m_text += u'\n';
        m_pendingSpace = false;
    }

    QString m_text;
    bool m_pendingSpace = false;
};

// The <title> of the document: the parser places it in the <head>, which the text leaves out.
QString titleOf(const xmlNode* root)
{
    for (const xmlNode* section = root->children; section; section = section->next) {
        if (section->type != XML_ELEMENT_NODE || nameOf(section) != u"head")
            continue;
        for (const xmlNode* node = section->children; node; node = node->next) {
            if (node->type == XML_ELEMENT_NODE && nameOf(node) == u"title") {
                const std::unique_ptr<xmlChar, decltype(xmlFree)> content(xmlNodeGetContent(node), xmlFree);
                return QString::fromUtf8(reinterpret_cast<const char*>(content.get())).simplified();
            }
        }
    }
    return {};
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

std::optional<HtmlDocument> readHtmlDocument(const QString& html)
{
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
    const std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)> document(
        htmlCtxtReadMemory(parser.get(), utf8.constData(), static_cast<int>(utf8.size()), nullptr, "UTF-8", options),
        &xmlFreeDoc);
    // A parser that stopped part-way (a limit of its own, or memory) has dropped the rest of the text.
    if (parser->disableSAX)
        return std::nullopt;
    const xmlNode* root = document ? xmlDocGetRootElement(document.get()) : nullptr;
    if (!root)
        return HtmlDocument {};
    TextCollector collector;
    collector.walk(root->parent);
    return HtmlDocument {titleOf(root), collector.text()};
}
