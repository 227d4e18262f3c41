#include "app/TQErrorDetailWindowController.h"

#include "app/ApplicationResources.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/StringTable.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace tavrel {

namespace {

TQErrorDetailWindowController* g_shared = nullptr;

} // namespace

TQErrorDetailWindowController* TQErrorDetailWindowController::sharedController()
{
    if (!g_shared)
        g_shared = new TQErrorDetailWindowController();
    return g_shared;
}

void TQErrorDetailWindowController::resetForTesting()
{
    delete g_shared;
    g_shared = nullptr;
}

TQErrorDetailWindowController::TQErrorDetailWindowController()
{
    auto* window = new QDialog();
    window->setObjectName(QStringLiteral("errorDetailWindow"));
    window->setWindowModality(Qt::ApplicationModal);
    window->setMinimumSize(460, 300);
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(20, 20, 20, 16);
    layout->setSpacing(12);
    auto* header = new QHBoxLayout();
    header->setSpacing(14);
    m_icon = new QLabel(window);
    m_icon->setFixedSize(48, 48);
    m_titleLabel = new QLabel(window);
    QFont titleFont = m_titleLabel->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.25);
    titleFont.setBold(true);
    m_titleLabel->setFont(titleFont);
    m_titleLabel->setWordWrap(true);
    header->addWidget(m_icon, 0, Qt::AlignTop);
    header->addWidget(m_titleLabel, 1);
    layout->addLayout(header);
    m_list = new QListWidget(window);
    m_list->setObjectName(QStringLiteral("messages"));
    m_list->setWordWrap(true);
    m_list->setSpacing(3);
    m_list->setAlternatingRowColors(true);
    m_list->setSelectionMode(QAbstractItemView::NoSelection);
    m_list->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(m_list, 1);
    auto* buttons = new QHBoxLayout();
    buttons->addStretch(1);
    m_dismiss = new QPushButton(StringTable::text(QStringLiteral("OK")), window);
    m_dismiss->setDefault(true);
    connect(m_dismiss, &QPushButton::clicked, this, [this] { hideDetails(m_dismiss); });
    buttons->addWidget(m_dismiss);
    layout->addLayout(buttons);
    window->installEventFilter(this);
    setWindow(window);
    awakeFromNib();
}

void TQErrorDetailWindowController::awakeFromNib()
{
    TQWindowController::awakeFromNib();
    m_icon->setPixmap(ImageRegistry::pixmap(QStringLiteral("tavrel"), QSizeF(48, 48)));
    m_title = StringTable::text(QStringLiteral("ErrorDetailTitle"));
    m_titleLabel->setText(m_title);
    window()->setWindowTitle(m_title);
}

QString TQErrorDetailWindowController::messageForValue(const QVariant& value)
{
    if (value.canConvert<Error>() && value.metaType() == QMetaType::fromType<Error>())
        return value.value<Error>().localizedDescription();
    if (value.metaType().id() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char('\n'));
    return value.toString();
}

void TQErrorDetailWindowController::setError(const Error& error)
{
    m_container.clear();
    m_list->clear();
    const QVariantMap& info = error.userInfo();
    for (auto it = info.constBegin(); it != info.constEnd(); ++it) {
        const QString message = messageForValue(it.value());
        m_container.append(message);
        auto* row = new QListWidgetItem(message, m_list);
        row->setToolTip(message);
    }
}

int TQErrorDetailWindowController::showDetailsForError(const Error& error)
{
    setError(error);
    ApplicationResources::centreWindow(window());
    if (m_loop) {
        // Already shown: the new rows are there.
        window()->raise();
        return 1;
    }
    window()->show();
    window()->raise();
    window()->activateWindow();
    QEventLoop loop;
    m_loop = &loop;
    loop.exec(QEventLoop::DialogExec);
    m_loop = nullptr;
    return 1;
}

void TQErrorDetailWindowController::hideDetails(QObject*)
{
    window()->close();
}

bool TQErrorDetailWindowController::eventFilter(QObject* watched, QEvent* event)
{
    // The close box and the button end the modal run alike.
    if (watched == window() && (event->type() == QEvent::Close || event->type() == QEvent::Hide) && m_loop)
        m_loop->exit(1);
    return TQWindowController::eventFilter(watched, event);
}

} // namespace tavrel
