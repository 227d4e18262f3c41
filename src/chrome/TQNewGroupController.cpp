#include "chrome/TQNewGroupController.h"

#include "actions/ContactManager.h"
#include "pipeline/TQSessionContexts.h"
#include "platform/runtime/ClassRegistry.h"
#include "platform/runtime/Invocation.h"
#include "platform/ui/MessageNames.h"
#include "platform/ui/ResponderChain.h"
#include "platform/ui/StringTable.h"
#include "progress/TQProgressManager.h"
#include "session/TQSession.h"
#include "session/TQSessionManager.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tavrel {

TQNewGroupController::TQNewGroupController()
{
    auto* sheet = new QDialog;
    sheet->setObjectName(QStringLiteral("NewGroupWindow"));
    sheet->setWindowTitle(StringTable::text(QStringLiteral("NewGroupTitle")));
    auto* layout = new QVBoxLayout(sheet);
    layout->setContentsMargins(20, 18, 20, 16);
    layout->setSpacing(10);
    auto* prompt = new QLabel(message(), sheet);
    m_prompt = prompt;
    m_nameField = new QLineEdit(sheet);
    m_nameField->setMinimumWidth(300);
    connect(m_nameField, &QLineEdit::textChanged, this, [this](const QString& text) { m_groupName = text; });
    auto* buttons = new QDialogButtonBox(sheet);
    QPushButton* cancel =
        buttons->addButton(StringTable::text(QStringLiteral("Cancel")), QDialogButtonBox::RejectRole);
    QPushButton* confirm = buttons->addButton(action(), QDialogButtonBox::AcceptRole);
    m_confirm = confirm;
    confirm->setDefault(true);
    // An empty name creates nothing.
    confirm->setEnabled(false);
    connect(m_nameField, &QLineEdit::textChanged, this, [this] { updateConfirmButton(); });
    connect(confirm, &QPushButton::clicked, this, [this] { ok(nullptr); });
    connect(cancel, &QPushButton::clicked, this, [this] { this->cancel(nullptr); });
    connect(sheet, &QDialog::rejected, this, [this] { this->cancel(nullptr); });
    layout->addWidget(prompt);
    layout->addWidget(m_nameField);
    layout->addWidget(buttons);
    setWindow(sheet);
}

void TQNewGroupController::updateTexts(const QString& windowTitle)
{
    m_prompt->setText(message());
    m_confirm->setText(action());
    window()->setWindowTitle(windowTitle);
}

bool TQNewGroupController::acceptsName(const QString& name) const
{
    return !name.trimmed().isEmpty();
}

void TQNewGroupController::updateConfirmButton()
{
    m_confirm->setEnabled(acceptsName(m_nameField->text()));
}

void TQNewGroupController::setGroupName(const QString& name)
{
    m_groupName = name;
    if (m_nameField->text() != name)
        m_nameField->setText(name);
}

QString TQNewGroupController::message() const
{
    return StringTable::text(QStringLiteral("NewGroupMessage"));
}

QString TQNewGroupController::action() const
{
    return StringTable::text(QStringLiteral("Create"));
}

bool TQNewGroupController::isCreateGroupAvailable()
{
    return INewGroupSheet::isCreateGroupAvailable();
}

void TQNewGroupController::showWindowModalToWindow(QWidget* window)
{
    // Alive until the sheet ends, whatever the opener does with its reference.
    setParent(nullptr);
    auto* sheet = static_cast<QDialog*>(this->window());
    sheet->setParent(window, Qt::Sheet | Qt::Dialog);
    sheet->setWindowModality(Qt::WindowModal);
    sheet->open();
}

void TQNewGroupController::ok(QObject*)
{
    sheetDidEnd(1);
}

void TQNewGroupController::cancel(QObject*)
{
    sheetDidEnd(0);
}

void TQNewGroupController::sheetDidEnd(int returnCode)
{
    if (m_ended)
        return;
    m_ended = true;
    close();
    if (returnCode == 1)
        nameConfirmed();
    deleteLater();
}

void TQNewGroupController::nameConfirmed()
{
    TQSession* session = TQSessionManager::sharedManager()->currentSession();
    QVariantMap parameters;
    parameters.insert(QStringLiteral("title"), m_groupName);
    if (session && session->mocManager())
        parameters.insert(QStringLiteral("managedObjectContext"),
                          TQSessionContexts::masterManagedObjectContext(session->mocManager()));
    parameters.insert(QStringLiteral("statusID"),
                      QStringLiteral("newgroup_%1").arg(quint64(quintptr(&m_groupName))));
    parameters.insert(QStringLiteral("progressConsumer"),
                      QVariant::fromValue(static_cast<QObject*>(TQProgressManager::progressManager())));
    QObject* target = m_callbackTarget ? m_callbackTarget.data() : ResponderChain::applicationDelegate();
    if (m_executor) {
        m_executor(QStringLiteral("CreateGroup"), target, parameters);
    } else if (session && session->contactManager()) {
        InvocationPtr callback =
            target ? Invocation::invocationForSelector(Selectors::operationDidFinish, target) : nullptr;
        session->contactManager()->executeAction(QStringLiteral("CreateGroup"), callback, parameters);
    }
}

} // namespace tavrel
