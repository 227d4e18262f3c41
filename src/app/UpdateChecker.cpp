#include "app/UpdateChecker.h"

#include "app/ApplicationInfo.h"
#include "platform/ui/Alert.h"
#include "platform/ui/StringTable.h"

#include <QApplication>
#include <QWidget>

namespace tavrel {

UpdateChecker* UpdateChecker::sharedUpdater()
{
    static UpdateChecker* shared = new UpdateChecker();
    return shared;
}

void UpdateChecker::checkForUpdates(QObject*)
{
    if (m_alert)
        return;
    auto* alert = new Alert();
    alert->setStyle(Alert::Style::Informational);
    alert->setMessageText(
        StringTable::format(QStringLiteral("UpdatesFromSystemTitle"), ApplicationInfo::version()));
    alert->setInformativeText(StringTable::text(QStringLiteral("UpdatesFromSystemMessage")));
    m_alert = alert;
    alert->beginSheet(QApplication::activeWindow(), [](int, bool) {});
}

} // namespace tavrel
