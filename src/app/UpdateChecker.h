#pragma once

#include "platform/ui/Alert.h"

#include <QObject>
#include <QPointer>

namespace tavrel {

// The "check for updates" command. Tavrel is updated with the system's packages and never looks for
// updates itself, so the check says which version runs and where updates come from.
class UpdateChecker : public QObject
{
    Q_OBJECT
public:
    static UpdateChecker* sharedUpdater();

    Q_INVOKABLE void checkForUpdates(QObject* sender);
    // The alert shown by the last check while it is open (tests, the gallery).
    Alert* currentAlert() const { return m_alert; }

private:
    UpdateChecker() = default;
    QPointer<Alert> m_alert;
};

} // namespace tavrel
