#pragma once

#include <QHash>
#include <QMetaObject>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <mutex>

namespace tavrel {

// Finds and makes classes by their name, where the design looks a class up at run time (handlers
// "dmhRenameDocument", operations "TQdmhTrashDocumentsOperation"). Registered classes are QObjects
// with a default constructor; "conforms to a protocol" is a test on the meta-object or a cast.
//
// Register a class with TAVREL_REGISTER_CLASS(Name) at the start of a line in its .cpp file, inside
// namespace tavrel. In the core library the build collects those lines into one registration function
// that the registry calls on first use, so a class is registered even when nothing else refers to its
// object file in the static library. Elsewhere (programs, tests) the macro's static initializer
// registers the class.
class ClassRegistry
{
public:
    using Factory = std::function<std::shared_ptr<QObject>()>;

    static ClassRegistry& instance();

    void registerClass(const QString& name, const QMetaObject* metaObject, Factory factory);
    template <typename T> void registerClass(const QString& name)
    {
        registerClass(name, &T::staticMetaObject,
                      [] { return std::static_pointer_cast<QObject>(std::make_shared<T>()); });
    }

    bool hasClass(const QString& name) const;
    // nullptr for an unknown name.
    const QMetaObject* metaObjectForClass(const QString& name) const;
    // A new instance, or nullptr for an unknown name.
    std::shared_ptr<QObject> make(const QString& name) const;
    // A new instance when the class exists and is a T, else nullptr.
    template <typename T> std::shared_ptr<T> make(const QString& name) const
    {
        const QMetaObject* meta = metaObjectForClass(name);
        if (!meta || !meta->inherits(&T::staticMetaObject))
            return nullptr;
        return std::dynamic_pointer_cast<T>(make(name));
    }
    // Whether the named class exists and derives from (or is) T.
    template <typename T> bool classInherits(const QString& name) const
    {
        const QMetaObject* meta = metaObjectForClass(name);
        return meta && meta->inherits(&T::staticMetaObject);
    }
    QStringList classNames() const;

private:
    ClassRegistry() = default;
    struct Entry
    {
        const QMetaObject* metaObject = nullptr;
        Factory factory;
    };
    mutable std::recursive_mutex m_mutex;
    QHash<QString, Entry> m_classes;
};

// Filled by the build from the TAVREL_REGISTER_CLASS lines of the core library's sources.
void registerCoreClasses(ClassRegistry& registry);

} // namespace tavrel

#define TAVREL_REGISTER_CLASS(Name)                                                                          \
    void tavrelRegisterClass_##Name(::tavrel::ClassRegistry& registry)                                       \
    {                                                                                                        \
        registry.registerClass<Name>(QStringLiteral(#Name));                                                 \
    }                                                                                                        \
    namespace {                                                                                              \
    [[maybe_unused]] const bool tavrelClassRegistered_##Name = [] {                                          \
        tavrelRegisterClass_##Name(::tavrel::ClassRegistry::instance());                                     \
        return true;                                                                                         \
    }();                                                                                                     \
    }
