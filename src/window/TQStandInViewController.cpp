#include "window/TQStandInViewController.h"

#include "controls/SpinningIndicator.h"
#include "controls/TQHostView.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/StringTable.h"

#include <QLabel>
#include <QVBoxLayout>

namespace tavrel {

TQStandInViewController::TQStandInViewController(const QString& titleKey, Kind kind, int contentType,
                                                 QObject* parent)
    : TQViewController(titleKey, parent), m_kind(kind), m_contentType(contentType)
{
    setTitle(titleKey.isEmpty() ? QString() : StringTable::text(titleKey));
}

QWidget* TQStandInViewController::loadView()
{
    auto* view = new TQHostView;
    view->setObjectName(m_kind == Kind::Content ? QStringLiteral("standInView")
                                                : QStringLiteral("firstSyncView"));
    view->setBackgroundColor(m_kind == Kind::Content ? QColor(0xf7, 0xf7, 0xf7) : QColor(0xee, 0xef, 0xf1));
    auto* layout = new QVBoxLayout(view);
    layout->setContentsMargins(48, 32, 48, 48);
    layout->setSpacing(12);
    layout->addStretch(2);
    if (m_kind == Kind::FirstSynchronisation) {
        auto* mark = new QLabel(view);
        mark->setPixmap(ImageRegistry::pixmap(QStringLiteral("tavrel"), QSizeF(96, 96)));
        mark->setAlignment(Qt::AlignCenter);
        layout->addWidget(mark);
        layout->addSpacing(8);
    }
    m_headline = new QLabel(view);
    m_headline->setObjectName(QStringLiteral("headline"));
    m_headline->setAlignment(Qt::AlignCenter);
    m_headline->setWordWrap(true);
    QFont font = m_headline->font();
    font.setPixelSize(m_kind == Kind::Content ? 22 : 18);
    font.setBold(true);
    m_headline->setFont(font);
    m_headline->setStyleSheet(QStringLiteral("color: #3a3a3a;"));
    layout->addWidget(m_headline);
    m_detail = new QLabel(view);
    m_detail->setObjectName(QStringLiteral("detail"));
    m_detail->setAlignment(Qt::AlignCenter);
    m_detail->setWordWrap(true);
    m_detail->setStyleSheet(QStringLiteral("color: #6b6b6b;"));
    layout->addWidget(m_detail);
    if (m_kind == Kind::FirstSynchronisation) {
        auto* spinner = new SpinningIndicator(view);
        spinner->setFixedSize(24, 24);
        m_indicator = spinner;
        layout->addSpacing(6);
        layout->addWidget(spinner, 0, Qt::AlignHCenter);
        m_headline->setText(StringTable::text(QStringLiteral("WindowSigningIn")));
        m_detail->setText(StringTable::text(QStringLiteral("WindowSigningInDetail")));
        spinner->startAnimation();
    } else {
        m_headline->setText(title());
        m_detail->setText(StringTable::text(QStringLiteral("WindowStandInDetail")));
    }
    layout->addStretch(3);
    return view;
}

QString TQStandInViewController::headline() const
{
    return m_headline ? m_headline->text() : QString();
}

void TQStandInViewController::present(const QString& headlineKey, const QString& detailKey, bool busy,
                                      bool problem)
{
    view();
    m_headline->setText(StringTable::text(headlineKey));
    m_headline->setStyleSheet(problem ? QStringLiteral("color: #a3271c;")
                                      : QStringLiteral("color: #3a3a3a;"));
    m_detail->setText(StringTable::text(detailKey));
    if (auto* spinner = qobject_cast<SpinningIndicator*>(m_indicator.data())) {
        spinner->setVisible(busy);
        busy ? spinner->startAnimation() : spinner->stopAnimation();
    }
}

void TQStandInViewController::presentSyncing()
{
    present(QStringLiteral("WindowFirstSync"), QStringLiteral("WindowFirstSyncDetail"), true, false);
}

void TQStandInViewController::presentError()
{
    present(QStringLiteral("WindowFirstSyncFailed"), QStringLiteral("WindowFirstSyncFailedDetail"), false,
            true);
}

void TQStandInViewController::presentOffline()
{
    present(QStringLiteral("WindowFirstSyncOffline"), QStringLiteral("WindowFirstSyncOfflineDetail"), true,
            false);
}

} // namespace tavrel
