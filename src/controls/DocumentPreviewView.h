#pragma once

#include <QPointer>
#include <QUrl>
#include <QWidget>
#include <functional>

class QLabel;
class QPushButton;
class QScrollArea;
class QStackedLayout;
class QTextBrowser;

namespace tavrel {

class SpinningIndicator;

// Shows one document as the preview window and the detail view's preview tab do: a PDF page by page
// (Qt PDF), an image scaled to fit, plain text, HTML (a collection's generated page among them), the
// loading page under a spinner while a copy downloads, the error page when there is nothing to show,
// and for kinds nothing here can draw (office formats) a card with the document's icon, title and size
// and an Open button. Main thread only.
class DocumentPreviewView : public QWidget
{
    Q_OBJECT
public:
    enum class Page { Empty, Pdf, Image, Text, Html, Loading, Error, Card };
    // How a file is shown, by its content type and name.
    static Page pageForFile(const QString& path);

    explicit DocumentPreviewView(QWidget* parent = nullptr);
    ~DocumentPreviewView() override;

    // A file on disk; a file that cannot be read shows the error page. The size is shown on the card of a
    // kind that cannot be drawn (negative: the file's own).
    void showFile(const QString& path, const QString& title, qint64 size = -1);
    void showLoading(const QString& title);
    void showError(const QString& title);
    void clear();

    Page page() const { return m_page; }
    QString title() const { return m_title; }
    QString path() const { return m_path; }
    bool isSpinning() const;
    // Number of PDF pages drawn.
    int pageCount() const { return m_pageCount; }
    // The card's Open button, and what it does.
    QPushButton* openButton() const { return m_openButton; }
    void setOpenHandler(std::function<void()> handler) { m_open = std::move(handler); }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void showPage(Page page);
    bool loadPdf(const QString& path);
    void layoutImage();
    void setMessage(QLabel* label, const QString& text);

    Page m_page = Page::Empty;
    QString m_title;
    QString m_path;
    int m_pageCount = 0;
    QImage* m_image = nullptr;
    QStackedLayout* m_stack = nullptr;
    QScrollArea* m_pdfArea = nullptr;
    QWidget* m_pdfPages = nullptr;
    QLabel* m_imageLabel = nullptr;
    QTextBrowser* m_text = nullptr;
    QWidget* m_loading = nullptr;
    QLabel* m_loadingLabel = nullptr;
    SpinningIndicator* m_spinner = nullptr;
    QWidget* m_errorPage = nullptr;
    QLabel* m_errorLabel = nullptr;
    QWidget* m_card = nullptr;
    QLabel* m_cardIcon = nullptr;
    QLabel* m_cardTitle = nullptr;
    QLabel* m_cardSize = nullptr;
    QPushButton* m_openButton = nullptr;
    std::function<void()> m_open;
};

} // namespace tavrel
