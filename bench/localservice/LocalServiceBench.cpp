// How fast the local service itself is, so that benchmarks of the client against it measure the client:
// generating a large account, then reading the whole expanded document list in pages of 500, twice
// (cold, then with the serialised entries cached), and the whole contact list.
#include "LocalService.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <httplib.h>
#include <regex>
#include <string>

namespace {

struct Pass
{
    int pages = 0;
    long long bytes = 0;
    qint64 ms = 0;
};

Pass readAll(httplib::Client& client, const std::string& token, const std::string& base, std::string path)
{
    static const std::regex next("<link rel='next' type='application/atom\\+xml' href='([^']*)'");
    Pass pass;
    QElapsedTimer timer;
    timer.start();
    while (!path.empty()) {
        auto r = client.Get(path, {{"Authorization", "Bearer " + token}, {"GData-Version", "3"}});
        if (!r || r->status != 200) {
            std::fprintf(stderr, "request failed: %s\n", path.c_str());
            break;
        }
        ++pass.pages;
        pass.bytes += static_cast<long long>(r->body.size());
        std::smatch m;
        path.clear();
        if (std::regex_search(r->body, m, next)) {
            path = QString::fromStdString(m[1].str())
                       .replace(QStringLiteral("&amp;"), QStringLiteral("&"))
                       .mid(int(base.size()))
                       .toStdString();
        }
    }
    pass.ms = timer.elapsed();
    return pass;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    tavrel::localservice::LocalService service;
    tavrel::localservice::GenerateOptions options;
    options.documents = argc > 1 ? std::atoi(argv[1]) : 20000;
    options.collections = argc > 2 ? std::atoi(argv[2]) : 200;
    options.contacts = argc > 3 ? std::atoi(argv[3]) : 2000;

    QElapsedTimer timer;
    timer.start();
    service.generate(options);
    std::printf("generate %d documents, %d collections, %d contacts: %lld ms\n", options.documents,
                options.collections, options.contacts, static_cast<long long>(timer.elapsed()));
    QString error;
    if (!service.start(0, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    const std::string base = service.baseUrl().toStdString();
    const std::string token = service.issueAccessToken().toStdString();
    httplib::Client client("127.0.0.1", service.port());
    client.set_keep_alive(true);
    client.set_tcp_nodelay(true);
    const std::string list =
        "/feeds/default/private/expandAcl?max-results=500&showfolders=true&showdeleted=true";
    for (const char* name : {"document list, cold", "document list, cached"}) {
        const Pass p = readAll(client, token, base, list);
        std::printf("%s: %d pages, %.1f MB, %lld ms, %.0f entries/s\n", name, p.pages, p.bytes / 1e6,
                    static_cast<long long>(p.ms),
                    p.ms > 0 ? (options.documents + options.collections) * 1000.0 / p.ms : 0.0);
    }
    const Pass contacts = readAll(client, token, base, "/m8/feeds/contacts/default/full?max-results=500");
    std::printf("contact list: %d pages, %.1f MB, %lld ms\n", contacts.pages, contacts.bytes / 1e6,
                static_cast<long long>(contacts.ms));
    const Pass changes =
        readAll(client, token, base, "/feeds/default/private/changes?max-results=500&expand-acl=true");
    std::printf("changes feed: %d pages, %.1f MB, %lld ms\n", changes.pages, changes.bytes / 1e6,
                static_cast<long long>(changes.ms));
    service.stop();
    return 0;
}
