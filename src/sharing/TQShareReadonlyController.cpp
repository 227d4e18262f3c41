#include "sharing/TQShareReadonlyController.h"

#include "controls/TQAvatarPathToImageTransformer.h"
#include "model/Contact.h"
#include "model/FileEntryAbstract.h"
#include "model/Mail.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/StringTable.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace tavrel {

TQShareReadonlyController::TQShareReadonlyController(QObject* parent)
    : TQFloatingContentController(QStringLiteral("ShareReadonlyView"), parent)
{
    setTitle(StringTable::text(QStringLiteral("SharePrivateForMe")));
}

TQShareReadonlyController::~TQShareReadonlyController() = default;

void TQShareReadonlyController::setItems(const SharingPermissions::Items& items)
{
    m_items = items;
    update();
}

QVariant TQShareReadonlyController::itemsValue() const
{
    return SharingPermissions::recordValues(m_items);
}

void TQShareReadonlyController::setItemsValue(const QVariant& value)
{
    SharingPermissions::Items items;
    for (const QVariant& each : value.toList())
        if (const auto entry = std::dynamic_pointer_cast<FileEntryAbstract>(each.value<ManagedObjectPtr>()))
            items.append(entry);
    setItems(items);
}

QString TQShareReadonlyController::ownerName() const
{
    const auto last = m_items.isEmpty() ? nullptr : m_items.constLast();
    const auto owner = last ? last->owner() : nullptr;
    if (!owner)
        return {};
    if (const auto contact = owner->contact(); contact && !contact->name().isEmpty())
        return contact->name();
    return owner->displayName().isEmpty() ? owner->address() : owner->displayName();
}

QPixmap TQShareReadonlyController::avatar() const
{
    const auto last = m_items.isEmpty() ? nullptr : m_items.constLast();
    const auto owner = last ? last->owner() : nullptr;
    const auto contact = owner ? owner->contact() : nullptr;
    const TQAvatarPathToImageTransformer photos(52);
    return photos.transformedValue(contact ? contact->avatar() : QString()).value<QPixmap>();
}

QWidget* TQShareReadonlyController::loadView()
{
    auto* view = new QWidget;
    view->setObjectName(nibName());
    auto* layout = new QHBoxLayout(view);
    layout->setContentsMargins(16, 14, 16, 14);
    m_photo = new QLabel(view);
    m_photo->setObjectName(QStringLiteral("avatar"));
    m_photo->setFixedSize(52, 52);
    layout->addWidget(m_photo);
    auto* texts = new QVBoxLayout;
    m_name = new QLabel(view);
    m_name->setObjectName(QStringLiteral("ownerName"));
    QFont font = m_name->font();
    font.setBold(true);
    m_name->setFont(font);
    texts->addWidget(m_name);
    auto* caption = new QLabel(StringTable::text(QStringLiteral("SharePrivateForMe")), view);
    caption->setObjectName(QStringLiteral("caption"));
    texts->addWidget(caption);
    layout->addLayout(texts, 1);
    view->setMinimumWidth(300);
    view->resize(320, 80);
    update();
    return view;
}

void TQShareReadonlyController::update()
{
    if (m_name)
        m_name->setText(ownerName());
    if (m_photo)
        m_photo->setPixmap(avatar());
}

} // namespace tavrel
