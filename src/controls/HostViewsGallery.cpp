// Gallery pages of the container views, the tracking text field, the text view and the image view.

#include "controls/TQGradientView.h"
#include "controls/TQHighlightHostView.h"
#include "controls/TQHostView.h"
#include "controls/TQImageView.h"
#include "controls/TQShadowedBox.h"
#include "controls/TQTextView.h"
#include "controls/TQTrackingTextField.h"
#include "platform/ui/Drawing.h"
#include "platform/ui/GalleryRegistry.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/StringTable.h"

#include <QLinearGradient>
#include <QPainter>
#include <QVBoxLayout>

namespace tavrel {

namespace {

const QSize kTile(260, 72);

QList<GallerySample> hostViews()
{
    QList<GallerySample> samples;

    auto* colour = new TQHostView;
    colour->setBackgroundColor(QColor(0xF2, 0xF2, 0xF2));
    colour->resize(kTile);
    samples.append({QStringLiteral("Colour only"), colour});

    auto* white = new TQHostView;
    white->resize(kTile);
    samples.append({QStringLiteral("Nothing set: white"), white});

    auto* fitted = new TQHostView;
    fitted->setBackgroundColor(QColor(0xFC, 0xFC, 0xFC));
    fitted->setBackgroundImage(ImageRegistry::pixmap(QStringLiteral("tavrel"), QSizeF(128, 128)));
    fitted->setDrawProportionally(true);
    fitted->setBorder(QSizeF(8, 8));
    fitted->resize(kTile);
    samples.append({QStringLiteral("Image fitted and centred, border 8"), fitted});

    auto* stretched = new TQHostView;
    stretched->setBackgroundColor(QColor(0xFC, 0xFC, 0xFC));
    stretched->setBackgroundImage(ImageRegistry::pixmap(QStringLiteral("title_background"), QSizeF(32, 29)));
    stretched->setBorder(QSizeF(12, 16));
    stretched->resize(kTile);
    samples.append({QStringLiteral("Image stretched inside a border"), stretched});

    auto* highlight = new TQHighlightHostView;
    highlight->setHighlightDrag(true);
    highlight->resize(kTile);
    samples.append({QStringLiteral("Highlight host view, a list framing a drop"), highlight});

    auto* gradient = new TQGradientView;
    gradient->setStartColor(QColor(0xDC, 0xDC, 0xDC));
    gradient->setEndColor(QColor(0xFC, 0xFC, 0xFC));
    gradient->resize(kTile);
    samples.append({QStringLiteral("Gradient view, 90 degrees"), gradient});

    // A shadowed box under a header strip, as between a filter bar and its list.
    auto* strip = new QWidget;
    auto* layout = new QVBoxLayout(strip);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* header = new TQHostView;
    header->setBackgroundColor(QColor(0xF2, 0xF2, 0xF2));
    header->setFixedHeight(28);
    auto* box = new TQShadowedBox;
    box->setFixedHeight(44);
    box->setAutoFillBackground(true);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Window, Qt::white);
    box->setPalette(palette);
    layout->addWidget(header);
    layout->addWidget(box);
    strip->resize(kTile);
    samples.append({QStringLiteral("Shadowed box below a header"), strip});
    return samples;
}

// A person's picture of our own drawing: a soft gradient with initials.
QPixmap samplePhoto(const QString& initials, const QColor& from, const QColor& to)
{
    QPixmap photo(QSize(136, 136));
    photo.setDevicePixelRatio(2);
    QPainter painter(&photo);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient gradient(0, 0, 0, 68);
    gradient.setColorAt(0, from);
    gradient.setColorAt(1, to);
    painter.fillRect(QRectF(0, 0, 68, 68), gradient);
    Drawing::drawText(painter, QRectF(0, 0, 68, 68), initials, Drawing::font(26, QFont::DemiBold), Qt::white,
                      Qt::AlignCenter);
    return photo;
}

QList<GallerySample> textAndImages()
{
    QList<GallerySample> samples;
    const auto field = [&](const QString& caption,
                           const std::function<void(TQTrackingTextField&)>& configure) {
        auto* tile = new QWidget;
        tile->resize(240, 28);
        auto* text = new TQTrackingTextField(QStringLiteral("Ana Kowalski"), tile);
        text->setEditable(false);
        text->setFont(Drawing::font(13, QFont::Bold));
        text->setGeometry(0, 2, 240, 24);
        configure(*text);
        samples.append({caption, tile});
    };
    field(QStringLiteral("Tracking text field: a link"), [](TQTrackingTextField&) {});
    field(QStringLiteral("The mouse over its text"),
          [](TQTrackingTextField& f) { f.cell()->setHovered(true); });
    field(QStringLiteral("Disabled"), [](TQTrackingTextField& f) { f.setEnabled(false); });
    field(QStringLiteral("Editable"), [](TQTrackingTextField& f) {
        f.setEditable(true);
        f.setFont(Drawing::font(13));
    });

    auto* text = new TQTextView;
    text->setPlainText(
        StringTable::text(QStringLiteral("UnsavedAlertMessage")) + QStringLiteral("\n\n") +
        StringTable::format(QStringLiteral("ChangeOwnerMessage"), QStringLiteral("Ana Kowalski")));
    text->setFrameShape(QFrame::NoFrame);
    text->resize(300, 110);
    samples.append({QStringLiteral("Text view: read-only text, arrow cursor, no caret"), text});

    const QPixmap photo =
        samplePhoto(QStringLiteral("AK"), QColor(0x8D, 0xB4, 0xE0), QColor(0x26, 0x5F, 0x99));
    const auto image = [&](const QString& caption, bool rounded, bool bordered, bool withImage) {
        auto* tile = new QWidget;
        tile->resize(84, 84);
        auto* view = new TQImageView(tile);
        view->setGeometry(8, 8, 68, 68);
        if (withImage)
            view->setImage(photo);
        view->setRounded(rounded);
        view->setBordered(bordered);
        samples.append({caption, tile});
    };
    image(QStringLiteral("Image view"), false, false, true);
    image(QStringLiteral("Rounded"), true, false, true);
    image(QStringLiteral("Rounded with its rim"), true, true, true);
    image(QStringLiteral("Rim, not rounded"), false, true, true);
    image(QStringLiteral("No image"), true, true, false);

    auto* wide = new QWidget;
    wide->resize(152, 84);
    auto* distorted = new TQImageView(wide);
    distorted->setGeometry(8, 8, 136, 68);
    distorted->setImage(photo);
    distorted->setRounded(true);
    samples.append({QStringLiteral("Stretched to another shape"), wide});
    return samples;
}

} // namespace

TAVREL_GALLERY_PAGE("host-views", "Host views, gradient view, shadowed box", hostViews)
TAVREL_GALLERY_PAGE("text-fields-and-images", "Tracking text field, text view, image view", textAndImages)

} // namespace tavrel
