#pragma once

#include "model/IGoogleObject.h"

#include <QObject>
#include <QPointer>
#include <QUrl>

namespace tavrel {

// Second level of the caches: one kind of cached file of a record, in one leaf folder that holds exactly
// one file when the cache is sound. Made fresh for each call; holds its session (an object with the
// Qt property "username") without owning it. Failures of the file system are logged and answered
// with nothing.
class CacheHandlerAbstract
{
public:
    explicit CacheHandlerAbstract(QObject* session);
    virtual ~CacheHandlerAbstract();

    QObject* session() const { return m_session; }
    void setSession(QObject* session) { m_session = session; }

    // The folder that holds the kind's data of the record, and the leaf folder its file lies in.
    virtual QUrl URLRootForObject(const IGoogleObject& object) const = 0;
    virtual QUrl URLForObject(const IGoogleObject& object) const = 0;

    // Moves the file into the leaf and answers where it lies now. A file of that name already there is
    // answered and the given file left where it is; any other file in the leaf is replaced.
    QUrl addFileAtURL(const QUrl& url, const IGoogleObject& object) const;
    // The one file of the leaf. An empty leaf, or one holding more than one file, is deleted (so that
    // it is fetched again) and answers nothing.
    QUrl searchObject(const IGoogleObject& object) const;
    // Removes the root folder when it exists.
    void deleteDataForObject(const IGoogleObject& object) const;

private:
    QPointer<QObject> m_session;
};

} // namespace tavrel
