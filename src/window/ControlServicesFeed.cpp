#include "window/ControlServicesFeed.h"

#include "actions/DocumentManager.h"
#include "controls/ControlServices.h"
#include "model/FileEntryAbstract.h"
#include "platform/system/DMTracker.h"
#include "platform/system/Settings.h"
#include "platform/system/TQLog.h"
#include "platform/ui/Alert.h"
#include "platform/ui/InterfaceLog.h"
#include "platform/ui/OnlineFlag.h"
#include "progress/TQProgressManager.h"
#include "session/ApplicationServices.h"
#include "session/ConnectionStatus.h"
#include "session/TQSession.h"
#include "session/TQSessionManager.h"

#include <QPointer>
#include <memory>

namespace tavrel {

namespace {

void openDocument(const QVariant& record)
{
    const ManagedObjectPtr document = record.value<ManagedObjectPtr>();
    const TQSession* session = TQSessionManager::sharedManager()->currentSession();
    if (!document || !session || !session->documentManager())
        return;
    const QString identifier =
        QStringLiteral("openning_%1").arg(quint64(reinterpret_cast<quintptr>(document.get())));
    QVariantMap parameters;
    parameters.insert(QStringLiteral("progressID"), identifier);
    parameters.insert(QStringLiteral("progressConsumer"),
                      QVariant::fromValue<QObject*>(TQProgressManager::progressManager()));
    parameters.insert(QStringLiteral("documentEntity"), QVariant::fromValue<ManagedObjectPtr>(document));
    session->documentManager()->executeAction(QStringLiteral("OpenDocument"), nullptr, parameters);
}

// Follows the current status; the flag's connection to the one before goes.
void followStatus(OnlineFlag* flag, QMetaObject::Connection& connection)
{
    QObject::disconnect(connection);
    ConnectionStatus* status = ApplicationServices::instance()->connectionStatus();
    if (status)
        connection = QObject::connect(status, &ConnectionStatus::onlineChanged, flag,
                                      [flag](bool, bool online) { flag->setOnline(online); });
    flag->setOnline(status && status->isOnline());
}

} // namespace

void ControlServicesFeed::install()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    ControlServices::setLog([](const QString& line) { TQLog("%@", line); });
    InterfaceLog::setWriter([](const QString& line) { TQLog("%@", line); });
    Alert::setSuppressionStore([](const QString& key) { return Settings::boolValue(key); },
                               [](const QString& key) { Settings::setValue(key, true); });
    ControlServices::setTrack([](const QString& category, const QString& name, const QString& value) {
        DMTracker::defaultTracker()->trackEventInCategory(category, name, value);
    });
    ControlServices::setCurrentUser([] {
        const TQSession* session = TQSessionManager::sharedManager()->currentSession();
        return session ? session->username() : QString();
    });
    ControlServices::setOpenDocument(openDocument);
    ControlServices::setStorage(
        [](const QString& key) { return Settings::value(key); },
        [](const QString& key, const QVariant& value) { Settings::setValue(key, value); });
}

void ControlServicesFeed::followConnection(QWidget* view)
{
    OnlineFlag* flag = OnlineFlag::of(view);
    if (!flag)
        return;
    auto connection = std::make_shared<QMetaObject::Connection>();
    QObject::connect(ApplicationServices::instance(), &ApplicationServices::connectionStatusChanged, flag,
                     [flag, connection] { followStatus(flag, *connection); });
    followStatus(flag, *connection);
}

} // namespace tavrel
