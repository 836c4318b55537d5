#include "platform/WebLinks.h"

#include <QString>
#include <QStringList>

namespace WebLinks {

namespace {

QUrl fromText(const QByteArray& address)
{
    return QUrl::fromEncoded(address, QUrl::StrictMode);
}

QString trimSpaces(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == QLatin1Char(' '))
        ++first;
    while (last > first && text[last - 1] == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}

} // namespace

QUrl siteAddress(const QString& host)
{
    return fromText("http://" + host.toUtf8());
}

QUrl searchAddress(const QString& host, const QString& words)
{
    QByteArray term;
    const QStringList parts = trimSpaces(words).split(QLatin1Char(' '));
    for (qsizetype index = 0; index < parts.size(); ++index) {
        if (index > 0)
            term += '+';
        term += QUrl::toPercentEncoding(parts[index]);
    }
    return fromText("http://" + host.toUtf8() + "/cgi-bin/search.cgi?term=" + term);
}

} // namespace WebLinks
