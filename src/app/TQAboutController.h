#pragma once

#include "controls/TQWindowController.h"

#include <QLabel>
#include <QPixmap>
#include <QTextBrowser>

namespace tavrel {

// The About window: the program's icon, name, version, copyright and credits. One per process.
class TQAboutController : public TQWindowController
{
    Q_OBJECT
public:
    static TQAboutController* aboutController();
    static void resetForTesting();

    // The localised value of an information key, else the base one.
    static QVariant infoValueForKey(const QString& key);

    // Centres the window every time, then shows it.
    Q_INVOKABLE void showWindow(QObject* sender) override;
    Q_INVOKABLE void close(QObject* sender);

    QPixmap applicationIcon() const { return m_applicationIcon; }
    QString applicationName() const { return m_applicationName; }
    QString version() const { return m_version; }
    QString copyright() const { return m_copyright; }
    QString credits() const { return m_credits; }

private:
    TQAboutController();
    void awakeFromNib() override;

    QPixmap m_applicationIcon;
    QString m_applicationName;
    QString m_version;
    QString m_copyright;
    QString m_credits;
    QLabel* m_iconLabel = nullptr;
    QLabel* m_nameLabel = nullptr;
    QLabel* m_versionLabel = nullptr;
    QLabel* m_copyrightLabel = nullptr;
    QTextBrowser* m_creditsView = nullptr;
};

} // namespace tavrel
