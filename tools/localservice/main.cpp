#include "LocalService.h"
#include "ServiceConsole.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QTextStream>
#include <csignal>
#include <cstdio>
#include <poll.h>
#include <unistd.h>

namespace {
int g_signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char c = 1;
    [[maybe_unused]] ssize_t n = ::write(g_signalPipe[1], &c, 1);
}

// Answers commands from standard input until it closes or a signal comes.
void serveConsole(tavrel::localservice::LocalService& service)
{
    tavrel::localservice::ServiceConsole console(service);
    QByteArray pending;
    pollfd fds[2] = {{STDIN_FILENO, POLLIN, 0}, {g_signalPipe[0], POLLIN, 0}};
    for (;;) {
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[1].revents)
            return;
        char buffer[4096];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        pending.append(buffer, n);
        for (qsizetype end = pending.indexOf('\n'); end >= 0; end = pending.indexOf('\n')) {
            const QByteArray answer = console.answer(pending.left(end));
            pending.remove(0, end + 1);
            std::fwrite(answer.constData(), 1, size_t(answer.size()), stdout);
            std::fflush(stdout);
        }
    }
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
    QCommandLineOption consoleOption(
        QStringLiteral("console"),
        QStringLiteral("Take commands on standard input (see ServiceConsole.h); stop when it closes."));
    parser.addOptions({portOption, seedOption, documentsOption, collectionsOption, contactsOption,
                       clientOption, secretOption, consoleOption});
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

    if (parser.isSet(consoleOption)) {
        serveConsole(service);
    } else {
        char c = 0;
        while (::read(g_signalPipe[0], &c, 1) < 0 && errno == EINTR) {
        }
    }
    service.stop();
    return 0;
}
