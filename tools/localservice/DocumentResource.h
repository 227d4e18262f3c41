#pragma once

#include "DocInput.h"
#include "LocalServiceState.h"
#include "Request.h"
#include "Response.h"

namespace tavrel::localservice {

// Document entries: read, change, trash or delete one; create one, or put one into a collection and
// take it out again; batches of these. Uploads and the test interface change documents through it too.
class DocumentResource
{
public:
    explicit DocumentResource(LocalServiceState& state);

    Response get(const Request& r, const QString& rid, bool expand);
    Response put(const Request& r, const QString& rid, bool expand);
    Response remove(const Request& r, const QString& rid); // trashes; deletes for good with delete=true
    // A new empty item, a copy of the document an entry without a kind names, or (posted to a
    // collection's content) an existing one put into `folder`.
    Response create(const Request& r, const QString& folder, bool expand);
    Response removeFromFolder(const Request& r, const QString& folder, const QString& rid);
    Response batch(const Request& r, bool expand);

    // The entry as an answer, with its ETag (and `location` as Location and Content-Location).
    Response entryResponse(int status, const LocalServiceState::Doc& d, bool expand,
                           const QByteArray& location = {}) const;
    void applyInput(LocalServiceState::Doc& d, const DocInput& in, bool replaceLabels);
    LocalServiceState::Doc& createDoc(const DocInput& in, const QString& kind, const QString& folder);
    static void trash(LocalServiceState::Doc& d, bool on);

private:
    Response copy(const Request& r, const DocInput& in, bool expand);

    LocalServiceState& m_state;
};

} // namespace tavrel::localservice
