// Gallery page of the floating window: attached on each side, free-standing, in each size, detached,
// and with its drawer out, each over a piece of the window it belongs to.

#include "controls/TQFloatingWindow.h"
#include "controls/TQShadowedDivider.h"
#include "platform/ui/Drawing.h"
#include "platform/ui/GalleryRegistry.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/StringTable.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace tavrel {

namespace {

const QColor kInk(0x3F, 0x3F, 0x3F);
const QColor kSecondary(0xA5, 0xA5, 0xA5);
const QColor kAccent(0x26, 0x5F, 0x99);

struct Row
{
    QString title;
    QString file;
};
const QList<Row> kRows{{QStringLiteral("Quarterly report"), QStringLiteral("report.pdf")},
                       {QStringLiteral("Team offsite plan"), QStringLiteral("plan.odt")},
                       {QStringLiteral("Budget 2024"), QStringLiteral("budget.xlsx")},
                       {QStringLiteral("Launch slides"), QStringLiteral("slides.odp")},
                       {QStringLiteral("Reading list"), QStringLiteral("list.txt")},
                       {QStringLiteral("Photos from Lisbon"), QStringLiteral("photo.jpg")}};

// A piece of the main window behind the popover: a document list with the row it points at selected.
class ListBackdrop : public QWidget
{
public:
    ListBackdrop(const QRect& list, int selectedRow, QWidget* parent) : QWidget(parent), m_list(list)
    {
        m_selected = selectedRow;
    }
    static constexpr int kRowHeight = 48;
    QRect rowRect(int row) const
    {
        return {m_list.x(), m_list.y() + row * kRowHeight, m_list.width(), kRowHeight};
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillRect(rect(), QColor(0xF2, 0xF2, 0xF2));
        painter.fillRect(m_list, QColor(0xFC, 0xFC, 0xFC));
        for (int i = 0; i < kRows.size(); ++i) {
            const QRect row = rowRect(i);
            if (row.top() >= m_list.bottom())
                break;
            if (i == m_selected)
                painter.fillRect(row, QColor(0xDC, 0xE8, 0xF6));
            painter.fillRect(QRect(row.x(), row.bottom(), row.width(), 1), QColor(0xE9, 0xE9, 0xE9));
            painter.drawPixmap(QRect(row.x() + 10, row.y() + 8, 32, 32),
                               ImageRegistry::fileTypeIcon(kRows[i].file).pixmap(32, 32));
            Drawing::drawText(painter, QRectF(row.x() + 52, row.y() + 7, row.width() - 60, 18),
                              kRows[i].title, Drawing::font(13, QFont::Bold), kInk);
            Drawing::drawText(painter, QRectF(row.x() + 52, row.y() + 25, row.width() - 60, 16),
                              StringTable::format(QStringLiteral("FileModifiedBy"),
                                                  StringTable::text(QStringLiteral("OnlyME"))),
                              Drawing::font(11), kSecondary);
        }
        painter.setPen(QColor(0xDC, 0xDC, 0xDC));
        painter.drawRect(QRectF(m_list).adjusted(-0.5, -0.5, 0.5, 0.5));
    }

private:
    QRect m_list;
    int m_selected = -1;
};

QLabel* label(const QString& text, qreal size, QFont::Weight weight, const QColor& color)
{
    auto* made = new QLabel(text);
    made->setFont(Drawing::font(size, weight));
    QPalette palette = made->palette();
    palette.setColor(QPalette::WindowText, color);
    made->setPalette(palette);
    return made;
}

// One person with a role, right aligned.
QWidget* personRow(const QString& name, const QString& role)
{
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(label(name, 12, QFont::Normal, kInk));
    layout->addStretch();
    layout->addWidget(label(role, 12, QFont::Normal, kAccent));
    return row;
}

// The content of the share popover for one document.
QWidget* shareContent()
{
    auto* content = new QWidget;
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(14, 10, 14, 12);
    layout->setSpacing(8);
    auto* header = new QHBoxLayout;
    auto* icon = new QLabel;
    icon->setPixmap(ImageRegistry::fileTypeIcon(QStringLiteral("report.pdf")).pixmap(32, 32));
    header->addWidget(icon);
    auto* titles = new QVBoxLayout;
    titles->setSpacing(0);
    titles->addWidget(label(kRows[0].title, 13, QFont::Bold, kInk));
    titles->addWidget(
        label(StringTable::format(QStringLiteral("SharedWith_"), QStringLiteral("Ana Kowalski")), 11,
              QFont::Normal, kSecondary));
    header->addLayout(titles, 1);
    layout->addLayout(header);
    auto* line = new QFrame;
    line->setFrameShape(QFrame::HLine);
    line->setStyleSheet(QStringLiteral("color: #E9E9E9;"));
    layout->addWidget(line);
    layout->addWidget(personRow(StringTable::text(QStringLiteral("AnyoneWithLink")),
                                StringTable::text(QStringLiteral("CanView"))));
    layout->addWidget(
        personRow(QStringLiteral("Ana Kowalski"), StringTable::text(QStringLiteral("CanEdit"))));
    layout->addWidget(
        personRow(QStringLiteral("Luis Ortega"), StringTable::text(QStringLiteral("CanComment"))));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(new QPushButton(StringTable::text(QStringLiteral("MenuCopyLink"))));
    layout->addLayout(buttons);
    return content;
}

// The quick permission popover of one person: the roles to choose from.
QWidget* roleContent()
{
    auto* content = new QWidget;
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(12, 6, 12, 8);
    layout->setSpacing(4);
    for (const char* key : {"CanEdit", "CanComment", "CanView"}) {
        const bool chosen = QLatin1String(key) == QLatin1String("CanEdit");
        layout->addWidget(label((chosen ? QStringLiteral("✓  ") : QStringLiteral("    ")) +
                                    StringTable::text(QString::fromLatin1(key)),
                                12, chosen ? QFont::DemiBold : QFont::Normal, chosen ? kAccent : kInk));
    }
    return content;
}

// A floating window of the content, title and arrow, laid into the scene with its tip on the point.
TQFloatingWindow* placeWindow(QWidget* scene, QWidget* content, const QString& title, int arrow,
                              const QPoint& tip, int windowSize = 0)
{
    const QSize size = content->sizeHint();
    auto* window = new TQFloatingWindow(QRect(QPoint(), size), title, arrow);
    // Drawn inside the scene, where a desktop would show it over its parent.
    window->setParent(scene, Qt::Widget);
    window->setWindowSize(windowSize);
    window->setContentView(content);
    window->setFrameOrigin(window->frameOriginForPoint(tip, false));
    return window;
}

QWidget* scene(const QSize& size)
{
    auto* made = new QWidget;
    made->resize(size);
    return made;
}

QList<GallerySample> floatingWindows()
{
    QList<GallerySample> samples;
    const QString share = StringTable::text(QStringLiteral("WindowShareWith"));

    {
        auto* left = scene(QSize(600, 320));
        auto* list = new ListBackdrop(QRect(16, 16, 250, 288), 1, left);
        list->resize(left->size());
        const QRect row = list->rowRect(1);
        auto* window =
            placeWindow(left, shareContent(), share, -1, QPoint(row.right() + 4, row.center().y()));
        window->setHasCloseButton(true);
        samples.append({QStringLiteral("Arrow on the left: attached to the right of a row"), left});
    }
    {
        auto* right = scene(QSize(600, 320));
        auto* list = new ListBackdrop(QRect(334, 16, 250, 288), 2, right);
        list->resize(right->size());
        const QRect row = list->rowRect(2);
        auto* window = placeWindow(right, shareContent(), share, 1, QPoint(row.left() - 4, row.center().y()));
        window->setHasCloseButton(true);
        samples.append({QStringLiteral("Arrow on the right: flipped at the screen's right edge"), right});
    }
    {
        auto* bottom = scene(QSize(420, 330));
        auto* list = new ListBackdrop(QRect(16, 246, 388, 68), 0, bottom);
        list->resize(bottom->size());
        placeWindow(bottom, shareContent(), QString(), 2, QPoint(210, 240));
        samples.append({QStringLiteral("Arrow at the bottom, no title band"), bottom});
    }
    {
        auto* free = scene(QSize(420, 300));
        auto* list = new ListBackdrop(QRect(16, 16, 388, 268), -1, free);
        list->resize(free->size());
        auto* window = placeWindow(free, shareContent(), share, 0, QPoint(50, 38));
        window->setHasCloseButton(true);
        samples.append({QStringLiteral("Free-standing, with its close button"), free});
    }
    {
        auto* detached = scene(QSize(600, 320));
        auto* list = new ListBackdrop(QRect(16, 16, 250, 288), -1, detached);
        list->resize(detached->size());
        const QRect row = list->rowRect(1);
        auto* window =
            placeWindow(detached, shareContent(), share, -1, QPoint(row.right() + 4, row.center().y()));
        window->setHasCloseButton(true);
        window->frameView()->setShouldHidePointer(true);
        samples.append({QStringLiteral("Detached: the parent moved, the arrow is gone"), detached});
    }
    {
        auto* drawer = scene(QSize(420, 400));
        auto* list = new ListBackdrop(QRect(16, 16, 388, 368), -1, drawer);
        list->resize(drawer->size());
        auto* window = placeWindow(drawer, shareContent(), share, 0, QPoint(50, 30));
        window->setHasCloseButton(true);
        window->makeDrawerVisible(true, nullptr);
        auto* message = new QLineEdit;
        message->setPlaceholderText(StringTable::text(QStringLiteral("ShareWithOptionalMessage")));
        auto* holder = new QWidget;
        auto* holderLayout = new QVBoxLayout(holder);
        holderLayout->setContentsMargins(12, 14, 12, 14);
        holderLayout->addWidget(message);
        window->setDrawerContentView(holder);
        samples.append({QStringLiteral("Drawer out below the content"), drawer});
    }
    {
        auto* medium = scene(QSize(420, 220));
        auto* list = new ListBackdrop(QRect(16, 60, 200, 144), 0, medium);
        list->resize(medium->size());
        const QRect row = list->rowRect(0);
        placeWindow(medium, roleContent(), QStringLiteral("Ana Kowalski"), -1,
                    QPoint(row.right() + 2, row.center().y()), 2);
        samples.append({QStringLiteral("Medium size: a quick permission popover"), medium});
    }
    {
        auto* small = scene(QSize(260, 110));
        auto* list = new ListBackdrop(QRect(16, 70, 228, 24), -1, small);
        list->resize(small->size());
        auto* text = label(StringTable::text(QStringLiteral("CanComment")), 11, QFont::Normal, Qt::white);
        text->setContentsMargins(8, 3, 8, 3);
        auto* window = placeWindow(small, text, QString(), 2, QPoint(130, 66), 1);
        window->setFrameBackgroundColor(QColor(0x3F, 0x3F, 0x3F));
        samples.append({QStringLiteral("Small size: a floating label"), small});
    }
    return samples;
}

} // namespace

TAVREL_GALLERY_PAGE("floating-windows", "Floating windows", floatingWindows)

} // namespace tavrel
