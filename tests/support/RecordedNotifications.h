#pragma once

#include "notifications/TQStandardNotificationCenter.h"
#include "platform/system/DesktopNotificationBackend.h"

#include <QList>
#include <QString>
#include <memory>
#include <mutex>
#include <utility>

namespace tavrel::test {

// One notification as the desktop would have shown it.
struct Shown
{
    QString name, title, message, identifier;
    bool operator==(const Shown&) const = default;
};

// A desktop back-end that records what it is asked to show, from any thread.
class RecordingBackend : public DesktopNotificationBackend
{
public:
    void showNotification(const QString& name, const QString& title, const QString& message,
                          const QString& identifier) override
    {
        std::lock_guard lock(m_mutex);
        m_shown.append({name, title, message, identifier});
    }
    QList<Shown> takeAll()
    {
        std::lock_guard lock(m_mutex);
        return std::exchange(m_shown, {});
    }

private:
    std::mutex m_mutex;
    QList<Shown> m_shown;
};

// Puts a recording back-end in place of the desktop's for the test's lifetime.
class RecordedNotifications
{
public:
    RecordedNotifications()
        : m_center(dynamic_cast<TQStandardNotificationCenter*>(TQExternalNotificationCenter::defaultCenter()))
    {
        if (m_center) {
            m_previous = m_center->backend();
            m_center->setBackend(m_recording);
        }
    }
    ~RecordedNotifications()
    {
        if (m_center)
            m_center->setBackend(m_previous);
    }
    bool active() const { return m_center != nullptr; }
    QList<Shown> takeAll() { return m_recording->takeAll(); }

private:
    TQStandardNotificationCenter* m_center;
    std::shared_ptr<DesktopNotificationBackend> m_previous;
    std::shared_ptr<RecordingBackend> m_recording = std::make_shared<RecordingBackend>();
};

} // namespace tavrel::test
