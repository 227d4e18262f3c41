#include "window/ViewClasses.h"

#include <QHash>
#include <QMetaObject>

namespace tavrel {

namespace {
struct Entry
{
    ViewClasses::Factory factory;
    bool shared = false;
};

QHash<QString, Entry>& registry()
{
    static QHash<QString, Entry> entries;
    return entries;
}
} // namespace

void ViewClasses::registerClass(const QString& name, Factory factory, bool shared)
{
    registry().insert(name, {std::move(factory), shared});
}

void ViewClasses::unregisterClass(const QString& name)
{
    registry().remove(name);
}

bool ViewClasses::hasClass(const QString& name)
{
    return registry().contains(name);
}

bool ViewClasses::isShared(const QString& name)
{
    return registry().value(name).shared;
}

QStringList ViewClasses::classNames()
{
    return registry().keys();
}

QObject* ViewClasses::make(const QString& name)
{
    const auto found = registry().constFind(name);
    if (found == registry().constEnd() || !found->factory)
        return nullptr;
    return found->factory();
}

bool ViewClasses::inherits(const QObject* object, const QString& className)
{
    if (!object)
        return false;
    for (const QMetaObject* meta = object->metaObject(); meta; meta = meta->superClass()) {
        const QString name = QString::fromLatin1(meta->className());
        if (name == className || name.endsWith(QStringLiteral("::") + className))
            return true;
    }
    return false;
}

} // namespace tavrel
