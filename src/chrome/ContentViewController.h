#pragma once

#include "platform/store/SortDescriptor.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <optional>

class QWidget;

namespace tavrel {

class TQNavigationController;

// The part of the window's view-controller base that the lists and the window's chrome rely on: the
// view built on first use (loadView, then awakeFromNib), the install hooks that whoever shows the view
// calls, the search text, the sort, the navigation stack it is on, command validation and the default
// action callback. The signatures are those of the window's TQViewController, so that these classes
// derive from it alone once the window's framework is in the same build.
//
// The controller owns its view. Main thread only.
class ContentViewController : public QObject
{
    Q_OBJECT
public:
    static inline const QString kRefreshIfInstalledNotification =
        QStringLiteral("TQRefreshIfInstalledNotification");

    explicit ContentViewController(const QString& nibName = QString(), QObject* parent = nullptr);
    ~ContentViewController() override;

    QString nibName() const { return m_nibName; }
    // The view, built on first use.
    QWidget* view();
    bool isViewLoaded() const;

    TQNavigationController* navigationController() const { return m_navigationController; }
    Q_INVOKABLE virtual void setNavigationController(tavrel::TQNavigationController* controller);

    // The text filter typed by the user; null when none is set.
    QString searchString() const { return m_searchString; }
    virtual void setSearchString(const QString& searchString);
    std::optional<SortDescriptor> sortDescriptor() const { return m_sortDescriptor; }
    virtual void setSortDescriptor(const std::optional<SortDescriptor>& descriptor);

    bool isInstalled() const { return m_isInstalled; }
    void setIsInstalled(bool installed) { m_isInstalled = installed; }

    // Localises the view's titles; subclasses extend it.
    virtual void awakeFromNib();
    // Whoever shows the view calls these around adding and removing it.
    virtual void viewDidInstall();
    virtual void viewWillUninstall() {}
    virtual void viewDidUninstall();
    virtual void reactivate() {}

    // An error goes up the responder chain as "processActionError:".
    Q_INVOKABLE virtual void operationDidFinishWithResult(const QVariant& result, const QVariant& error);

    Q_INVOKABLE virtual void editEntity(QObject* sender);
    Q_INVOKABLE virtual void share(QObject* sender);
    Q_INVOKABLE virtual void deleteEntity(QObject* sender);

    // Every command is allowed in the base.
    Q_INVOKABLE virtual bool validateUserInterfaceItem(QObject* item);

protected:
    // Builds the view; the base makes an empty one.
    virtual QWidget* loadView();

private:
    QString m_nibName;
    QPointer<QWidget> m_view;
    TQNavigationController* m_navigationController = nullptr;
    QString m_searchString;
    std::optional<SortDescriptor> m_sortDescriptor;
    bool m_isInstalled = false;
};

} // namespace tavrel
