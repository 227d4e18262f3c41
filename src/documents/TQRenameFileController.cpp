#include "documents/TQRenameFileController.h"

#include "documents/DocumentCommandSupport.h"
#include "lists/QuickSharePresenter.h"
#include "model/FileEntryAbstract.h"
#include "platform/system/TQLog.h"
#include "platform/ui/MessageNames.h"
#include "platform/ui/ResponderChain.h"
#include "platform/ui/StringTable.h"
#include "progress/TQProgressManager.h"
#include "window/ActionRequests.h"
#include "window/TQMainWindowController.h"

#include <QLineEdit>

namespace tavrel {

TQRenameFileController::TQRenameFileController()
{
    updateTexts(StringTable::text(QStringLiteral("Rename")));
}

TQRenameFileController::~TQRenameFileController() = default;

QString TQRenameFileController::message() const
{
    return StringTable::text(QStringLiteral("NewNameMessage"));
}

QString TQRenameFileController::action() const
{
    return StringTable::text(QStringLiteral("Rename"));
}

QString TQRenameFileController::currentTitle() const
{
    const auto entry = std::dynamic_pointer_cast<FileEntryAbstract>(m_item);
    return entry ? entry->title() : QString();
}

void TQRenameFileController::setItem(const ManagedObjectPtr& item)
{
    m_item = item;
    // The sheet starts from the current name, all of it selected for typing over.
    setGroupName(currentTitle());
    nameField()->selectAll();
    updateConfirmButton();
}

bool TQRenameFileController::acceptsName(const QString& name) const
{
    return m_item && !name.trimmed().isEmpty() && name != currentTitle();
}

void TQRenameFileController::nameConfirmed()
{
    // Nothing to rename, or no new name: nothing is sent.
    if (!acceptsName(groupName()))
        return;
    // The sheet goes once it ends: the window's general callback hears the answer.
    QObject* target = QuickSharePresenter::mainController();
    if (!target)
        target = ResponderChain::applicationDelegate();
    TQLog("Renaming <%@> to <%@>", currentTitle(), groupName());
    ActionRequests::executeDocumentAction(
        QStringLiteral("RenameDocument"),
        target ? DocumentCommandSupport::callback(target, Selectors::operationDidFinish) : nullptr,
        {{QStringLiteral("newName"), groupName()},
         {QStringLiteral("documentEntity"), QVariant::fromValue(m_item)},
         {QStringLiteral("statusID"), DocumentCommandSupport::identifier("rename")},
         {QStringLiteral("progressConsumer"),
          QVariant::fromValue<QObject*>(TQProgressManager::progressManager())}});
}

} // namespace tavrel
