#pragma once

#include <QFile>
#include <QString>
#include <QStringList>

namespace tavrel::test {

// Takes the permissions of a file away for the lifetime of this object, and makes them count on this
// thread and the threads it starts meanwhile even for root (which tests here often run as): its
// override of file permissions is dropped from the thread's effective capabilities and given back at
// the end. The file's permissions come back at the end too.
class Unreadable
{
public:
    explicit Unreadable(const QString& path, QFile::Permissions permissions = {});
    ~Unreadable();
    Unreadable(const Unreadable&) = delete;
    Unreadable& operator=(const Unreadable&) = delete;

    // Rewrites a program's start so that file permissions count for it too (as root, it starts through
    // setpriv without the override).
    static void startAsUser(QString& program, QStringList& arguments);

private:
    QString m_path;
    QFile::Permissions m_saved;
    bool m_dropped = false;
};

} // namespace tavrel::test
