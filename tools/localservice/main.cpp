#include "LocalService.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QTextStream>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {
int g_signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char c = 1;
    [[maybe_unused]] ssize_t n = ::write(g_signalPipe[1], &c, 1);
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tavrel-localservice"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "A local stand-in for the cloud document and contacts service, for tests and the demo."));
    parser.addHelpOption();
    QCommandLineOption portOption(QStringLiteral("port"),
                                  QStringLiteral("Port on 127.0.0.1 (0: any free one)."), QStringLiteral("P"),
                                  QStringLiteral("0"));
    QCommandLineOption seedOption(QStringLiteral("seed"), QStringLiteral("\"demo\" or a seed JSON file."),
                                  QStringLiteral("demo|FILE"), QStringLiteral("demo"));
    QCommandLineOption documentsOption(QStringLiteral("documents"), QStringLiteral("Generated documents."),
                                       QStringLiteral("N"));
    QCommandLineOption collectionsOption(QStringLiteral("collections"),
                                         QStringLiteral("Generated collections."), QStringLiteral("M"));
    QCommandLineOption contactsOption(QStringLiteral("contacts"), QStringLiteral("Generated contacts."),
                                      QStringLiteral("K"));
    QCommandLineOption clientOption(QStringLiteral("client-id"),
                                    QStringLiteral("The only OAuth client accepted."), QStringLiteral("ID"));
    QCommandLineOption secretOption(QStringLiteral("client-secret"), QStringLiteral("Its secret."),
                                    QStringLiteral("SECRET"));
    parser.addOptions({portOption, seedOption, documentsOption, collectionsOption, contactsOption,
                       clientOption, secretOption});
    parser.process(app);

    QTextStream err(stderr);
    bool ok = false;
    const uint port = parser.value(portOption).toUInt(&ok);
    if (!ok || port > 65535) {
        err << "tavrel-localservice: invalid port " << parser.value(portOption) << Qt::endl;
        return 2;
    }
    tavrel::localservice::LocalService service;
    const QString seed = parser.value(seedOption);
    if (seed == QLatin1String("demo")) {
        tavrel::localservice::GenerateOptions options;
        auto number = [&](const QCommandLineOption& option, int& target) {
            if (!parser.isSet(option))
                return true;
            bool good = false;
            const int n = parser.value(option).toInt(&good);
            if (!good || n < 0)
                return false;
            target = n;
            return true;
        };
        if (!number(documentsOption, options.documents) || !number(collectionsOption, options.collections) ||
            !number(contactsOption, options.contacts)) {
            err << "tavrel-localservice: sizes must be whole numbers" << Qt::endl;
            return 2;
        }
        service.generate(options);
    } else {
        QFile file(seed);
        if (!file.open(QIODevice::ReadOnly)) {
            err << "tavrel-localservice: cannot read " << seed << ": " << file.errorString() << Qt::endl;
            return 2;
        }
        QString error;
        if (!service.loadSeed(file.readAll(), &error)) {
            err << "tavrel-localservice: bad seed " << seed << ": " << error << Qt::endl;
            return 2;
        }
    }
    if (parser.isSet(clientOption))
        service.setClientCredentials(parser.value(clientOption), parser.value(secretOption));
    // Signals are caught before the port opens, so that a client that saw the banner can always stop us.
    if (::pipe(g_signalPipe) != 0)
        return 1;
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    QString error;
    if (!service.start(quint16(port), &error)) {
        err << "tavrel-localservice: " << error << Qt::endl;
        return 1;
    }
    QTextStream out(stdout);
    out << service.baseUrl() << Qt::endl;
    out << service.ownerEmail() << Qt::endl;
    err << "Feeds in a browser: " << service.baseUrl()
        << "/feeds/default/private/full?access_token=" << service.issueAccessToken() << Qt::endl;

    char c = 0;
    while (::read(g_signalPipe[0], &c, 1) < 0 && errno == EINTR) {
    }
    service.stop();
    return 0;
}
