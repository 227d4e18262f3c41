#pragma once

#include "model/CacheHandlerAbstract.h"
#include "model/TQCacheTypes.h"

#include <memory>

namespace tavrel {

// First level of the caches: the kinds of cached files of one class of record, each served by its
// second-level handler. Made fresh for each call; holds its session (an object with the Qt property
// "username") without owning it. Every failure is logged and answered with nothing.
class CacheManagerAbstract
{
public:
    explicit CacheManagerAbstract(QObject* session);
    virtual ~CacheManagerAbstract();

    QObject* session() const { return m_session; }

    // Takes in each file of the map that this manager serves; answers where each now lies.
    virtual TQCacheFiles addData(const TQCacheFiles& files, const IGoogleObject& object) const = 0;
    // The cached file of the type, or nothing.
    QUrl searchObject(const IGoogleObject& object, const QString& type) const;
    // Every cached file found, by type.
    TQCacheFiles searchObject(const IGoogleObject& object) const;
    void deleteObject(const IGoogleObject& object, const QString& type) const;
    // Removes the record's folder (urlForObject), errors ignored.
    void deleteObject(const IGoogleObject& object) const;
    // Removes the type's data of every other version of the record; a version folder left empty goes.
    void deleteOldVersionsForObject(const IGoogleObject& object, const QString& type) const;

    // The record's folder for this manager; nothing (logged) when it cannot be named.
    virtual QUrl urlForObject(const IGoogleObject& object) const = 0;

    // <account folder>/cache; nothing without a usable user name.
    static QUrl URLCacheBaseForSession(const QObject* session);
    // A version tag without the double quotes at its ends.
    static QString unquotedTag(const QString& tag);
    // A name made safe as one path component: "", ".", "..", or one holding '/' or NUL is encoded.
    static QString pathComponent(const QString& name);

protected:
    // The handler of a type, or nullptr (logged) for a type this manager does not serve.
    virtual std::unique_ptr<CacheHandlerAbstract> handlerForType(const QString& type) const = 0;
    virtual QStringList types() const = 0;

private:
    QPointer<QObject> m_session;
};

} // namespace tavrel
