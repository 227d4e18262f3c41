#pragma once

#include <QObject>
#include <QString>
#include <QVariant>
#include <functional>

namespace tavrel {

// What the controls need of the program but may not include (the session, the log, the settings, the
// usage tracker): functions the window layer hands in once (ControlServicesFeed). Without them nothing
// is logged, tracked or stored, the user is nobody and no document opens. Whether a view is online is
// the view's own flag (OnlineFlag).
class ControlServices
{
public:
    using Log = std::function<void(const QString& line)>;
    using Track = std::function<void(const QString& category, const QString& name, const QString& value)>;
    using CurrentUser = std::function<QString()>;
    using OpenDocument = std::function<void(const QVariant& record)>;
    using ReadValue = std::function<QVariant(const QString& key)>;
    using WriteValue = std::function<void(const QString& key, const QVariant& value)>;

    static void log(const QString& line);
    static void track(const QString& category, const QString& name, const QString& value);
    // The signed-in user's address; empty when none.
    static QString currentUserAddress();
    static void openDocument(const QVariant& record);
    // A stored setting of the controls (a window's last position).
    static QVariant storedValue(const QString& key);
    static void storeValue(const QString& key, const QVariant& value);

    static void setLog(Log log);
    static void setTrack(Track track);
    static void setCurrentUser(CurrentUser user);
    static void setOpenDocument(OpenDocument open);
    static void setStorage(ReadValue read, WriteValue write);
};

} // namespace tavrel
