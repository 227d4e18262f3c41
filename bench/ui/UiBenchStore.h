#pragma once

#include <QString>

namespace tavrel::bench {

// Writes a large account into a new store at the path: documents spread over collections, owned by a few
// hundred people (the user among them), each shared with some editors and viewers and with a general
// access entry, dated over the last two years. Saved in batches as a synchronisation does. False with a
// message on stderr when the store cannot be written.
bool writeUiBenchStore(const QString& path, const QString& me, int documents, int collections);

} // namespace tavrel::bench
