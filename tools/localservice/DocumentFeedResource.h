#pragma once

#include "LocalServiceState.h"
#include "Request.h"
#include "Response.h"

#include <QStringList>

namespace tavrel::localservice {

// The lists of the documents service: the document list and a collection's content (with paging,
// categories and queries), the changes feed, a document's revisions, and the account's metadata.
class DocumentFeedResource
{
public:
    explicit DocumentFeedResource(LocalServiceState& state);

    // `categories` are the path's segments after "/-/"; `folder` (a resource id) lists its content.
    Response list(const Request& r, const QString& projection, const QStringList& categories,
                  const QString& folder);
    Response changes(const Request& r);
    Response revisions(const QString& rid);
    // One revision ("1" is the first); the service keeps only the latest content, which every
    // revision's content address downloads.
    Response revision(const QString& rid, const QString& number);
    Response metadata() const;

private:
    QString revisionEtag(const LocalServiceState::Doc& d, int number) const;
    QByteArray revisionEntry(const LocalServiceState::Doc& d, int number) const;
    // The batch link stays in the feed's projection, so that batch answers carry what its entries do.
    QByteArray feedHead(const QByteArray& id, const QString& title, const QByteArray& selfUrl,
                        const QByteArray& postUrl, const QByteArray& etag,
                        const QString& projection = QStringLiteral("full")) const;

    LocalServiceState& m_state;
};

} // namespace tavrel::localservice
