#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

ClassRegistry& ClassRegistry::instance()
{
    static ClassRegistry* registry = [] {
        auto* made = new ClassRegistry; // lives for the whole process, as static initializers use it
        registerCoreClasses(*made);
        return made;
    }();
    return *registry;
}

void ClassRegistry::registerClass(const QString& name, const QMetaObject* metaObject, Factory factory)
{
    std::lock_guard lock(m_mutex);
    m_classes.insert(name, Entry{metaObject, std::move(factory)});
}

bool ClassRegistry::hasClass(const QString& name) const
{
    std::lock_guard lock(m_mutex);
    return m_classes.contains(name);
}

const QMetaObject* ClassRegistry::metaObjectForClass(const QString& name) const
{
    std::lock_guard lock(m_mutex);
    const auto it = m_classes.constFind(name);
    return it == m_classes.constEnd() ? nullptr : it->metaObject;
}

std::shared_ptr<QObject> ClassRegistry::make(const QString& name) const
{
    Factory factory;
    {
        std::lock_guard lock(m_mutex);
        const auto it = m_classes.constFind(name);
        if (it == m_classes.constEnd())
            return nullptr;
        factory = it->factory;
    }
    return factory();
}

QStringList ClassRegistry::classNames() const
{
    std::lock_guard lock(m_mutex);
    QStringList names = m_classes.keys();
    names.sort();
    return names;
}

} // namespace tavrel
