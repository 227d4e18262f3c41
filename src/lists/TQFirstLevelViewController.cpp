#include "lists/TQFirstLevelViewController.h"

#include "lists/ListModel.h"
#include "model/TQUtility.h"
#include "platform/runtime/NotificationCenter.h"
#include "platform/ui/MessageNames.h"
#include "platform/ui/UserInterfaceItem.h"
#include "window/TQNavigationController.h"

#include <QAbstractItemView>
#include <QScrollBar>

namespace tavrel {

TQFirstLevelViewController::TQFirstLevelViewController(const QString& nibName, QObject* parent)
    : TQTableViewController(nibName, parent)
{}

TQFirstLevelViewController::~TQFirstLevelViewController() = default;

Predicate TQFirstLevelViewController::filter() const
{
    return m_filter ? m_filter() : Predicate();
}

void TQFirstLevelViewController::setFilter(Filter filter)
{
    m_filter = std::move(filter);
    handSearchToProvider();
    filterDidChange();
}

void TQFirstLevelViewController::setProviderSearchFormat(const QString& format)
{
    m_providerSearchFormat = format;
    handSearchToProvider();
}

void TQFirstLevelViewController::handSearchToProvider()
{
    if (!m_filter || !dataProvider())
        return;
    // Without a format the filter tests the search itself.
    if (m_providerSearchFormat.isEmpty()) {
        dataProvider()->setSearchString(QString());
        return;
    }
    dataProvider()->setSearchFormat(m_providerSearchFormat);
    dataProvider()->setSearchString(searchString());
}

void TQFirstLevelViewController::filterDidChange()
{
    if (dataProvider())
        dataProvider()->setFilterPredicate(filter());
    emit filterChanged();
}

void TQFirstLevelViewController::setDataProvider(ListModel* provider)
{
    TQTableViewController::setDataProvider(provider);
    if (provider && m_filter) {
        handSearchToProvider();
        provider->setFilterPredicate(filter());
    }
}

void TQFirstLevelViewController::setSearchString(const QString& searchString)
{
    if (!m_filter) {
        TQTableViewController::setSearchString(searchString);
        return;
    }
    TQViewController::setSearchString(searchString);
    if (!m_providerSearchFormat.isEmpty()) {
        // The filter stays as it was, so the provider can narrow the rows it holds.
        if (dataProvider())
            dataProvider()->setSearchString(searchString);
        emit filterChanged();
        // The rows are already narrowed: only the views follow (a refresh would fetch them again).
        if (isInstalled())
            TQTableViewController::refresh();
        return;
    }
    // The search reaches the rows through the filter, which reads it.
    filterDidChange();
    if (isInstalled())
        refresh();
}

void TQFirstLevelViewController::awakeFromNib()
{
    TQTableViewController::awakeFromNib();
    QScrollBar* scroller = table()->verticalScrollBar();
    connect(scroller, &QScrollBar::valueChanged, this, [this] { onViewPositionDidChange(); });
}

void TQFirstLevelViewController::onViewPositionDidChange()
{
    NotificationCenter::defaultCenter().post(
        TQNavigationController::kQuickShareDialogShouldDetachNotification,
        QVariant::fromValue<QObject*>(view()->window()));
}

void TQFirstLevelViewController::viewDidInstall()
{
    TQTableViewController::viewDidInstall();
    // Switched off and on again, so that the newly installed list draws its scroller afresh.
    QAbstractItemView* list = table();
    const Qt::ScrollBarPolicy policy = list->verticalScrollBarPolicy();
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setVerticalScrollBarPolicy(policy);
}

bool TQFirstLevelViewController::validateUserInterfaceItem(QObject* item)
{
    bool valid = TQTableViewController::validateUserInterfaceItem(item);
    const QString command = UserInterfaceItem::command(item);
    const qsizetype selected = selectedRows().size();
    if (command == Commands::share || command == Commands::deleteEntity)
        valid = valid && selected > 0;
    else if (command == Commands::editEntity)
        valid = valid && selected == 1;
    if (!valid)
        return false;
    return TQUtility::actionAllowedOffline(command);
}

} // namespace tavrel
