#pragma once

#include <QString>
#include <QStringList>

namespace tavrel::bench {

// The same pages fetched with a plain HTTP client, walked with pugixml and written with plain SQLite:
// what a synchronisation costs with no model, store or pipeline around it.
class RawBaseline
{
public:
    struct Result
    {
        double seconds = 0;
        double fetchSeconds = 0;
        double parseSeconds = 0;
        double insertSeconds = 0;
        long long bytes = 0;
        int documents = 0;
        int contacts = 0;
        int pages = 0;
        bool ok = false;
    };

    // `firstPages` are the request targets (path and query) of the first page of each feed, in the
    // order the synchronisation asks for them; next links are followed as a client would.
    static Result run(quint16 port, const QString& token, const QStringList& firstPages,
                      const QString& databasePath);
};

} // namespace tavrel::bench
