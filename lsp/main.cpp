#include "lsp/LanguageServer.h"
#include "lsp/StdioTransport.h"
#include "platform/AppIdentity.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <csignal>
#ifdef Q_OS_WIN
#include <cstdio>
#include <fcntl.h>
#include <io.h>
#endif

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tallyvex-lsp"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(AppIdentity::Version));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("A language server that marks the trigger phrases of e-mail texts and templates in an "
                       "editor. It speaks the Language Server Protocol on standard input and output."));
    // Editors' generic clients often start servers with --stdio; it is the only way this one talks.
    parser.addOption({QStringLiteral("stdio"), QStringLiteral("Talk over standard input and output (always).")});
    parser.addHelpOption();
    parser.addVersionOption();
    parser.process(app);

#ifdef Q_OS_WIN
    // The messages' lengths are counted in bytes: no line-end translation on the way.
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
#else
    // A client gone makes writing fail rather than end the program unannounced.
    std::signal(SIGPIPE, SIG_IGN);
#endif

    StdioTransport transport;
    ServerOptions options;
    options.programFolder = QCoreApplication::applicationDirPath();
    LanguageServer server(
        [&transport](const QByteArray& bytes) {
            if (!transport.write(bytes))
                QCoreApplication::exit(1);
        },
        options);
    QObject::connect(&transport, &StdioTransport::received, &server, &LanguageServer::receive);
    QObject::connect(&transport, &StdioTransport::ended, &server, &LanguageServer::endOfInput);
    QObject::connect(&server, &LanguageServer::finished, &app, [](int status) { QCoreApplication::exit(status); });
    transport.start();
    return QCoreApplication::exec();
}
