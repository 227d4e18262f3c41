#include "contacts/TQContactViewController.h"

#include "contacts/ContactSharedFilesSlot.h"
#include "contacts/TQContactItemsFilteringViewController.h"
#include "controls/TQAvatarPathToImageTransformer.h"
#include "controls/TQHostView.h"
#include "lists/ListModel.h"
#include "lists/TQTableViewController.h"
#include "model/Contact.h"
#include "model/Mail.h"
#include "model/SharingRoles.h"
#include "platform/runtime/NotificationCenter.h"
#include "platform/system/TQLog.h"
#include "platform/ui/Drawing.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/MessageNames.h"
#include "platform/ui/StringTable.h"
#include "platform/ui/UserInterfaceItem.h"
#include "session/TQSession.h"
#include "session/TQSessionManager.h"
#include "window/TQMainWindowController.h"
#include "window/TQNavigationController.h"
#include "window/ViewClasses.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace tavrel {

namespace {

constexpr int kPhotoTag = 100;
constexpr int kHeaderHeight = 76;

QString currentUser()
{
    TQSession* session = TQSessionManager::sharedManager()->currentSession();
    return session ? session->username() : QString();
}

// The photo with rounded corners and a thin border.
QPixmap roundedPhoto(const QPixmap& photo, int edge)
{
    const qreal ratio = photo.devicePixelRatio() > 0 ? photo.devicePixelRatio() : 1.0;
    QPixmap rounded(QSize(edge, edge) * ratio);
    rounded.setDevicePixelRatio(ratio);
    rounded.fill(Qt::transparent);
    QPainter painter(&rounded);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.addRoundedRect(QRectF(0.5, 0.5, edge - 1, edge - 1), 4, 4);
    painter.setClipPath(path);
    painter.drawPixmap(QRect(0, 0, edge, edge), photo);
    painter.setClipping(false);
    painter.setPen(QPen(QColor(0, 0, 0, 60), 1));
    painter.drawPath(path);
    return rounded;
}

} // namespace

const QStringList& TQContactViewController::sharedFilesClasses()
{
    static const QStringList classes{QStringLiteral("TQContactSharedFilesController3"),
                                     QStringLiteral("TQSharedFilesController")};
    return classes;
}

TQContactViewController::TQContactViewController(QObject* parent)
    : TQViewController(QStringLiteral("ContactView"), parent)
{}

TQContactViewController::~TQContactViewController()
{
    NotificationCenter::defaultCenter().removeObserver(this);
}

// --- The person ---

void TQContactViewController::setEmail(const QVariant& email)
{
    setEmail(std::dynamic_pointer_cast<Mail>(email.value<ManagedObjectPtr>()));
}

void TQContactViewController::setEmail(const std::shared_ptr<Mail>& email)
{
    TQLog("Initialized my info with contact: %@", email ? email->address() : QString());
    if (email == m_email)
        return;
    m_email = email;
    if (isMe())
        setTitle(StringTable::text(QStringLiteral("OnlyME")));
    else if (m_email && !m_email->displayName().isEmpty())
        setTitle(m_email->displayName());
    if (TQViewController* list = sharedFilesController())
        QMetaObject::invokeMethod(list, "setEmail",
                                  Q_ARG(QVariant, QVariant::fromValue(ManagedObjectPtr(email))));
    updateHeader();
}

bool TQContactViewController::isMe() const
{
    const QString user = currentUser();
    if (!m_email || user.isEmpty())
        return false;
    if (SharingRoles::sameAddress(m_email->address(), user))
        return true;
    if (const auto contact = m_email->contact())
        for (const auto& mail : contact->mails())
            if (mail && SharingRoles::sameAddress(mail->address(), user))
                return true;
    return false;
}

QString TQContactViewController::itemEmails() const
{
    if (!m_email)
        return {};
    const auto contact = m_email->contact();
    if (!contact)
        return m_email->address();
    QStringList addresses;
    for (const auto& mail : contact->mails())
        if (mail && !mail->address().isEmpty())
            addresses.append(mail->address());
    if (addresses.isEmpty())
        return m_email->address();
    std::sort(addresses.begin(), addresses.end(), [](const QString& left, const QString& right) {
        const int folded = left.compare(right, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : left < right;
    });
    return addresses.join(QStringLiteral(", "));
}

// --- The view ---

QWidget* TQContactViewController::makeHeaderContent(QWidget* parent, bool alternate)
{
    auto* content = new QWidget(parent);
    content->setObjectName(alternate ? QStringLiteral("itemAlternateView") : QStringLiteral("itemView"));
    auto* row = new QHBoxLayout(content);
    row->setContentsMargins(14, 10, 14, 10);
    row->setSpacing(12);
    auto* photo = new QLabel(content);
    photo->setObjectName(QStringLiteral("photo"));
    photo->setProperty("tag", kPhotoTag);
    const int edge = alternate ? 32 : kPhotoEdge;
    photo->setFixedSize(edge, edge);
    row->addWidget(photo);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    auto* name = new QLabel(content);
    name->setObjectName(QStringLiteral("nameLabel"));
    name->setFont(Drawing::font(alternate ? 13 : 16, QFont::Bold));
    name->setTextInteractionFlags(Qt::TextSelectableByMouse);
    texts->addWidget(name);
    if (!alternate) {
        auto* emails = new QLabel(content);
        emails->setObjectName(QStringLiteral("emailsLabel"));
        emails->setFont(Drawing::font(12));
        emails->setStyleSheet(QStringLiteral("color: #666666"));
        emails->setTextInteractionFlags(Qt::TextSelectableByMouse);
        texts->addWidget(emails);
    }
    texts->addStretch(1);
    row->addLayout(texts, 1);
    return content;
}

QWidget* TQContactViewController::loadView()
{
    auto* view = new QWidget;
    view->setObjectName(nibName());
    auto* column = new QVBoxLayout(view);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    m_header = new TQHostView(view);
    m_header->setObjectName(QStringLiteral("header"));
    m_header->setFixedHeight(kHeaderHeight);
    auto* headerLayout = new QVBoxLayout(m_header);
    headerLayout->setContentsMargins(0, 0, 0, 0);
    m_itemView = makeHeaderContent(m_header, false);
    // The alternate content waits outside the view tree, owned by the view.
    m_itemAlternateView = makeHeaderContent(view, true);
    m_itemAlternateView->hide();
    headerLayout->addWidget(m_itemView);
    column->addWidget(m_header);
    m_filterController = new TQContactItemsFilteringViewController(this);
    column->addWidget(m_filterController->view(), 1);
    return view;
}

void TQContactViewController::awakeFromNib()
{
    TQViewController::awakeFromNib();
    m_header->setBackgroundImage(ImageRegistry::pixmap(QStringLiteral("filter_background")));
    m_filterController->setController(sharedFilesController());
    updateHeaderLayout();
    updateHeader();
    NotificationCenter::defaultCenter().addObserver(this, kRefreshIfInstalledNotification, QVariant(),
                                                    [this](const Notification&) {
                                                        if (isInstalled())
                                                            updateHeader();
                                                    });
}

TQContactItemsFilteringViewController* TQContactViewController::filterController()
{
    view();
    return m_filterController;
}

TQViewController* TQContactViewController::sharedFilesController()
{
    if (m_sharedFilesController)
        return m_sharedFilesController;
    // The contact's own list or the shared-files list, whichever the program has; else the slot's list.
    for (const QString& name : sharedFilesClasses()) {
        if (!ViewClasses::hasClass(name))
            continue;
        if (auto* made = ViewClasses::make<TQViewController>(name)) {
            m_sharedFilesController = made;
            m_hasSharedFilesList = true;
            break;
        }
    }
    if (!m_sharedFilesController)
        m_sharedFilesController = new ContactSharedFilesSlot;
    m_sharedFilesController->setParent(this);
    // What the page lists goes to the log, whichever list shows it.
    if (auto* list = qobject_cast<TQTableViewController*>(m_sharedFilesController.data()))
        if (ListModel* rows = list->dataProvider())
            connect(rows, &ListModel::arrangedObjectsChanged, this,
                    [this, rows] { logListedDocuments(rows); });
    if (m_email)
        QMetaObject::invokeMethod(m_sharedFilesController, "setEmail",
                                  Q_ARG(QVariant, QVariant::fromValue(ManagedObjectPtr(m_email))));
    return m_sharedFilesController;
}

void TQContactViewController::logListedDocuments(ListModel* rows) const
{
    if (!m_email || !isInstalled())
        return;
    QStringList titles;
    for (int row = 0; row < rows->count(); ++row) {
        const QModelIndex index = rows->index(row);
        if (!index.data(ListModel::GroupRowRole).toBool())
            titles.append(index.data(ListModel::TitleRole).toString());
    }
    TQLog("Contact page: %@ lists %@ documents: %@", m_email->address(), QString::number(titles.size()),
          titles.join(QStringLiteral(" | ")));
}

void TQContactViewController::updateHeader()
{
    if (!isViewLoaded())
        return;
    QString name;
    if (m_email)
        name = isMe() ? StringTable::text(QStringLiteral("OnlyME"))
                      : (m_email->displayName().isEmpty() ? m_email->address() : m_email->displayName());
    const QString avatar = m_email ? m_email->avatarPath() : QString();
    for (QWidget* content : {m_itemView.data(), m_itemAlternateView.data()}) {
        if (!content)
            continue;
        if (auto* label = content->findChild<QLabel*>(QStringLiteral("nameLabel")))
            label->setText(name);
        if (auto* label = content->findChild<QLabel*>(QStringLiteral("emailsLabel")))
            label->setText(itemEmails());
        if (auto* photo = content->findChild<QLabel*>(QStringLiteral("photo"))) {
            TQAvatarPathToImageTransformer transformer(kPhotoEdge);
            QPixmap picture = transformer.transformedValue(avatar).value<QPixmap>();
            if (picture.isNull())
                picture = ImageRegistry::pixmap(TQAvatarPathToImageTransformer::placeholderName(kPhotoEdge));
            photo->setPixmap(roundedPhoto(picture, photo->width()));
        }
    }
}

void TQContactViewController::setShouldUseAlternateHeader(bool use)
{
    m_shouldUseAlternateHeader = use;
    updateHeaderLayout();
}

void TQContactViewController::updateHeaderLayout()
{
    if (!isViewLoaded() || !m_itemView || !m_itemAlternateView)
        return;
    QWidget* wanted = m_shouldUseAlternateHeader ? m_itemAlternateView.data() : m_itemView.data();
    QWidget* other = m_shouldUseAlternateHeader ? m_itemView.data() : m_itemAlternateView.data();
    if (wanted->parentWidget() == m_header && other->parentWidget() != m_header)
        return;
    // The wanted content takes the other's place; the other leaves the view tree.
    auto* layout = static_cast<QVBoxLayout*>(m_header->layout());
    layout->removeWidget(other);
    other->hide();
    // Kept by the view, outside the header.
    other->setParent(view());
    other->hide();
    wanted->setParent(m_header);
    layout->addWidget(wanted);
    wanted->show();
}

// --- Install hooks ---

void TQContactViewController::viewDidInstall()
{
    view();
    TQViewController::viewDidInstall();
    m_filterController->viewDidInstall();
    updateHeader();
    if (auto* list = qobject_cast<TQTableViewController*>(m_sharedFilesController.data()))
        if (ListModel* rows = list->dataProvider(); rows && rows->count() > 0)
            logListedDocuments(rows);
}

void TQContactViewController::viewWillUninstall()
{
    TQViewController::viewWillUninstall();
    if (m_filterController)
        m_filterController->viewWillUninstall();
}

void TQContactViewController::viewDidUninstall()
{
    TQViewController::viewDidUninstall();
    if (m_filterController)
        m_filterController->viewDidUninstall();
}

void TQContactViewController::setNavigationController(TQNavigationController* controller)
{
    TQViewController::setNavigationController(controller);
    if (m_filterController)
        m_filterController->setNavigationController(controller);
}

void TQContactViewController::reactivate()
{
    if (TQNavigationController* stack = navigationController())
        stack->popToRootController();
}

// --- Commands ---

void TQContactViewController::editContact(QObject* sender)
{
    editEntity(sender);
}

void TQContactViewController::editEntity(QObject*)
{
    QObject* editor = ViewClasses::make(TQMainWindowController::kMailEditorClass);
    if (!editor || !isViewLoaded())
        return;
    QMetaObject::invokeMethod(editor, "setEmail",
                              Q_ARG(QVariant, QVariant::fromValue(ManagedObjectPtr(m_email))));
    QMetaObject::invokeMethod(editor, "showWindowModalToWindow", Q_ARG(QWidget*, view()->window()));
}

void TQContactViewController::deleteEntity(QObject* sender)
{
    if (TQViewController* list = sharedFilesController())
        list->deleteEntity(sender);
}

void TQContactViewController::share(QObject*)
{
    TQLog("[!] Not implemented: %@", QString(Commands::share));
}

bool TQContactViewController::validateUserInterfaceItem(QObject* item)
{
    const QString command = UserInterfaceItem::command(item);
    if (command == Commands::newFakeAction || command == Commands::deleteEntity)
        return false;
    return TQViewController::validateUserInterfaceItem(item);
}

} // namespace tavrel
