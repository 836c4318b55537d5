#include "messagefile/EmlMessage.h"
#include "messagefile/HtmlText.h"
#include "messagefile/MessageFile.h"
#include "messagefile/ReaderModules.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>

// The public readers of this library load the reader modules at the first call that needs them: GMime and
// the libraries behind it only in a program that reads a saved e-mail, libxml2 only in one that reads an
// HTML page or a saved e-mail's HTML part. A plain text scan starts without either.
namespace {

#ifdef TALLYVEX_READER_MODULES_FROM_BINDIR
constexpr bool HasReaderModules = true;
#else
// A build without GMime and libxml2 has no modules to load.
constexpr bool HasReaderModules = false;
#define TALLYVEX_READER_MODULES_FROM_BINDIR ""
#define TALLYVEX_HTML_READER_FILE ""
#define TALLYVEX_MAIL_READER_FILE ""
#endif

template <typename Functions>
struct LoadedModule
{
    Functions* functions = nullptr;
    QString fault;
};

QString programFolder()
{
#ifdef Q_OS_LINUX
    // Also without a QCoreApplication, as in the tests.
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
#else
    return QCoreApplication::applicationDirPath();
#endif
}

// Loads the module of a reader ("the HTML reader") from beside the program, as in a build folder, or from
// where the package installs it, and refuses one of another build.
template <typename Functions>
LoadedModule<Functions> loadModule(const QString& reader, const QString& fileName, const char* entryName)
{
    if (!HasReaderModules)
        return {nullptr,
                QStringLiteral("this build of Tallyvex reads text files only, not saved e-mails or HTML pages")};
    const QString folder = programFolder();
    const QStringList candidates {folder + u'/' + fileName,
                                  QDir::cleanPath(folder + QStringLiteral("/" TALLYVEX_READER_MODULES_FROM_BINDIR))
                                      + u'/' + fileName};
    for (const QString& candidate : candidates) {
        if (!QFileInfo::exists(candidate))
            continue;
        QLibrary module(candidate);
        const auto entry = reinterpret_cast<Functions* (*)()>(module.resolve(entryName));
        if (!entry)
            return {nullptr, QStringLiteral("%1 %2 cannot be loaded: %3").arg(reader, candidate, module.errorString())};
        Functions* functions = entry();
        if (functions->version != Functions::CurrentVersion)
            return {nullptr, QStringLiteral("%1 %2 belongs to another version of Tallyvex").arg(reader, candidate)};
        return {functions, QString()};
    }
    return {nullptr,
            QStringLiteral("%1 (%2) is missing; looked for %3")
                .arg(reader, fileName, candidates.join(QStringLiteral(" and ")))};
}

const LoadedModule<const HtmlReaderFunctions>& htmlReader()
{
    static const LoadedModule loaded = loadModule<const HtmlReaderFunctions>(
        QStringLiteral("the HTML reader"), QStringLiteral(TALLYVEX_HTML_READER_FILE), TALLYVEX_HTML_READER_ENTRY);
    return loaded;
}

const LoadedModule<MailReaderFunctions>& mailReader()
{
    static const LoadedModule loaded = [] {
        LoadedModule module = loadModule<MailReaderFunctions>(
            QStringLiteral("the mail reader"), QStringLiteral(TALLYVEX_MAIL_READER_FILE), TALLYVEX_MAIL_READER_ENTRY);
        if (module.functions) {
            module.functions->readHtmlDocument = &readHtmlDocument;
            module.functions->htmlReaderFault = &htmlReaderFault;
        }
        return module;
    }();
    return loaded;
}

} // namespace

bool readsMailFiles()
{
    return HasReaderModules;
}

QString htmlReaderFault()
{
    return htmlReader().fault;
}

MessageText readEmlMessage(const QByteArray& bytes)
{
    if (!mailReader().functions) {
        MessageText message;
        message.error = mailReader().fault;
        return message;
    }
    return mailReader().functions->readEmlMessage(bytes);
}

std::optional<HtmlDocument> readHtmlDocument(const QByteArray& html, HtmlPositions positions)
{
    if (!htmlReader().functions)
        return std::nullopt;
    return htmlReader().functions->readHtmlDocument(html, positions);
}
