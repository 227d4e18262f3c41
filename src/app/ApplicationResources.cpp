#include "app/ApplicationResources.h"

#include "platform/system/TQLog.h"

#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

static void initializeApplicationResources()
{
    Q_INIT_RESOURCE(app);
}

namespace tavrel {

void ApplicationResources::initialize()
{
    static const bool once = [] {
        initializeApplicationResources();
        return true;
    }();
    Q_UNUSED(once);
}

QByteArray ApplicationResources::data(const QString& name)
{
    initialize();
    QFile file(QStringLiteral(":/app/") + name);
    if (!file.open(QIODevice::ReadOnly)) {
        TQLog("E: Missing resource %@", name);
        return {};
    }
    return file.readAll();
}

QString ApplicationResources::text(const QString& name)
{
    return QString::fromUtf8(data(name));
}

void ApplicationResources::centreWindow(QWidget* window)
{
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

} // namespace tavrel
