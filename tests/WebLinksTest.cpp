#include "platform/WebLinks.h"
#include "QtPrinters.h"
#include "platform/PlatformServices.h"

#include <QDesktopServices>
#include <QObject>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

struct SearchCase
{
    const char* name;
    QString words;
    QByteArray expectedTerm;
};

TEST(SearchAddress, SendsTheTypedWords)
{
    const std::vector<SearchCase> cases = {
        {"plain words", QStringLiteral("spam filter"), "spam+filter"},
        {"ends trimmed, each inner space one plus", QStringLiteral("  spam  filter "), "spam++filter"},
        {"empty box", QString(), ""},
        {"only spaces", QStringLiteral("    "), ""},
        {"ampersand stays inside the term", QStringLiteral("a&b"), "a%26b"},
        {"hash does not cut the address", QStringLiteral("c# tips"), "c%23+tips"},
        {"plus, percent and question mark", QStringLiteral("1+1=2 100% ?"), "1%2B1%3D2+100%25+%3F"},
        {"only spaces are trimmed", QStringLiteral("\tfree "), "%09free"},
        {"letters outside ASCII as UTF-8", QStringLiteral("g\u00FCnstig \u20AC"), "g%C3%BCnstig+%E2%82%AC"},
        {"unreserved characters pass", QStringLiteral("A-z_0.9~"), "A-z_0.9~"},
    };
    for (const SearchCase& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        EXPECT_EQ(WebLinks::searchAddress(QStringLiteral("www.norvane.example"), testCase.words).toEncoded(),
                  "http://www.norvane.example/cgi-bin/search.cgi?term=" + testCase.expectedTerm);
    }
}

TEST(SiteAddress, PutsTheSchemeBeforeTheHost)
{
    EXPECT_EQ(WebLinks::siteAddress(QStringLiteral("www.fenwicklark.example")).toEncoded(),
              "http://www.fenwicklark.example");
    EXPECT_EQ(WebLinks::siteAddress(QString()).toEncoded(), "http://");
}

// Catches what the desktop's opener really receives, so a re-encoding on the way would show.
class AddressCatcher : public QObject
{
    Q_OBJECT

public:
    QList<QByteArray> opened;

public slots:
    void open(const QUrl& address) { opened << address.toEncoded(); }
};

TEST(OpenAddress, HandsTheAddressUnchangedToTheDesktop)
{
    AddressCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &catcher, "open");
    const PlatformServices services = PlatformServices::system();
    services.openAddress(WebLinks::searchAddress(QStringLiteral("www.norvane.example"), QStringLiteral("AT&T c# ")));
    services.openAddress(WebLinks::siteAddress(QStringLiteral("www.kestrelhosting.example")));
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));

    EXPECT_EQ(catcher.opened,
              (QList<QByteArray> {"http://www.norvane.example/cgi-bin/search.cgi?term=AT%26T+c%23",
                                  "http://www.kestrelhosting.example"}));
}

} // namespace

#include "WebLinksTest.moc"
