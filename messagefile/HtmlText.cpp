#include "HtmlText.h"

#include <QSet>

#include <libxml/HTMLparser.h>

#include <memory>

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

// Collects the visible text of the parsed document the way a browser lays it out as lines.
class TextCollector
{
public:
    void walk(const xmlNode* node, bool preformatted)
    {
        for (; node; node = node->next) {
            if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
                const QString text = QString::fromUtf8(reinterpret_cast<const char*>(node->content));
                preformatted ? addPreformatted(text) : addWords(text);
                continue;
            }
            if (node->type != XML_ELEMENT_NODE)
                continue;
            const QString element = nameOf(node);
            if (isHidden(element))
                continue;
            if (element == u"br") {
                m_text += u'\n';
                m_pendingSpace = false;
                continue;
            }
            const bool block = isBlock(element);
            if (block)
                endLine();
            else if (isCell(element))
                m_pendingSpace = true;
            walk(node->children, preformatted || element == u"pre");
            if (block)
                endLine();
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

} // namespace

QString htmlToPlainText(const QString& html)
{
    const QByteArray utf8 = html.toUtf8();
    const int options = HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET;
    const std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)> document(
        htmlReadMemory(utf8.constData(), static_cast<int>(utf8.size()), nullptr, "UTF-8", options), &xmlFreeDoc);
    if (!document)
        return {};
    TextCollector collector;
    collector.walk(xmlDocGetRootElement(document.get()), false);
    return collector.text();
}
