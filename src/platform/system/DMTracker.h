#pragma once

#include <QObject>
#include <QString>

namespace tavrel {

// The usage tracker: records usage events locally (nothing leaves the machine). Observers, tests among
// them, see each event through eventTracked. Main thread.
class DMTracker : public QObject
{
    Q_OBJECT

public:
    static DMTracker* defaultTracker();

    void trackEventInCategory(const QString& category, const QString& name, const QString& value);
    // The program started (reported once the first-run tour ends). Any thread.
    void startApp();

signals:
    void appStarted();
    void eventTracked(const QString& category, const QString& name, const QString& value);

private:
    DMTracker() = default;
};

} // namespace tavrel
