#include "chrome/ContentViewController.h"

#include "platform/runtime/Error.h"
#include "platform/system/TQLog.h"
#include "platform/ui/ResponderChain.h"
#include "platform/ui/StringTable.h"

#include <QWidget>

namespace tavrel {

ContentViewController::ContentViewController(const QString& nibName, QObject* parent)
    : QObject(parent), m_nibName(nibName)
{}

ContentViewController::~ContentViewController()
{
    delete m_view.data();
}

QWidget* ContentViewController::view()
{
    if (!m_view) {
        m_view = loadView();
        ResponderChain::insertResponder(m_view, this);
        awakeFromNib();
    }
    return m_view;
}

bool ContentViewController::isViewLoaded() const
{
    return m_view != nullptr;
}

QWidget* ContentViewController::loadView()
{
    return new QWidget;
}

void ContentViewController::setNavigationController(TQNavigationController* controller)
{
    m_navigationController = controller;
}

void ContentViewController::setSearchString(const QString& searchString)
{
    m_searchString = searchString;
}

void ContentViewController::setSortDescriptor(const std::optional<SortDescriptor>& descriptor)
{
    m_sortDescriptor = descriptor;
}

void ContentViewController::awakeFromNib()
{
    StringTable::localizeView(m_view);
}

void ContentViewController::viewDidInstall()
{
    m_isInstalled = true;
}

void ContentViewController::viewDidUninstall()
{
    m_isInstalled = false;
}

void ContentViewController::operationDidFinishWithResult(const QVariant&, const QVariant& error)
{
    TQLog("Received action callback");
    const Error value = error.value<Error>();
    if (value.isNull())
        return;
    TQLog("E: Got error on requested operation: %@", value.localizedDescription());
    // Commands carry an object: the error travels as its "error" property.
    QObject sender;
    sender.setProperty("error", QVariant::fromValue(value));
    ResponderChain::send(QStringLiteral("processActionError:"), &sender);
}

void ContentViewController::editEntity(QObject*) {}
void ContentViewController::share(QObject*) {}
void ContentViewController::deleteEntity(QObject*) {}

bool ContentViewController::validateUserInterfaceItem(QObject*)
{
    return true;
}

} // namespace tavrel
