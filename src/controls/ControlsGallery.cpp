// Gallery pages of the controls: every bar, button and cell in each of its states.

#include "controls/BasicPopUpButton.h"
#include "controls/TQArrowButtonCell.h"
#include "controls/TQBigDefaultButtonCell.h"
#include "controls/TQBoxButton.h"
#include "controls/TQDashBorderedCell.h"
#include "controls/TQDefaultButtonCell.h"
#include "controls/TQDoubleActionButton.h"
#include "controls/TQFlatButtonCell.h"
#include "controls/TQHoverdAdaptorButtonCell.h"
#include "controls/TQHoverdTextButtonCell.h"
#include "controls/TQHoveredBackgroundButtonCell.h"
#include "controls/TQHoveredPopupButton.h"
#include "controls/TQHoveredPopupHolder.h"
#include "controls/TQImageWellCell.h"
#include "controls/TQInvertableMenuItem.h"
#include "controls/TQInvertedPopupCell.h"
#include "controls/TQNormalPulldownCell.h"
#include "controls/TQOwnerButtonCell.h"
#include "controls/TQPopUpButtonCell.h"
#include "controls/TQRadioButtonbar.h"
#include "controls/TQRemoveItemButton.h"
#include "controls/TQShadowedCell.h"
#include "controls/TQShadowedLabelCell.h"
#include "controls/TQStateItemCell.h"
#include "controls/TQSwitchButtonCell.h"
#include "controls/TQThreePartButtonCell.h"
#include "controls/TQTriStateDropButton.h"
#include "controls/TQUISettings.h"
#include "model/GeneralACLPermissionAdapter.h"
#include "platform/ui/Drawing.h"
#include "platform/ui/GalleryRegistry.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/StringTable.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>

namespace tavrel {

namespace {

constexpr int kGap = 12;

QString text(const char* key)
{
    return StringTable::text(QString::fromLatin1(key));
}

QPixmap image(const char* name)
{
    return ImageRegistry::pixmap(QString::fromLatin1(name));
}

// A backdrop of a colour or an image that its children are placed on.
class Backdrop : public QWidget
{
public:
    explicit Backdrop(const QColor& color, QWidget* parent = nullptr) : QWidget(parent), m_color(color) {}
    QPixmap image;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        if (m_color.isValid())
            painter.fillRect(rect(), m_color);
        if (!image.isNull())
            ImageRegistry::draw(painter, ImageRegistry::nameOf(image), QRectF(rect()));
    }

private:
    QColor m_color;
};

// Widgets side by side, aligned on their middles, on an optional backdrop.
QWidget* strip(const QList<QWidget*>& widgets, const QColor& background = QColor(), int padding = 0)
{
    auto* holder = new Backdrop(background);
    int x = padding;
    int height = 0;
    for (QWidget* widget : widgets)
        height = qMax(height, widget->height());
    for (QWidget* widget : widgets) {
        widget->setParent(holder);
        widget->move(x, padding + (height - widget->height()) / 2);
        x += widget->width() + kGap;
    }
    holder->resize(x - kGap + padding, height + 2 * padding);
    return holder;
}

CellButton* host(std::shared_ptr<Cell> cell, const QSize& size)
{
    auto* button = new CellButton(std::move(cell));
    button->setFocusPolicy(Qt::NoFocus);
    button->resize(size);
    return button;
}

// The three states of a push button look.
template <typename Look>
QWidget* pushButtonStates(const QString& title, const QSize& size, bool bigger = false)
{
    QList<QWidget*> states;
    for (int state = 0; state < 3; ++state) {
        auto cell = std::make_shared<Look>(title);
        cell->setHighlighted(state == 1);
        CellButton* button = host(cell, bigger ? size + QSize(0, 6) : size);
        button->setEnabled(state != 2);
        states.append(button);
    }
    return strip(states);
}

// --- Bars ---

QList<GallerySample> bars()
{
    // The sidebar's mode buttons: a radio bar of switch cells on the dark strip.
    auto* sidebar = new TQRadioButtonbar;
    QList<QAbstractButton*> modes;
    const char* modeImages[] = {"mode_all_items", "mode_starred", "mode_contacts", "mode_collections",
                                "mode_trash"};
    const char* modeKeys[] = {"AllItemsBack", "AllFavoritesBack", "AllContactsBack", "AllCollectionsBack",
                              "TrashBack"};
    for (int i = 0; i < 5; ++i) {
        auto cell = std::make_shared<TQSwitchButtonCell>(QString::fromLatin1(modeKeys[i]));
        const QString name = QString::fromLatin1(modeImages[i]);
        cell->setOffImage(ImageRegistry::pixmap(name));
        cell->setOnImage(ImageRegistry::pixmap(name + QStringLiteral("_on")));
        cell->setHighlightImage(ImageRegistry::pixmap(name + QStringLiteral("_active")));
        modes.append(host(cell, QSize(40, 40)));
    }
    sidebar->setButtons(modes);
    sidebar->activateButtonAtIndex(1);
    static_cast<CellButton*>(modes[3])->cell()->setHighlighted(true);
    for (int i = 0; i < modes.size(); ++i)
        modes[i]->move(12, 12 + i * 48);
    sidebar->resize(64, 12 + 5 * 48 + 4);
    auto* dark = strip({sidebar}, Drawing::grey(0.14453125));

    // A filter bar of text buttons.
    auto* filters = new TQRadioButtonbar;
    filters->setBackgroundImage(image("filter_background"));
    QList<QAbstractButton*> texts;
    int x = 16;
    for (const char* key : {"AllContacts", "Favorites", "Groups"}) {
        auto cell = std::make_shared<TQHoverdTextButtonCell>(text(key));
        cell->setButtonType(BasicButtonCell::PushOnPushOffButton);
        cell->setBackgroundImage(image("filter_background_selected"));
        const int width = int(Drawing::ceilf(cell->cellSize().width())) + 24;
        CellButton* button = host(cell, QSize(width, 22));
        button->move(x, 6);
        x += width + 12;
        texts.append(button);
    }
    filters->setButtons(texts);
    static_cast<CellButton*>(texts[2])->cell()->setHovered(true);
    filters->resize(x + 4, 34);

    return {{QStringLiteral("Sidebar modes: on (Starred), pressed (Collections), off"), dark},
            {QStringLiteral("Filter bar: on (All Contacts), hovered (Groups), off"), filters}};
}

// --- Push buttons ---

QList<GallerySample> pushButtons()
{
    QList<GallerySample> samples{
        {QStringLiteral("Normal: regular, pressed, disabled"),
         pushButtonStates<TQNormalButtonCell>(text("Cancel"), QSize(96, 26))},
        {QStringLiteral("Default: regular, pressed, disabled"),
         pushButtonStates<TQDefaultButtonCell>(text("OK"), QSize(96, 26))},
        {QStringLiteral("Big default: regular, pressed, disabled"),
         pushButtonStates<TQBigDefaultButtonCell>(text("Continue"), QSize(120, 26), true)},
        {QStringLiteral("Flat: regular, pressed, disabled"),
         pushButtonStates<TQFlatButtonCell>(text("MoreDetail"), QSize(120, 24))},
    };

    QList<QWidget*> flat;
    for (int state = 0; state < 2; ++state) {
        auto cell = std::make_shared<TQFlatButtonCell>(text("Later"));
        cell->setNoShadow(true);
        cell->setHighlighted(state == 1);
        flat.append(host(cell, QSize(96, 24)));
    }
    samples.append({QStringLiteral("Flat without shadow: regular, pressed"), strip(flat)});

    QList<QWidget*> owners;
    for (int state = 0; state < 2; ++state) {
        auto cell = std::make_shared<TQOwnerButtonCell>(text("OWNER"));
        cell->setShouldUseInset(true);
        cell->setInsetButtonAttribute(2);
        cell->setHighlighted(state == 1);
        owners.append(host(cell, QSize(62, 20)));
    }
    samples.append({QStringLiteral("Owner badge: regular, pressed"), strip(owners)});

    QList<QWidget*> textButtons;
    for (int state = 0; state < 4; ++state) {
        auto cell = std::make_shared<TQHoverdTextButtonCell>(text("Favorites"));
        cell->setBackgroundImage(image("filter_background_selected"));
        cell->setHovered(state == 1);
        cell->setState(state >= 2 ? Cell::On : Cell::Off);
        cell->setHighlighted(state == 3);
        textButtons.append(host(cell, QSize(96, 22)));
    }
    samples.append({QStringLiteral("Filter text button: off, hovered, on, pressed"), strip(textButtons)});

    const auto arrow = [](std::shared_ptr<TQArrowButtonCell> cell, const char* part, bool pressed) {
        const QString base = QString::fromLatin1(part);
        QList<QPixmap> regular;
        QList<QPixmap> active;
        for (int i = 1; i <= 3; ++i) {
            regular.append(ImageRegistry::pixmap(QStringLiteral("%1_regular_%2").arg(base).arg(i)));
            active.append(ImageRegistry::pixmap(QStringLiteral("%1_active_%2").arg(base).arg(i)));
        }
        cell->setRegularBackgroundParts(regular);
        cell->setActiveBackgroundParts(active);
        cell->setHighlighted(pressed);
        return host(cell, cell->cellSize().toSize());
    };
    // A controller's title is the user's own text: the long one is a document's name.
    const QString documentTitle = QStringLiteral("Quarterly planning notes for the whole team");
    samples.append({QStringLiteral("Back button: regular, pressed, a long title truncated"),
                    strip({arrow(std::make_shared<TQArrowButtonCell>(text("AllItemsBack")), "nav", false),
                           arrow(std::make_shared<TQArrowButtonCell>(text("AllItemsBack")), "nav", true),
                           arrow(std::make_shared<TQArrowButtonCell>(documentTitle), "nav", false)})});
    samples.append({QStringLiteral("Floating title bar back button: regular, pressed, long title"),
                    strip({arrow(std::make_shared<TQThreePartButtonCell>(text("Back")), "back", false),
                           arrow(std::make_shared<TQThreePartButtonCell>(text("Back")), "back", true),
                           arrow(std::make_shared<TQThreePartButtonCell>(documentTitle), "back", false)})});
    return samples;
}

// --- Buttons inside rows ---

QList<GallerySample> rowButtons()
{
    QList<GallerySample> samples;

    QList<QWidget*> hover;
    for (int state = 0; state < 4; ++state) {
        auto cell = std::make_shared<TQHoverdButtonCell>();
        cell->setImagePosition(BasicButtonCell::ImageOnly);
        cell->setRegularImage(image("icon-viewer-regular"));
        cell->setHoverImage(image("icon-viewer-active"));
        cell->setHovered(state == 1);
        cell->setSelected(state == 2);
        CellButton* button = host(cell, QSize(24, 24));
        button->setEnabled(state != 3);
        hover.append(button);
    }
    samples.append({QStringLiteral("Hover button: regular, hovered, row selected, disabled"),
                    strip(hover, TQUISettings::rowBackgroundColor(), 8)});

    QList<QWidget*> badges;
    const std::pair<int, bool> badgeStates[] = {
        {TQStateItemCell::StateNew, false},         {TQStateItemCell::StateModified, false},
        {TQStateItemCell::StateFavoriteOff, false}, {TQStateItemCell::StateFavoriteOn, false},
        {TQStateItemCell::StateFavoriteOff, true},  {TQStateItemCell::StateFavoriteOn, true},
    };
    for (const auto& [itemState, hovered] : badgeStates) {
        auto cell = std::make_shared<TQStateItemCell>();
        cell->setItemState(itemState);
        cell->setHovered(hovered);
        badges.append(host(cell, QSize(16, 16)));
    }
    samples.append(
        {QStringLiteral("State badge: new, modified, not starred, starred, hovered off, hovered on"),
         strip(badges, TQUISettings::rowBackgroundColor(), 8)});

    QList<QWidget*> boxes;
    for (int state = 0; state < 3; ++state) {
        auto cell = std::make_shared<TQButtonCell>();
        cell->setImagePosition(BasicButtonCell::ImageOnly);
        cell->setHasShadow(true);
        cell->setImage(ImageRegistry::pixmap(QStringLiteral("user49"), QSizeF(32, 32)));
        cell->setHighlighted(state == 1);
        auto* box = new TQBoxButton(cell);
        box->setHiddenBackground(state == 2);
        box->resize(48, 48);
        boxes.append(box);
    }
    samples.append({QStringLiteral("Box button: on its tile, pressed with shadow, without tile"),
                    strip(boxes, TQUISettings::rowBackgroundColor(), 8)});
    return samples;
}

// --- Role and link buttons ---

QList<GallerySample> roleAndLinkButtons()
{
    QList<GallerySample> samples;
    QList<QWidget*> roles;
    for (int role : {0, -1, 1, 2}) {
        for (bool pressed : {false, true}) {
            auto cell = TQHoverdAdaptorButtonCell::permissionCellWithRole(role);
            cell->setHighlighted(pressed);
            roles.append(host(cell, QSize(20, 20)));
        }
    }
    samples.append({QStringLiteral("Role buttons, each regular then pressed: edit, comment, view, owner"),
                    strip(roles, TQUISettings::rowBackgroundColor(), 8)});

    QList<QWidget*> links;
    for (const auto& [type, withLink] : std::initializer_list<std::pair<const char*, bool>>{
             {"default", true}, {"default", false}, {"domain", true}, {"domain", false}}) {
        GeneralACLPermissionAdapter access(QStringLiteral("ana@example.org"));
        access.setType(QString::fromLatin1(type));
        access.setHasLink(withLink);
        for (bool pressed : {false, true}) {
            auto cell = TQHoverdAdaptorButtonCell::linkCellWithPermission(access);
            cell->setHighlighted(pressed);
            links.append(host(cell, QSize(20, 20)));
        }
    }
    samples.append({QStringLiteral("Link buttons, each regular then pressed: link, public, organisation with "
                                   "link, organisation"),
                    strip(links, TQUISettings::rowBackgroundColor(), 8)});

    QList<QWidget*> more;
    for (int state = 0; state < 3; ++state) {
        // The count of further people, a number and no text of ours.
        auto cell = std::make_shared<TQHoverdAdaptorButtonCell>(QStringLiteral("+3"));
        cell->setButtonType(BasicButtonCell::MomentaryChangeButton);
        cell->setFont(Drawing::font(12, QFont::Bold));
        cell->setShouldDrawBorder(true);
        cell->setRegularBackground(image("permission_bg_regular"));
        cell->setHoverBackground(image("permission_bg_hover"));
        cell->setHovered(state == 1);
        cell->setHighlighted(state == 2);
        more.append(host(cell, QSize(34, 28)));
    }
    samples.append({QStringLiteral("Bordered title button: regular, hovered, pressed"),
                    strip(more, TQUISettings::rowBackgroundColor(), 8)});

    QList<QWidget*> automatic;
    for (bool hovered : {false, true}) {
        auto cell = TQHoverdAdaptorButtonCell::permissionCellWithRole(0);
        cell->setAutoBorderOnHover(true);
        cell->setRegularBackground(image("permission_bg_regular"));
        cell->setHovered(hovered);
        automatic.append(host(cell, QSize(28, 28)));
    }
    samples.append({QStringLiteral("Border on hover: not hovered (faded), hovered"),
                    strip(automatic, TQUISettings::rowBackgroundColor(), 8)});
    return samples;
}

// --- Switch, picture and label cells ---

QList<GallerySample> switchAndLabelCells()
{
    QList<GallerySample> samples;
    QList<QWidget*> switches;
    for (int state = 0; state < 3; ++state) {
        auto cell = std::make_shared<TQSwitchButtonCell>(QStringLiteral("TrashBack"));
        cell->setOffImage(image("mode_trash"));
        cell->setOnImage(image("mode_trash_on"));
        cell->setHighlightImage(image("mode_trash_active"));
        cell->setState(state == 1 ? Cell::On : Cell::Off);
        cell->setHighlighted(state == 2);
        switches.append(host(cell, QSize(40, 40)));
    }
    samples.append(
        {QStringLiteral("Switch button: off, on, pressed"), strip(switches, Drawing::grey(0.14453125), 12)});

    QList<QWidget*> pictures;
    for (bool glow : {false, true}) {
        auto cell = std::make_shared<TQImageWellCell>();
        cell->setImage(image("user49"));
        cell->setHasGlow(glow);
        pictures.append(host(cell, QSize(49, 49)));
    }
    samples.append({QStringLiteral("Picture well: a generic picture on its white backing, with the glow"),
                    strip(pictures, Drawing::grey(0.859375), 12)});

    QList<QWidget*> holders;
    for (int state = 0; state < 3; ++state) {
        auto cell = std::make_shared<TQHoveredBackgroundButtonCell>(text("CanEdit"));
        cell->setFont(Drawing::font(12));
        cell->setRegularBackground(image("permission_bg_regular"));
        cell->setHoverBackground(image("permission_bg_hover"));
        cell->setHovered(state >= 1);
        cell->setHighlighted(state == 2);
        holders.append(host(cell, QSize(110, 24)));
    }
    samples.append(
        {QStringLiteral("Hover background: regular, hovered, hovered while pressed"), strip(holders)});

    QList<QWidget*> dashed;
    for (bool pressed : {false, true}) {
        auto cell = std::make_shared<TQDashBorderedCell>(text("NewContact"));
        cell->setImage(image("add_contact"));
        cell->setAlternateImage(image("add_contact_active"));
        cell->setHighlighted(pressed);
        dashed.append(host(cell, QSize(140, 100)));
    }
    samples.append({QStringLiteral("Dash-bordered cell: regular, pressed"), strip(dashed)});

    auto label = std::make_shared<TQShadowedLabelCell>(text("shared with me"));
    label->setTextColor(Qt::white);
    label->setFont(Drawing::font(13, QFont::Bold));
    samples.append({QStringLiteral("Shadowed label on a dark band"),
                    strip({host(label, QSize(160, 24))}, Drawing::grey(0.35), 10)});
    return samples;
}

// --- Tri-state, drop and double-action buttons ---

QList<GallerySample> triStateButtons()
{
    QList<GallerySample> samples;
    QList<QWidget*> closes;
    for (const char* name : {"close_regular", "close_hover", "close_active"}) {
        auto* button = new TQTriStateButton;
        button->setNormalImage(image(name));
        button->resize(12, 12);
        closes.append(button);
    }
    samples.append({QStringLiteral("Close button: normal, hovered, pressed"), strip(closes, QColor(), 4)});

    QList<QWidget*> removes;
    for (int state = 0; state < 3; ++state) {
        auto* button = new TQRemoveItemButton;
        button->setImage(state == 1 ? button->hoverImage() : button->normalImage());
        button->cell()->setHighlighted(state == 2);
        button->resize(16, 16);
        removes.append(button);
    }
    samples.append({QStringLiteral("Remove button: normal, hovered, pressed"),
                    strip(removes, TQUISettings::rowBackgroundColor(), 8)});

    QList<QWidget*> drops;
    for (bool dragging : {false, true}) {
        auto cell = std::make_shared<TQSwitchButtonCell>(QStringLiteral("TrashBack"));
        cell->setOffImage(image("mode_trash"));
        cell->setOnImage(image("mode_trash_on"));
        auto* button = new TQTriStateDropButton(cell);
        button->setDroppable(true);
        button->awakeFromNib();
        button->resize(40, 40);
        if (dragging) {
            // A drag of files resting on it: the button shows its drop frame.
            auto* data = new QMimeData;
            data->setParent(button);
            data->setUrls({QUrl::fromLocalFile(QStringLiteral("/home/ana/report.pdf"))});
            QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(button, &enter);
        }
        drops.append(button);
    }
    samples.append({QStringLiteral("Drop button: idle, a drag of files over it"),
                    strip(drops, Drawing::grey(0.14453125), 12)});

    auto link = std::make_shared<BasicButtonCell>();
    link->setBordered(false);
    link->setAttributedTitle({text("OpenGoogleDocs"), Drawing::font(12),
                              QColor::fromRgbF(0.28515625f, 0.56640625f, 0.8046875f), Qt::AlignLeft});
    auto* doubleAction = new TQDoubleActionButton(link);
    doubleAction->resize(doubleAction->sizeHint() + QSize(4, 6));
    samples.append({QStringLiteral("Double-action link button"),
                    strip({doubleAction}, TQUISettings::rowBackgroundColor(), 8)});
    return samples;
}

// --- Pop-ups ---

QMenu* linkModeMenu(QObject* owner)
{
    auto* menu = new QMenu;
    QObject::connect(owner, &QObject::destroyed, menu, &QObject::deleteLater);
    const std::pair<const char*, const char*> modes[] = {
        {"AnyoneWithLink", "icon_link_regular"},
        {"PublicOnWeb", "icon_public_regular"},
        {"DomainWithLink", "icon_domain_link_regular"},
        {"AnyoneOnDomain", "icon_domain_regular"},
    };
    for (const auto& [key, icon] : modes)
        menu->addAction(ImageRegistry::icon(QString::fromLatin1(icon)), text(key));
    return menu;
}

QMenu* roleMenu(QObject* owner, bool withTitleItem)
{
    auto* menu = new QMenu;
    QObject::connect(owner, &QObject::destroyed, menu, &QObject::deleteLater);
    if (withTitleItem)
        menu->addAction(text("CanEdit"));
    const std::pair<const char*, const char*> roles[] = {
        {"CanEdit", "icon-edit-regular"},
        {"CanComment", "icon-comment-regular"},
        {"CanView", "icon-viewer-regular"},
    };
    for (const auto& [key, icon] : roles)
        menu->addAction(ImageRegistry::icon(QString::fromLatin1(icon)), text(key));
    return menu;
}

QList<GallerySample> popUps()
{
    QList<GallerySample> samples;
    QList<QWidget*> inverted;
    for (int state = 0; state < 3; ++state) {
        auto cell = std::make_shared<TQInvertedPopupCell>();
        cell->setRegularBackground(image("popup_dark_regular"));
        cell->setHoverBackground(image("popup_dark_hover"));
        auto* button = new TQHoveredPopupButton(cell);
        button->setMenu(linkModeMenu(button));
        cell->setHighlighted(state == 2);
        if (state == 1) {
            QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
            QApplication::sendEvent(button, &enter);
        }
        button->resize(240, 28);
        inverted.append(button);
    }
    samples.append({QStringLiteral("Inverted pop-up: regular, hovered, menu open"), strip(inverted)});

    QList<QWidget*> pulldowns;
    for (int state = 0; state < 3; ++state) {
        auto cell = std::make_shared<TQNormalPulldownCell>();
        auto* button = new BasicPopUpButton(cell);
        QMenu* menu = roleMenu(button, true);
        if (state == 2) {
            // An empty title item with an image: the standard interior shows the image.
            menu->actions().first()->setText(QString());
            menu->actions().first()->setIcon(ImageRegistry::icon(QStringLiteral("icon-edit-regular")));
        }
        button->setMenu(menu);
        cell->setHighlighted(state == 1);
        button->resize(state == 2 ? 44 : 110, 26);
        pulldowns.append(button);
    }
    samples.append({QStringLiteral("Pull-down: regular, pressed, image only"), strip(pulldowns)});

    QList<QWidget*> popups;
    for (bool fixed : {false, true}) {
        auto cell = std::make_shared<TQPopUpButtonCell>();
        auto* button = new BasicPopUpButton(cell);
        button->setMenu(roleMenu(button, false));
        cell->selectItemAtIndex(2);
        if (fixed)
            cell->setFixedTitle(text("SortSharings"));
        button->resize(130, 24);
        popups.append(button);
    }
    samples.append({QStringLiteral("Pop-up: the chosen item, a fixed title"), strip(popups)});

    QList<QWidget*> holders;
    for (int state = 0; state < 3; ++state) {
        auto* holder = new TQHoveredPopupHolder;
        holder->hoverCell()->setTitle(text("CanView"));
        holder->hoverCell()->setFont(Drawing::font(12));
        holder->hoverCell()->setHovered(state == 1);
        holder->hoverCell()->setHighlighted(state == 2);
        holder->resize(110, 24);
        holders.append(holder);
    }
    samples.append({QStringLiteral("Pop-up holder: regular, hovered, its menu open"), strip(holders)});

    // A role menu with the second item about to be highlighted: its image turns white.
    auto* menu = new QMenu;
    QList<TQInvertableMenuItem*> items;
    const std::pair<const char*, const char*> roles[] = {
        {"CanEdit", "icon-edit-regular"},
        {"CanComment", "icon-comment-regular"},
        {"CanView", "icon-viewer-regular"},
    };
    for (const auto& [key, icon] : roles) {
        auto* item = new TQInvertableMenuItem(text(key), menu);
        item->setImageName(QString::fromLatin1(icon));
        menu->addAction(item);
        items.append(item);
    }
    for (TQInvertableMenuItem* item : items)
        item->setPreparingHighlight(false);
    items[1]->setPreparingHighlight(true);
    menu->setActiveAction(items[1]);
    samples.append({QStringLiteral("Menu of invertable items, the second highlighted"), menu});
    return samples;
}

// --- The palette and the shadowed cell ---

class Swatch : public QWidget
{
public:
    explicit Swatch(const QColor& color) : m_color(color) { resize(72, 40); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(0, 0, 0, 40), 1));
        painter.setBrush(m_color);
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
    }

private:
    QColor m_color;
};

// Rows of a list whose cells draw a border, a shadow band or both under themselves.
class ShadowedRows : public QWidget
{
    // Documents of the user's own.
    inline static const QString kDocuments[] = {QStringLiteral("Quarterly report"),
                                                QStringLiteral("Team offsite plan"),
                                                QStringLiteral("Budget 2024")};

public:
    ShadowedRows() { resize(320, 3 * 48 + 3 * 10); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        struct HostOf : CellHost
        {
            QWidget* widget;
            QWidget* hostWidget() const override { return widget; }
        } cellHost;
        cellHost.widget = this;
        for (int row = 0; row < 3; ++row) {
            const QRectF frame(0, row * 58, width(), 48);
            painter.fillRect(frame, TQUISettings::rowBackgroundColor());
            ImageRegistry::draw(painter, QStringLiteral("generic_document"),
                                QRectF(12, frame.y() + 8, 32, 32));
            Drawing::drawText(painter, QRectF(54, frame.y() + 7, width() - 66, 18), kDocuments[row],
                              Drawing::font(13, QFont::Bold), TQUISettings::rowTitleTextColor());
            Drawing::drawText(painter, QRectF(54, frame.y() + 25, width() - 66, 16),
                              StringTable::format(QStringLiteral("FileModifiedBy"),
                                                  StringTable::text(QStringLiteral("OnlyME"))),
                              Drawing::font(11), TQUISettings::rowSubtitleTextColor());
            TQShadowedCell cell;
            cell.setShouldDrawBorder(row != 1);
            cell.setShouldDrawShadow(row != 0);
            cell.paint(painter, frame, cellHost);
        }
    }
};

QList<GallerySample> palette()
{
    const std::pair<const char*, const QColor& (*)()> colors[] = {
        {"Row title", &TQUISettings::rowTitleTextColor},
        {"Row subtitle", &TQUISettings::rowSubtitleTextColor},
        {"State button title, on", &TQUISettings::stateOnButtonTitleTextColor},
        {"State button title, off", &TQUISettings::stateOffButtonTitleTextColor},
        {"Row background", &TQUISettings::rowBackgroundColor},
        {"Selected row background", &TQUISettings::selectedRowBackgroundColor},
        {"Grid", &TQUISettings::gridBackgroundColor},
        {"Grid by a selected row", &TQUISettings::selectedGridBackgroundColor},
        {"Selected icon background", &TQUISettings::selectedIconBackgroundColor},
        {"Selected icon border", &TQUISettings::selectedIconBorderColor},
    };
    QList<GallerySample> samples;
    for (const auto& [caption, color] : colors)
        samples.append({QString::fromLatin1(caption), new Swatch(color())});
    samples.append(
        {QStringLiteral("Shadowed cells under list rows: border, shadow band, both"), new ShadowedRows});
    return samples;
}

} // namespace

TAVREL_GALLERY_PAGE("button-bars", "Button bars", bars)
TAVREL_GALLERY_PAGE("push-buttons", "Push buttons", pushButtons)
TAVREL_GALLERY_PAGE("row-buttons", "Buttons inside rows", rowButtons)
TAVREL_GALLERY_PAGE("role-and-link-buttons", "Role and link buttons", roleAndLinkButtons)
TAVREL_GALLERY_PAGE("switch-picture-and-label-cells", "Switch, picture and label cells", switchAndLabelCells)
TAVREL_GALLERY_PAGE("tri-state-buttons", "Tri-state, drop and double-action buttons", triStateButtons)
TAVREL_GALLERY_PAGE("pop-ups", "Pop-up buttons, holder and menu items", popUps)
TAVREL_GALLERY_PAGE("list-palette", "The lists' palette and the shadowed cell", palette)

} // namespace tavrel
