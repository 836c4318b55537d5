#include "messagefile/EmlMessage.h"
#include "messagefile/HtmlText.h"
#include "messagefile/MailReaderModule.h"
#include "messagefile/MessageFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>

#include <mutex>

// The public readers of this library load the mail reader module at their first call: GMime, libxml2 and
// the thirty libraries behind them are then loaded only by a program that reads a saved e-mail, and a
// plain text scan starts without them.
namespace {

struct LoadedReader
{
    const MailReaderFunctions* functions = nullptr;
    QString fault;
};

#ifdef TALLYVEX_MAIL_READER_FILE
QString programFolder()
{
#ifdef Q_OS_LINUX
    // Also without a QCoreApplication, as in the tests.
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
#else
    return QCoreApplication::applicationDirPath();
#endif
}

LoadedReader loadReader()
{
    // Beside the program in a build folder, and where the package installs it.
    const QString folder = programFolder();
    const QString name = QStringLiteral(TALLYVEX_MAIL_READER_FILE);
    const QStringList candidates {folder + u'/' + name,
                                  QDir::cleanPath(folder + QStringLiteral("/" TALLYVEX_MAIL_READER_FROM_BINDIR "/"))
                                      + u'/' + name};
    for (const QString& candidate : candidates) {
        if (!QFileInfo::exists(candidate))
            continue;
        QLibrary module(candidate);
        const auto entry
            = reinterpret_cast<const MailReaderFunctions* (*)()>(module.resolve(TALLYVEX_MAIL_READER_ENTRY));
        if (!entry)
            return {nullptr,
                    QStringLiteral("the mail reader %1 cannot be loaded: %2").arg(candidate, module.errorString())};
        const MailReaderFunctions* functions = entry();
        if (functions->version != MailReaderFunctions::CurrentVersion)
            return {nullptr,
                    QStringLiteral("the mail reader %1 belongs to another version of Tallyvex").arg(candidate)};
        return {functions, QString()};
    }
    return {nullptr,
            QStringLiteral("the mail reader (%1) is missing; looked for %2")
                .arg(name, candidates.join(QStringLiteral(" and ")))};
}
#else
LoadedReader loadReader()
{
    return {nullptr, QStringLiteral("this build of Tallyvex reads text files only, not saved e-mails or HTML pages")};
}
#endif

const LoadedReader& reader()
{
    static const LoadedReader loaded = loadReader();
    return loaded;
}

} // namespace

bool readsMailFiles()
{
#ifdef TALLYVEX_MAIL_READER_FILE
    return true;
#else
    return false;
#endif
}

QString mailReaderFault()
{
    return reader().fault;
}

MessageText readEmlMessage(const QByteArray& bytes)
{
    if (!reader().functions) {
        MessageText message;
        message.error = reader().fault;
        return message;
    }
    return reader().functions->readEmlMessage(bytes);
}

// The callers ask mailReaderFault() first, so that a missing module is not taken for a page that could not
// be read.
std::optional<HtmlDocument> readHtmlDocument(const QByteArray& html, HtmlPositions positions)
{
    if (!reader().functions)
        return std::nullopt;
    return reader().functions->readHtmlDocument(html, positions);
}
