#include "controls/DocumentPreviewView.h"

#include "controls/SpinningIndicator.h"
#include "controls/TQBytesToReadableStringTransformer.h"
#include "platform/ui/Drawing.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/StringTable.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QMimeDatabase>
#include <QPainter>
#include <QPdfDocument>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedLayout>
#include <QStyle>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace tavrel {

namespace {

// Larger text files are shown up to here: a preview, not an editor.
constexpr qint64 kMaximumTextBytes = 2 * 1024 * 1024;
// PDF pages drawn at most; the rest is the application's job.
constexpr int kMaximumPdfPages = 30;
constexpr int kPageGap = 12;

QLabel* messageLabel(QWidget* parent, qreal points, QFont::Weight weight = QFont::Normal)
{
    auto* label = new QLabel(parent);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    label->setFont(Drawing::font(points, weight));
    label->setTextInteractionFlags(Qt::NoTextInteraction);
    return label;
}

} // namespace

DocumentPreviewView::Page DocumentPreviewView::pageForFile(const QString& path)
{
    const QMimeType type = QMimeDatabase().mimeTypeForFile(path);
    if (type.inherits(QStringLiteral("application/pdf")))
        return Page::Pdf;
    if (type.inherits(QStringLiteral("text/html")))
        return Page::Html;
    if (type.name().startsWith(QLatin1String("image/")) &&
        QImageReader::supportedMimeTypes().contains(type.name().toLatin1()))
        return Page::Image;
    if (type.inherits(QStringLiteral("text/plain")))
        return Page::Text;
    return Page::Card;
}

DocumentPreviewView::DocumentPreviewView(QWidget* parent) : QWidget(parent)
{
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Drawing::grey(0.93));
    setPalette(colours);
    m_stack = new QStackedLayout(this);
    m_stack->setContentsMargins(0, 0, 0, 0);
    m_stack->addWidget(new QWidget(this)); // empty

    m_pdfArea = new QScrollArea(this);
    m_pdfArea->setObjectName(QStringLiteral("pdfPages"));
    m_pdfArea->setFrameShape(QFrame::NoFrame);
    m_pdfArea->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_pdfArea->setBackgroundRole(QPalette::Dark);
    m_pdfArea->setWidgetResizable(false);
    m_stack->addWidget(m_pdfArea);

    m_imageLabel = new QLabel(this);
    m_imageLabel->setObjectName(QStringLiteral("image"));
    m_imageLabel->setAlignment(Qt::AlignCenter);
    m_stack->addWidget(m_imageLabel);

    m_text = new QTextBrowser(this);
    m_text->setObjectName(QStringLiteral("text"));
    m_text->setFrameShape(QFrame::NoFrame);
    // A preview never follows links out of the page: the generated pages link nothing that matters.
    m_text->setOpenLinks(false);
    m_text->setOpenExternalLinks(false);
    m_stack->addWidget(m_text);

    m_loading = new QWidget(this);
    m_loading->setObjectName(QStringLiteral("loadingPage"));
    auto* loadingLayout = new QVBoxLayout(m_loading);
    loadingLayout->addStretch();
    m_spinner = new SpinningIndicator(m_loading);
    m_spinner->setFixedSize(32, 32);
    loadingLayout->addWidget(m_spinner, 0, Qt::AlignHCenter);
    m_loadingLabel = messageLabel(m_loading, 13);
    loadingLayout->addWidget(m_loadingLabel);
    loadingLayout->addStretch();
    m_stack->addWidget(m_loading);

    m_errorPage = new QWidget(this);
    m_errorPage->setObjectName(QStringLiteral("errorPage"));
    auto* errorLayout = new QVBoxLayout(m_errorPage);
    errorLayout->addStretch();
    auto* errorIcon = new QLabel(m_errorPage);
    errorIcon->setPixmap(ImageRegistry::themeIcon(QStringLiteral("dialog-warning")).pixmap(48, 48));
    errorIcon->setAlignment(Qt::AlignCenter);
    errorLayout->addWidget(errorIcon);
    m_errorLabel = messageLabel(m_errorPage, 13);
    errorLayout->addWidget(m_errorLabel);
    errorLayout->addStretch();
    m_stack->addWidget(m_errorPage);

    m_card = new QWidget(this);
    m_card->setObjectName(QStringLiteral("card"));
    auto* cardLayout = new QVBoxLayout(m_card);
    cardLayout->addStretch();
    m_cardIcon = new QLabel(m_card);
    m_cardIcon->setAlignment(Qt::AlignCenter);
    cardLayout->addWidget(m_cardIcon);
    m_cardTitle = messageLabel(m_card, 15, QFont::DemiBold);
    cardLayout->addWidget(m_cardTitle);
    m_cardSize = messageLabel(m_card, 12);
    m_cardSize->setForegroundRole(QPalette::PlaceholderText);
    cardLayout->addWidget(m_cardSize);
    m_openButton = new QPushButton(StringTable::text(QStringLiteral("PreviewOpen")), m_card);
    m_openButton->setObjectName(QStringLiteral("openButton"));
    cardLayout->addSpacing(8);
    cardLayout->addWidget(m_openButton, 0, Qt::AlignHCenter);
    cardLayout->addStretch();
    connect(m_openButton, &QPushButton::clicked, this, [this] {
        if (m_open)
            m_open();
    });
    m_stack->addWidget(m_card);
}

DocumentPreviewView::~DocumentPreviewView()
{
    delete m_image;
}

bool DocumentPreviewView::isSpinning() const
{
    return m_page == Page::Loading && m_spinner->isAnimating();
}

void DocumentPreviewView::showPage(Page page)
{
    m_page = page;
    if (page != Page::Loading)
        m_spinner->stopAnimation();
    // The stacked pages, in the order they were added; HTML shares the text page.
    static const QList<Page> order = {Page::Empty,   Page::Pdf,   Page::Image, Page::Text,
                                      Page::Loading, Page::Error, Page::Card};
    m_stack->setCurrentIndex(int(order.indexOf(page == Page::Html ? Page::Text : page)));
}

void DocumentPreviewView::clear()
{
    m_title.clear();
    m_path.clear();
    showPage(Page::Empty);
}

void DocumentPreviewView::showLoading(const QString& title)
{
    m_title = title;
    m_path.clear();
    m_loadingLabel->setText(StringTable::format(QStringLiteral("Loading %@"), title));
    showPage(Page::Loading);
    m_spinner->startAnimation();
}

void DocumentPreviewView::showError(const QString& title)
{
    m_title = title;
    m_path.clear();
    m_errorLabel->setText(StringTable::format(QStringLiteral("PreviewErrorFormat"), title));
    showPage(Page::Error);
}

void DocumentPreviewView::showFile(const QString& path, const QString& title, qint64 size)
{
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable()) {
        showError(title);
        return;
    }
    m_title = title;
    m_path = path;
    const Page page = pageForFile(path);
    switch (page) {
    case Page::Pdf:
        if (!loadPdf(path)) {
            showError(title);
            return;
        }
        break;
    case Page::Image: {
        QImageReader reader(path);
        reader.setAutoTransform(true);
        auto image = std::make_unique<QImage>(reader.read());
        if (image->isNull()) {
            showError(title);
            return;
        }
        delete m_image;
        m_image = image.release();
        break;
    }
    case Page::Text:
    case Page::Html: {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            showError(title);
            return;
        }
        const QString text = QString::fromUtf8(file.read(kMaximumTextBytes));
        if (page == Page::Html) {
            // Relative images of a generated page sit next to it.
            m_text->setSearchPaths({info.absolutePath()});
            m_text->setHtml(text);
        } else {
            m_text->setPlainText(text);
            m_text->setFont(Drawing::font(12));
        }
        break;
    }
    default: {
        m_cardIcon->setPixmap(ImageRegistry::fileTypeIcon(info.fileName()).pixmap(128, 128));
        m_cardTitle->setText(title);
        const qint64 bytes = size >= 0 ? size : info.size();
        m_cardSize->setText(TQBytesToReadableStringTransformer().transformedValue(bytes).toString());
        break;
    }
    }
    showPage(page);
    if (page == Page::Image)
        layoutImage();
}

bool DocumentPreviewView::loadPdf(const QString& path)
{
    QPdfDocument document;
    if (document.load(path) != QPdfDocument::Error::None || document.pageCount() < 1)
        return false;
    // The area fills the view, less its scroll bar; it may not be laid out yet.
    const int room = this->width() - style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const int width = qMax(240, room - 2 * kPageGap);
    auto* pages = new QWidget;
    auto* layout = new QVBoxLayout(pages);
    layout->setContentsMargins(kPageGap, kPageGap, kPageGap, kPageGap);
    layout->setSpacing(kPageGap);
    const qreal ratio = devicePixelRatioF();
    m_pageCount = 0;
    for (int index = 0; index < qMin(document.pageCount(), kMaximumPdfPages); ++index) {
        const QSizeF points = document.pagePointSize(index);
        if (points.isEmpty())
            continue;
        const QSize size(width, qRound(width * points.height() / points.width()));
        const QImage rendered = document.render(index, size * ratio);
        if (rendered.isNull())
            continue;
        // Pages come transparent where nothing is drawn: they are paper.
        QImage image(rendered.size(), QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.drawImage(0, 0, rendered);
        painter.end();
        image.setDevicePixelRatio(ratio);
        auto* page = new QLabel(pages);
        page->setPixmap(QPixmap::fromImage(image));
        page->setFixedSize(size);
        layout->addWidget(page);
        ++m_pageCount;
    }
    if (m_pageCount == 0) {
        delete pages;
        return false;
    }
    pages->adjustSize();
    m_pdfArea->setWidget(pages); // frees the pages shown before
    m_pdfPages = pages;
    return true;
}

void DocumentPreviewView::layoutImage()
{
    if (!m_image || m_image->isNull())
        return;
    const QSize room = size() - QSize(24, 24);
    QSize shown = m_image->size();
    if (shown.width() > room.width() || shown.height() > room.height())
        shown.scale(room.expandedTo(QSize(1, 1)), Qt::KeepAspectRatio);
    const qreal ratio = devicePixelRatioF();
    QPixmap pixmap =
        QPixmap::fromImage(m_image->scaled(shown * ratio, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    pixmap.setDevicePixelRatio(ratio);
    m_imageLabel->setPixmap(pixmap);
}

void DocumentPreviewView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_page == Page::Image)
        layoutImage();
    else if (m_page == Page::Pdf && m_pdfPages &&
             qAbs(m_pdfPages->width() + style()->pixelMetric(QStyle::PM_ScrollBarExtent) - width()) > 40)
        loadPdf(m_path);
}

} // namespace tavrel
