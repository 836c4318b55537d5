#include "platform/WebLinks.h"

#include "textio/OuterSpaces.h"

#include <QString>
#include <QStringList>

namespace WebLinks {

namespace {

QUrl fromText(const QByteArray& address)
{
    return QUrl::fromEncoded(address, QUrl::StrictMode);
}

} // namespace

QUrl siteAddress(const QString& host)
{
    return fromText("http://" + host.toUtf8());
}

QUrl searchAddress(const QString& host, const QString& words)
{
    QByteArray term;
    const QList<QStringView> parts = withoutOuterSpaces(words).split(u' ');
    for (qsizetype index = 0; index < parts.size(); ++index) {
        if (index > 0)
            term += '+';
        term += QUrl::toPercentEncoding(parts[index].toString());
    }
    return fromText("http://" + host.toUtf8() + "/cgi-bin/search.cgi?term=" + term);
}

} // namespace WebLinks
