#include "platform/ui/Alert.h"

#include "platform/ui/ImageRegistry.h"
#include "platform/ui/StringTable.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSet>

namespace tavrel {

namespace {
const QString kApplicationIcon = QStringLiteral("tavrel");
constexpr int kIconSize = 64;
constexpr int kThemeIconSize = 48;
constexpr int kMinimumWidth = 420;
} // namespace

Alert::Alert(QObject* parent) : QObject(parent) {}

Alert::~Alert()
{
    if (m_box)
        m_box->deleteLater();
}

void Alert::setMessageText(const QString& text)
{
    m_messageText = text;
}

void Alert::setInformativeText(const QString& text)
{
    m_informativeText = text;
}

void Alert::setStyle(Style style)
{
    m_style = style;
}

void Alert::setDefaultButtonTitle(const QString& title)
{
    m_defaultTitle = title;
}

void Alert::setAlternateButtonTitle(const QString& title)
{
    m_alternateTitle = title;
}

void Alert::setOtherButtonTitle(const QString& title)
{
    m_otherTitle = title;
}

void Alert::setShowsSuppressionButton(bool shows)
{
    m_showsSuppression = shows;
}

void Alert::setSuppressionButtonTitle(const QString& title)
{
    m_suppressionTitle = title;
}

void Alert::setSuppressionKey(const QString& key)
{
    m_suppressionKey = key;
}

namespace {
struct SuppressionStore
{
    std::function<bool(const QString&)> read;
    std::function<void(const QString&)> write;
    QSet<QString> inMemory;
};
SuppressionStore& suppressions()
{
    static SuppressionStore store;
    return store;
}
} // namespace

void Alert::setSuppressionStore(std::function<bool(const QString&)> read,
                                std::function<void(const QString&)> write)
{
    suppressions().read = std::move(read);
    suppressions().write = std::move(write);
}

bool Alert::isSuppressed(const QString& key)
{
    if (key.isEmpty())
        return false;
    const SuppressionStore& store = suppressions();
    return store.read ? store.read(key) : store.inMemory.contains(key);
}

QMessageBox* Alert::makeMessageBox(QWidget* window)
{
    if (m_box)
        return m_box;
    auto* box = new QMessageBox(window);
    m_box = box;
    box->setAttribute(Qt::WA_DeleteOnClose, false);
    box->setWindowTitle(window ? window->window()->windowTitle() : QString());
    box->setTextFormat(Qt::PlainText);
    box->setText(m_messageText);
    box->setInformativeText(m_informativeText);
    // The message is the dialog's headline, the informative text its explanation.
    if (auto* headline = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
        QFont font = headline->font();
        font.setWeight(QFont::DemiBold);
        headline->setFont(font);
    }
    switch (m_style) {
    case Style::Informational:
        // Like the desktop's own dialogs that ask the user something about this program: its icon.
        box->setIconPixmap(
            ImageRegistry::pixmap(kApplicationIcon, QSizeF(kIconSize, kIconSize), box->devicePixelRatioF()));
        break;
    case Style::Warning:
    case Style::Critical: {
        // The desktop theme's icon, as the desktop's own dialogs show it.
        const bool warning = m_style == Style::Warning;
        const QIcon icon = ImageRegistry::themeIcon(warning ? QStringLiteral("dialog-warning")
                                                            : QStringLiteral("dialog-error"));
        if (icon.isNull())
            box->setIcon(warning ? QMessageBox::Warning : QMessageBox::Critical);
        else
            box->setIconPixmap(icon.pixmap(QSize(kThemeIconSize, kThemeIconSize), box->devicePixelRatioF()));
        break;
    }
    }
    const QString defaultTitle =
        m_defaultTitle.isEmpty() ? StringTable::text(QStringLiteral("OK")) : m_defaultTitle;
    m_defaultButton = box->addButton(defaultTitle, QMessageBox::AcceptRole);
    if (!m_otherTitle.isEmpty())
        m_otherButton = box->addButton(m_otherTitle, QMessageBox::DestructiveRole);
    if (!m_alternateTitle.isEmpty()) {
        m_alternateButton = box->addButton(m_alternateTitle, QMessageBox::RejectRole);
        box->setEscapeButton(m_alternateButton);
    }
    box->setDefaultButton(qobject_cast<QPushButton*>(m_defaultButton.data()));
    if (m_showsSuppression) {
        const QString title = m_suppressionTitle.isEmpty() ? StringTable::text(QStringLiteral("DontAskAgain"))
                                                           : m_suppressionTitle;
        box->setCheckBox(new QCheckBox(title, box));
    }
    // Short texts would make a narrow box; the desktop's dialogs are at least this wide. (The box
    // lays itself out anew whenever a part is set, so this comes last.)
    if (auto* grid = qobject_cast<QGridLayout*>(box->layout()))
        grid->addItem(new QSpacerItem(kMinimumWidth, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    // Closing the sheet without a button (the window going away) answers as the alternate button.
    connect(box, &QDialog::finished, this, [this] { finish(m_box ? m_box->clickedButton() : nullptr); });
    return box;
}

void Alert::beginSheet(QWidget* window, Completion completion)
{
    m_completion = std::move(completion);
    QMessageBox* box = makeMessageBox(window);
    box->setWindowModality(window ? Qt::WindowModal : Qt::ApplicationModal);
    box->open();
}

void Alert::finish(QAbstractButton* clicked)
{
    if (m_finished)
        return;
    m_finished = true;
    int response = AlternateResponse;
    if (clicked && clicked == m_defaultButton)
        response = DefaultResponse;
    else if (clicked && clicked == m_otherButton)
        response = OtherResponse;
    const bool checked = m_box && m_box->checkBox() && m_box->checkBox()->isChecked();
    if (checked && response != AlternateResponse && !m_suppressionKey.isEmpty()) {
        SuppressionStore& store = suppressions();
        if (store.write)
            store.write(m_suppressionKey);
        else
            store.inMemory.insert(m_suppressionKey);
    }
    if (m_box)
        m_box->hide();
    const Completion completion = std::move(m_completion);
    deleteLater();
    if (completion)
        completion(response, checked);
}

} // namespace tavrel
