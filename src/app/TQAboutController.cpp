#include "app/TQAboutController.h"

#include "app/ApplicationInfo.h"
#include "app/ApplicationResources.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/StringTable.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace tavrel {

namespace {
TQAboutController* g_about = nullptr;
}

TQAboutController* TQAboutController::aboutController()
{
    if (!g_about)
        g_about = new TQAboutController();
    return g_about;
}

void TQAboutController::resetForTesting()
{
    delete g_about;
    g_about = nullptr;
}

QVariant TQAboutController::infoValueForKey(const QString& key)
{
    return ApplicationInfo::infoValueForKey(key);
}

TQAboutController::TQAboutController()
{
    auto* window = new QDialog();
    window->setObjectName(QStringLiteral("aboutWindow"));
    window->setFixedWidth(380);
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(28, 24, 28, 18);
    layout->setSpacing(6);
    m_iconLabel = new QLabel(window);
    m_iconLabel->setAlignment(Qt::AlignCenter);
    m_nameLabel = new QLabel(window);
    m_nameLabel->setAlignment(Qt::AlignCenter);
    QFont nameFont = m_nameLabel->font();
    nameFont.setPointSizeF(nameFont.pointSizeF() * 1.6);
    nameFont.setBold(true);
    m_nameLabel->setFont(nameFont);
    m_versionLabel = new QLabel(window);
    m_versionLabel->setObjectName(QStringLiteral("version"));
    m_versionLabel->setAlignment(Qt::AlignCenter);
    m_versionLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_creditsView = new QTextBrowser(window);
    m_creditsView->setOpenExternalLinks(true);
    m_creditsView->setFrameShape(QFrame::NoFrame);
    m_creditsView->setFixedHeight(96);
    m_creditsView->viewport()->setAutoFillBackground(false);
    m_copyrightLabel = new QLabel(window);
    m_copyrightLabel->setAlignment(Qt::AlignCenter);
    m_copyrightLabel->setWordWrap(true);
    QFont small = m_copyrightLabel->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    m_copyrightLabel->setFont(small);
    m_copyrightLabel->setForegroundRole(QPalette::PlaceholderText);
    layout->addWidget(m_iconLabel);
    layout->addSpacing(6);
    layout->addWidget(m_nameLabel);
    layout->addWidget(m_versionLabel);
    layout->addSpacing(10);
    layout->addWidget(m_creditsView);
    layout->addWidget(m_copyrightLabel);
    auto* buttons = new QHBoxLayout();
    buttons->addStretch(1);
    auto* closeButton = new QPushButton(StringTable::text(QStringLiteral("Close")), window);
    closeButton->setDefault(true);
    connect(closeButton, &QPushButton::clicked, this, [this, closeButton] { close(closeButton); });
    buttons->addWidget(closeButton);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    setWindow(window);
    awakeFromNib();
}

void TQAboutController::awakeFromNib()
{
    TQWindowController::awakeFromNib();
    m_applicationIcon = ImageRegistry::pixmap(QStringLiteral("tavrel"), QSizeF(96, 96));
    m_applicationName = infoValueForKey(QStringLiteral("CFBundleName")).toString();
    m_version = StringTable::text(QStringLiteral("Version")) + QStringLiteral(" ") +
                infoValueForKey(QStringLiteral("CFBundleVersion")).toString();
    m_copyright = infoValueForKey(QStringLiteral("NSHumanReadableCopyright")).toString();
    m_credits = StringTable::text(QStringLiteral("CreditsText"));
    m_iconLabel->setPixmap(m_applicationIcon);
    m_nameLabel->setText(m_applicationName);
    m_versionLabel->setText(m_version);
    m_copyrightLabel->setText(m_copyright);
    m_creditsView->setHtml(m_credits);
    window()->setWindowTitle(StringTable::format(QStringLiteral("AboutTitle"), m_applicationName));
}

void TQAboutController::showWindow(QObject* sender)
{
    window()->adjustSize();
    ApplicationResources::centreWindow(window());
    TQWindowController::showWindow(sender);
    // Shown, the window may have taken its final size.
    ApplicationResources::centreWindow(window());
}

void TQAboutController::close(QObject*)
{
    TQWindowController::close();
}

} // namespace tavrel
