#include "contacts/TQEditMailController.h"

#include "model/ContextFetch.h"
#include "model/Mail.h"
#include "model/SharingRoles.h"
#include "pipeline/TQSessionContexts.h"
#include "platform/runtime/NotificationCenter.h"
#include "platform/system/DMTracker.h"
#include "platform/system/TQLog.h"
#include "platform/ui/MessageNames.h"
#include "platform/ui/StringTable.h"
#include "progress/TQProgressManager.h"
#include "session/TQSession.h"
#include "session/TQSessionManager.h"
#include "window/ActionError.h"
#include "window/ActionRequests.h"
#include "window/TQViewController.h"

#include <QApplication>
#include <QCompleter>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardItemModel>
#include <QStyle>
#include <QVBoxLayout>

namespace tavrel {

namespace {

TQSession* currentSession()
{
    return TQSessionManager::sharedManager()->currentSession();
}

QString currentUser()
{
    TQSession* session = currentSession();
    return session ? session->username() : QString();
}

ManagedObjectContext* masterContext()
{
    TQSession* session = currentSession();
    return session && session->mocManager()
               ? qobject_cast<ManagedObjectContext*>(
                     TQSessionContexts::masterManagedObjectContext(session->mocManager()).value<QObject*>())
               : nullptr;
}

QList<std::shared_ptr<Mail>> fetchMails(const Predicate& predicate, const QString& text)
{
    ManagedObjectContext* context = masterContext();
    if (!context)
        return {};
    FetchRequest request(QStringLiteral("Mail"));
    request.setPredicate(predicate);
    Error error;
    const auto mails = ContextFetch::executeFetchRequestSafely<Mail>(context, request, &error);
    if (error)
        TQLog("E: Cannot fetch contact for: %@ - error %@", text, error.description());
    return mails;
}

} // namespace

TQEditMailController* TQEditMailController::mailEditor()
{
    static QPointer<TQEditMailController> shared;
    // A sheet that went with a window that closed while it showed is made anew.
    if (shared && !shared->window())
        delete shared.data();
    if (!shared)
        shared = new TQEditMailController;
    return shared;
}

TQEditMailController::TQEditMailController()
{
    auto* sheet = new QDialog;
    sheet->setObjectName(QStringLiteral("EditMailWindow"));
    auto* column = new QVBoxLayout(sheet);
    column->setContentsMargins(20, 18, 20, 16);
    column->setSpacing(12);
    m_titleLabel = new QLabel(sheet);
    QFont titleFont = m_titleLabel->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.15);
    m_titleLabel->setFont(titleFont);
    column->addWidget(m_titleLabel);
    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_nameField = new QLineEdit(sheet);
    m_nameField->setObjectName(QStringLiteral("nameField"));
    m_nameField->setMinimumWidth(300);
    m_contactField = new QLineEdit(sheet);
    m_contactField->setObjectName(QStringLiteral("contactField"));
    m_contactField->setPlaceholderText(StringTable::text(QStringLiteral("ContactAddressPlaceholder")));
    form->addRow(StringTable::text(QStringLiteral("ContactNameLabel")), m_nameField);
    form->addRow(StringTable::text(QStringLiteral("ContactAddressLabel")), m_contactField);
    column->addLayout(form);

    // The band and the buttons share a column without spacing, so the band adds exactly its height.
    auto* bottom = new QVBoxLayout;
    bottom->setSpacing(0);
    m_warningArea = new QFrame(sheet);
    m_warningArea->setObjectName(QStringLiteral("warningArea"));
    m_warningArea->setFixedHeight(kWarningHeight);
    auto* bandLayout = new QVBoxLayout(m_warningArea);
    bandLayout->setContentsMargins(0, 0, 0, 10);
    auto* band = new QFrame(m_warningArea);
    band->setObjectName(QStringLiteral("warningBand"));
    band->setStyleSheet(QStringLiteral("#warningBand { background: #FFF4D6; border: 1px solid #E8C66A;"
                                       " border-radius: 4px; }"));
    bandLayout->addWidget(band);
    auto* warning = new QHBoxLayout(band);
    warning->setContentsMargins(10, 4, 10, 4);
    auto* caution = new QLabel(band);
    caution->setObjectName(QStringLiteral("cautionSign"));
    caution->setPixmap(sheet->style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(22, 22));
    auto* message = new QLabel(StringTable::text(QStringLiteral("ContactAddressInvalid")), band);
    message->setWordWrap(true);
    warning->addWidget(caution);
    warning->addWidget(message, 1);
    m_warningArea->hide();
    bottom->addWidget(m_warningArea);
    column->addLayout(bottom);

    auto* buttons = new QDialogButtonBox(sheet);
    QPushButton* cancel =
        buttons->addButton(StringTable::text(QStringLiteral("Cancel")), QDialogButtonBox::RejectRole);
    QPushButton* save =
        buttons->addButton(StringTable::text(QStringLiteral("Save")), QDialogButtonBox::AcceptRole);
    save->setObjectName(QStringLiteral("saveButton"));
    save->setDefault(true);
    bottom->addWidget(buttons);
    connect(save, &QPushButton::clicked, this, [this] { this->save(nullptr); });
    connect(cancel, &QPushButton::clicked, this, [this] { this->cancel(nullptr); });
    connect(sheet, &QDialog::rejected, this, [this] { this->cancel(nullptr); });

    // The field holds one address: a second one typed is not taken.
    connect(m_contactField, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (!shouldAddTokens(tokens())) {
            m_contactField->setText(m_acceptedText);
            return;
        }
        m_acceptedText = text;
        refreshCompletions(text);
    });
    m_completions = new QStandardItemModel(this);
    auto* completer = new QCompleter(m_completions, this);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    m_contactField->setCompleter(completer);
    connect(m_contactField, &QLineEdit::editingFinished, this, [this] {
        const QString text = m_contactField->text().trimmed();
        if (text.isEmpty() || tokens().size() != 1)
            return;
        const QString address = representedAddressForEditingString(text);
        if (address != m_contactField->text()) {
            m_contactField->setText(address);
            m_acceptedText = address;
        }
    });
    setWindow(sheet);
    m_titleLabel->setText(title());
    sheet->setWindowTitle(title());
}

TQEditMailController::~TQEditMailController() = default;

void TQEditMailController::setEmail(const QVariant& email)
{
    setEmail(std::dynamic_pointer_cast<Mail>(email.value<ManagedObjectPtr>()));
}

void TQEditMailController::setEmail(const std::shared_ptr<Mail>& email)
{
    m_email = email;
    m_autoFavorite = false;
    m_nameField->setText(email ? email->displayName() : QString());
    m_contactField->setText(email ? email->address() : QString());
    m_acceptedText = m_contactField->text();
    m_isValid = true;
    setWarningShown(false);
    m_titleLabel->setText(title());
    if (window())
        window()->setWindowTitle(title());
}

QString TQEditMailController::name() const
{
    return m_nameField->text();
}

void TQEditMailController::setName(const QString& name)
{
    m_nameField->setText(name);
}

QString TQEditMailController::title() const
{
    return StringTable::text(m_email ? QStringLiteral("EditContact") : QStringLiteral("NewContact"));
}

bool TQEditMailController::emailHasNoRelations() const
{
    return m_email && !m_email->contact() && m_email->owns().isEmpty() && m_email->views().isEmpty() &&
           m_email->edits().isEmpty() && m_email->lastModifiedFiles().isEmpty();
}

bool TQEditMailController::isWarningShown() const
{
    return !m_warningArea->isHidden();
}

QStringList TQEditMailController::tokens() const
{
    static const QRegularExpression separators(QStringLiteral("[,;\\n]"));
    QStringList result;
    for (const QString& part : m_contactField->text().split(separators))
        if (!part.trimmed().isEmpty())
            result.append(part.trimmed());
    return result;
}

bool TQEditMailController::shouldAddTokens(const QStringList& tokens)
{
    return tokens.size() < 2;
}

bool TQEditMailController::isValidAddress(const QString& address)
{
    static const QRegularExpression pattern(
        QStringLiteral("\\A[a-z0-9!#$%&'*+/=?^_`{|}~-]+(?:\\.[a-z0-9!#$%&'*+/=?^_`{|}~-]+)*@"
                       "(?:[a-z0-9](?:[a-z0-9-]*[a-z0-9])?\\.)+[a-z0-9](?:[a-z0-9-]*[a-z0-9])?\\z"),
        QRegularExpression::CaseInsensitiveOption);
    return pattern.match(address).hasMatch();
}

bool TQEditMailController::validate() const
{
    const QStringList all = tokens();
    if (all.size() > 1)
        return false;
    return !all.isEmpty() && isValidAddress(all.constLast());
}

QStringList TQEditMailController::completionsForSubstring(const QString& text) const
{
    if (text.isEmpty())
        return {};
    const QString user = currentUser();
    const auto mails = fetchMails(
        Predicate::format(QStringLiteral("address BEGINSWITH[cd] %@ OR displayName BEGINSWITH[cd] %@"), text,
                          text),
        text);
    QStringList addresses;
    for (const auto& mail : mails) {
        if (SharingRoles::sameAddress(mail->address(), user))
            continue;
        // A new contact is made of an address nobody lists yet.
        if (!m_email && mail->visible().toBool())
            continue;
        addresses.append(mail->address());
    }
    addresses.sort(Qt::CaseInsensitive);
    return addresses;
}

QString TQEditMailController::representedAddressForEditingString(const QString& text) const
{
    const QString user = currentUser();
    if (text == user)
        return text;
    static const QRegularExpression named(QStringLiteral("\\A(.*?) [(<]([^()<>]*)[)>]\\s*\\z"));
    QList<std::shared_ptr<Mail>> found;
    if (const QRegularExpressionMatch match = named.match(text); match.hasMatch()) {
        found = fetchMails(
            Predicate::format(QStringLiteral("address BEGINSWITH %@ AND displayName BEGINSWITH %@"),
                              match.captured(2), match.captured(1)),
            text);
    } else {
        found = fetchMails(
            Predicate::format(QStringLiteral("address BEGINSWITH[cd] %@ OR displayName BEGINSWITH[cd] %@"),
                              text, text),
            text);
    }
    if (!found.isEmpty() && found.first())
        return found.first()->address();
    return text;
}

void TQEditMailController::refreshCompletions(const QString& text)
{
    m_completions->clear();
    for (const QString& address : completionsForSubstring(text.trimmed()))
        m_completions->appendRow(new QStandardItem(address));
}

void TQEditMailController::setWarningShown(bool shown)
{
    if (shown == isWarningShown())
        return;
    QWidget* sheet = window();
    const int before = sheet ? sheet->height() : 0;
    m_warningArea->setVisible(shown);
    if (sheet && sheet->layout())
        sheet->layout()->activate();
    if (sheet)
        sheet->resize(sheet->width(), before + (shown ? kWarningHeight : -kWarningHeight));
}

void TQEditMailController::showWindowModalToWindow(QWidget* window)
{
    auto* sheet = static_cast<QDialog*>(this->window());
    sheet->setParent(window, Qt::Sheet | Qt::Dialog);
    sheet->setWindowModality(window ? Qt::WindowModal : Qt::ApplicationModal);
    sheet->open();
}

void TQEditMailController::save(QObject*)
{
    m_isValid = validate();
    if (!m_isValid) {
        setWarningShown(true);
        return;
    }
    setWarningShown(false);
    editorDidEnd(1);
}

void TQEditMailController::cancel(QObject*)
{
    editorDidEnd(0);
}

void TQEditMailController::editorDidEnd(int returnCode)
{
    if (QWidget* sheet = window()) {
        if (sheet->isVisible())
            static_cast<QDialog*>(sheet)->done(returnCode);
        // The one editor outlives the window it was shown on.
        sheet->setParent(nullptr, sheet->windowFlags());
    }
    if (returnCode != 1)
        return;
    if (m_email && m_email->visible().toBool())
        updateContact();
    else
        createContact();
}

QVariantMap TQEditMailController::commonParameters(const char* verb) const
{
    QVariantMap parameters;
    TQSession* session = currentSession();
    if (session && session->mocManager())
        parameters.insert(QStringLiteral("managedObjectContext"),
                          TQSessionContexts::masterManagedObjectContext(session->mocManager()));
    parameters.insert(QStringLiteral("progressConsumer"),
                      QVariant::fromValue(static_cast<QObject*>(TQProgressManager::progressManager())));
    parameters.insert(QStringLiteral("statusID"),
                      QStringLiteral("%1_%2").arg(QLatin1String(verb)).arg(ActionRequests::uniqueNumber()));
    if (!name().isEmpty())
        parameters.insert(QStringLiteral("mailLabel"), name());
    if (!tokens().isEmpty())
        parameters.insert(QStringLiteral("mailAddress"), tokens().constLast());
    return parameters;
}

void TQEditMailController::createContact()
{
    QVariantMap parameters = commonParameters("create");
    parameters.insert(QStringLiteral("isFavorite"), m_autoFavorite);
    ActionRequests::execute(ActionRequests::Manager::Contacts, QStringLiteral("CreateMail"),
                            Invocation::invocationForSelector(Selectors::operationDidFinish, this),
                            parameters);
    DMTracker::defaultTracker()->trackEventInCategory(QStringLiteral("Toolbar"), QStringLiteral("Create"),
                                                      QStringLiteral("Contact"));
}

void TQEditMailController::updateContact()
{
    QVariantMap parameters = commonParameters("update");
    parameters.insert(QStringLiteral("mailEntities"),
                      QVariantList{QVariant::fromValue(ManagedObjectPtr(m_email))});
    ActionRequests::execute(ActionRequests::Manager::Contacts, QStringLiteral("UpdateMails"),
                            Invocation::invocationForSelector(Selectors::operationDidFinish, this),
                            parameters);
}

void TQEditMailController::operationDidFinishWithResult(const QVariant&, const QVariant& error)
{
    TQLog("Received action callback");
    const Error failure = ActionError::errorFromValue(error);
    if (failure) {
        TQLog("E: Got error on requested operation: %@", failure.description());
        ActionError::processActionError(failure);
        return;
    }
    NotificationCenter::defaultCenter().post(TQViewController::kRefreshIfInstalledNotification, QVariant());
}

} // namespace tavrel
