#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

namespace tavrel {

// Classes of the views above the window's layer (document and contact lists, sharing dialogs, sheets
// of the application), made by their design name where the window needs one. The program registers
// each at start-up; a name nobody registered makes nothing, and the window uses its stand-in.
//
// A factory answers a new object the caller then owns, or a process-wide one (a shared editor) that it
// keeps owning itself: say which with the flag. Main thread only.
class ViewClasses
{
public:
    using Factory = std::function<QObject*()>;

    static void registerClass(const QString& name, Factory factory, bool shared = false);
    template <typename T> static void registerClass(const QString& name)
    {
        registerClass(name, [] { return static_cast<QObject*>(new T); });
    }
    static void unregisterClass(const QString& name);
    static bool hasClass(const QString& name);
    // Whether objects of the class are process-wide (not to be deleted by whoever asked).
    static bool isShared(const QString& name);
    static QStringList classNames();

    // A new object of the class (or the shared one), nullptr for an unknown name or one that is not a T.
    static QObject* make(const QString& name);
    template <typename T> static T* make(const QString& name)
    {
        QObject* made = make(name);
        T* typed = qobject_cast<T*>(made);
        if (made && !typed && !isShared(name))
            delete made;
        return typed;
    }

    // Whether the object's class, or one it derives from, has the name (with or without the
    // namespace): "is a TQFileViewController".
    static bool inherits(const QObject* object, const QString& className);
};

} // namespace tavrel
