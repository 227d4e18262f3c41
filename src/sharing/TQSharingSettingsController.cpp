#include "sharing/TQSharingSettingsController.h"

#include "controls/TQFloatingWindow.h"
#include "model/FileEntryAbstract.h"
#include "model/TQMOCMaster.h"
#include "platform/runtime/Invocation.h"
#include "platform/system/TQLog.h"
#include "platform/ui/MessageNames.h"
#include "platform/ui/StringTable.h"
#include "progress/TQProgressManager.h"
#include "window/ActionError.h"
#include "window/ActionRequests.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tavrel {

namespace {
const QString kWritersCanInvite = QStringLiteral("writersCanInvite");

void saveContext(ManagedObjectContext* context)
{
    if (auto* master = qobject_cast<TQMOCMaster*>(context))
        master->save();
    else if (context)
        context->save(nullptr);
}
} // namespace

TQSharingSettingsController::TQSharingSettingsController(QObject* parent)
    : TQFloatingContentController(QStringLiteral("SharingSettingsView"), parent)
{}

TQSharingSettingsController::~TQSharingSettingsController() = default;

QWidget* TQSharingSettingsController::loadView()
{
    auto* view = new QWidget;
    view->setObjectName(nibName());
    auto* layout = new QVBoxLayout(view);
    layout->setContentsMargins(18, 16, 18, 14);
    layout->setSpacing(8);
    auto* heading = new QLabel(StringTable::text(QStringLiteral("SharingSettingsHeading")), view);
    QFont font = heading->font();
    font.setBold(true);
    heading->setFont(font);
    layout->addWidget(heading);
    m_writers = new QRadioButton(StringTable::text(QStringLiteral("SharingSettingsWriters")), view);
    m_writers->setObjectName(QStringLiteral("writersCanInvite"));
    m_owner = new QRadioButton(StringTable::text(QStringLiteral("SharingSettingsOwnerOnly")), view);
    m_owner->setObjectName(QStringLiteral("ownerOnly"));
    m_settings = new QButtonGroup(view);
    m_settings->addButton(m_writers, 0);
    m_settings->addButton(m_owner, 1);
    connect(m_settings, &QButtonGroup::idToggled, this, [this] { validateButtons(); });
    layout->addWidget(m_writers);
    layout->addWidget(m_owner);
    layout->addSpacing(6);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto* cancel = new QPushButton(StringTable::text(QStringLiteral("Cancel")), view);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    connect(cancel, &QPushButton::clicked, this, [this, cancel] { close(cancel); });
    m_saveButton = new QPushButton(StringTable::text(QStringLiteral("SharingSettingsSave")), view);
    m_saveButton->setObjectName(QStringLiteral("saveButton"));
    m_saveButton->setDefault(true);
    connect(m_saveButton, &QPushButton::clicked, this, [this] { save(m_saveButton); });
    buttons->addWidget(cancel);
    buttons->addWidget(m_saveButton);
    layout->addLayout(buttons);
    view->setMinimumWidth(400);
    view->resize(view->sizeHint().expandedTo(QSize(400, 0)));
    deselectAll();
    return view;
}

void TQSharingSettingsController::viewDidInstall()
{
    TQFloatingContentController::viewDidInstall();
    if (window())
        window()->installTitlebar(nullptr);
}

void TQSharingSettingsController::deselectAll()
{
    // An exclusive group keeps one button checked: let go of it for a moment.
    m_settings->setExclusive(false);
    m_writers->setChecked(false);
    m_owner->setChecked(false);
    m_settings->setExclusive(true);
    validateButtons();
}

void TQSharingSettingsController::setItems(const SharingPermissions::Items& items)
{
    view();
    if (items != m_items)
        m_items = items;
    // The distinct stored values; a missing one is a value of its own.
    QList<QVariant> values;
    for (const auto& item : std::as_const(m_items)) {
        const QVariant value = item->valueForKey(kWritersCanInvite);
        const QVariant normal = value.isValid() ? QVariant(value.toBool()) : QVariant();
        if (!values.contains(normal))
            values.append(normal);
    }
    if (values.size() == 1)
        setIsWritersCanIvite(values.constFirst().toBool());
    else
        deselectAll();
}

QVariant TQSharingSettingsController::itemsValue() const
{
    return SharingPermissions::recordValues(m_items);
}

void TQSharingSettingsController::setItemsValue(const QVariant& items)
{
    SharingPermissions::Items entries;
    for (const QVariant& each : items.toList())
        if (auto entry = std::dynamic_pointer_cast<FileEntryAbstract>(each.value<ManagedObjectPtr>()))
            entries.append(entry);
    if (entries.isEmpty())
        if (auto entry = std::dynamic_pointer_cast<FileEntryAbstract>(items.value<ManagedObjectPtr>()))
            entries.append(entry);
    setItems(entries);
}

bool TQSharingSettingsController::isWritersCanIvite() const
{
    return m_writers && m_writers->isChecked();
}

void TQSharingSettingsController::setIsWritersCanIvite(bool writersCanInvite)
{
    view();
    (writersCanInvite ? m_writers : m_owner)->setChecked(true);
    validateButtons();
}

bool TQSharingSettingsController::hasChoice() const
{
    return m_settings && m_settings->checkedId() >= 0;
}

void TQSharingSettingsController::validateButtons()
{
    // Nothing chosen (items that disagree) saves nothing: the user chooses first.
    if (m_saveButton)
        m_saveButton->setEnabled(hasChoice() && !m_items.isEmpty());
}

void TQSharingSettingsController::save(QObject*)
{
    if (!hasChoice())
        return;
    const bool flag = isWritersCanIvite();
    // The store first, so that the lists show the choice at once.
    QList<QVariant> previous;
    ManagedObjectContext* context = nullptr;
    for (const auto& item : std::as_const(m_items)) {
        previous.append(item->valueForKey(kWritersCanInvite));
        item->setWritersCanInvite(flag);
        context = item->managedObjectContext();
    }
    saveContext(context);
    for (qsizetype i = 0; i < m_items.size(); ++i) {
        const auto& item = m_items.at(i);
        // One request per item. A refusal is told, and the item gets its stored value back.
        const std::weak_ptr<FileEntryAbstract> weak = item;
        auto callback = Invocation::invocationWithFunction(
            Selectors::writersCanInviteDidFinish, [weak, before = previous.at(i)](Invocation& invocation) {
                const Error error = ActionError::errorFromValue(invocation.argument(3));
                if (error.isNull())
                    return QVariant();
                if (const auto entry = weak.lock()) {
                    TQLog("E: Sharing settings not saved for %@", entry->title());
                    entry->setValueForKey(kWritersCanInvite, before);
                    saveContext(entry->managedObjectContext());
                }
                ActionError::processActionError(error);
                return QVariant();
            });
        ActionRequests::executeDocumentAction(
            QStringLiteral("WritersCanInvite"), callback,
            {{QStringLiteral("documentEntity"), SharingPermissions::recordValue(item)},
             {kWritersCanInvite, flag},
             {QStringLiteral("progressID"),
              SharingPermissions::statusIdentifier(QStringLiteral("writersCanInvite"), item.get())},
             {QStringLiteral("progressConsumer"),
              QVariant::fromValue<QObject*>(TQProgressManager::progressManager())}});
    }
    close(nullptr);
}

void TQSharingSettingsController::close(QObject* sender)
{
    if (window())
        window()->performClose(sender);
    else if (QWidget* shown = view(); shown && shown->window() != shown)
        shown->window()->close();
}

} // namespace tavrel
