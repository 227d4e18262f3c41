#include "chrome/TQProgressStatusSubcontroller.h"
#include "chrome/TQSpinStatusSubcontroller.h"
#include "chrome/TQStatusBarController.h"
#include "controls/SpinningIndicator.h"
#include "platform/runtime/NotificationCenter.h"
#include "support/WaitUntil.h"
#include "support/ui/LoggingTest.h"

#include <QFontMetrics>
#include <QLabel>
#include <QProgressBar>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

namespace tavrel {
namespace {

class StatusBarTest : public test::LoggingTest
{
protected:
    void SetUp() override
    {
        LoggingTest::SetUp();
        m_window.resize(400, 300);
        m_referral = new QWidget(&m_window);
        m_referral->setGeometry(0, 0, 400, 280);
        m_bar = std::make_unique<TQStatusBarController>();
        m_bar->setReferralProvider([this] { return m_referral; });
    }

    bool barIsBesideReferral() const { return m_bar->view()->parentWidget() == &m_window; }
    QString shown() const
    {
        const TQStatusWrapperPtr current = m_bar->currentStatus();
        return current ? current->identifier() : QString();
    }

    QWidget m_window;
    QWidget* m_referral = nullptr;
    std::unique_ptr<TQStatusBarController> m_bar;
};

TEST_F(StatusBarTest, ShowsTheOldestEntryAndProgressBeforeMessages)
{
    // Each step: an operation ("+p" add progress, "+m" add message, "-p"/"-m" remove) on an identifier,
    // then the identifier on display ("" for none).
    struct Step
    {
        const char* operation;
        const char* identifier;
        const char* expected;
    };
    const QList<QList<Step>> scripts = {
        {{"+p", "A", "A"}, {"+p", "B", "A"}, {"-p", "A", "B"}, {"-p", "B", ""}},
        {{"+m", "M", "M"}, {"+p", "P", "P"}, {"-p", "P", "M"}, {"-m", "M", ""}},
        {{"+m", "M1", "M1"}, {"+m", "M2", "M1"}, {"+p", "P", "P"}, {"-m", "M1", "P"}, {"-p", "P", "M2"}},
        // An identifier names one entry whatever its kind; each kind goes with its own operation.
        {{"+p", "A", "A"}, {"+m", "A", "A"}, {"-m", "A", "A"}, {"-p", "A", ""}},
        {{"+m", "A", "A"}, {"-p", "A", "A"}, {"-m", "A", ""}},
        // A lost connection is said before any progress, and the progress comes back after it.
        {{"+p", "P", "P"},
         {"+m", "connectionStatus", "connectionStatus"},
         {"+p", "Q", "connectionStatus"},
         {"-m", "connectionStatus", "P"}},
    };
    for (const QList<Step>& script : scripts) {
        TQStatusBarController bar;
        QString trace;
        for (const Step& step : script) {
            const QString op = QString::fromLatin1(step.operation);
            const QString id = QString::fromLatin1(step.identifier);
            trace += op + id + QLatin1Char(' ');
            if (op == QLatin1String("+p"))
                bar.showProgress(QStringLiteral("Label ") + id, id);
            else if (op == QLatin1String("+m"))
                bar.showStatus(QStringLiteral("Label ") + id, id);
            else if (op == QLatin1String("-p"))
                bar.removeProgressWithIdentifier(id);
            else
                bar.removeStatusWithIdentifier(id);
            const TQStatusWrapperPtr current = bar.currentStatus();
            EXPECT_EQ(current ? current->identifier() : QString(), QString::fromLatin1(step.expected))
                << qPrintable(trace);
        }
    }
}

TEST_F(StatusBarTest, AddingIgnoresNullTextsAndKnownIdentifiers)
{
    m_bar->showStatus(QString(), QStringLiteral("A"));
    m_bar->showProgress(QStringLiteral("Text"), QString());
    EXPECT_EQ(m_bar->currentStatus(), nullptr);

    m_bar->showStatus(QStringLiteral("First"), QStringLiteral("A"));
    m_bar->showStatus(QStringLiteral("Second"), QStringLiteral("A"));
    EXPECT_EQ(m_bar->currentStatus()->status(), QStringLiteral("First"));
    EXPECT_EQ(m_bar->spinController()->label(), QStringLiteral("First"));

    // A text change of the entry on display reaches the label; of another entry, nothing shows.
    m_bar->showStatus(QStringLiteral("Other"), QStringLiteral("B"));
    m_bar->setMessage(QStringLiteral("Changed"), QStringLiteral("B"));
    EXPECT_EQ(m_bar->spinController()->label(), QStringLiteral("First"));
    m_bar->setMessage(QStringLiteral("Renamed"), QStringLiteral("A"));
    EXPECT_EQ(m_bar->spinController()->label(), QStringLiteral("Renamed"));
    m_bar->setMessage(QStringLiteral("Nobody"), QStringLiteral("unknown"));
    m_bar->removeStatusWithIdentifier(QStringLiteral("unknown"));
    EXPECT_EQ(shown(), QStringLiteral("A"));
}

TEST_F(StatusBarTest, SlidesInBelowTheReferralAndOutWhenEmpty)
{
    m_bar->showProgress(QStringLiteral("Uploading"), QStringLiteral("upload_1"));
    // The bar moves only after the delay.
    EXPECT_FALSE(barIsBesideReferral());
    EXPECT_TRUE(m_bar->isVisibilityUpdatePending());
    ASSERT_TRUE(test::waitUntil([this] { return barIsBesideReferral(); }));
    EXPECT_EQ(m_bar->view()->geometry(),
              QRect(0, 280 - TQStatusBarController::kBarHeight, 400, TQStatusBarController::kBarHeight));
    EXPECT_EQ(m_bar->referringView(), m_referral);

    // Asked again while beside the referral: only a log line.
    m_bar->setVisible(true);
    EXPECT_EQ(logCount("[!] Status bar already visible"), 1);

    m_bar->removeProgressWithIdentifier(QStringLiteral("upload_1"));
    EXPECT_TRUE(barIsBesideReferral());
    ASSERT_TRUE(test::waitUntil([this] { return m_bar->view()->parentWidget() == nullptr; }));
    EXPECT_FALSE(m_bar->view()->isVisible());
}

TEST_F(StatusBarTest, ChangesWithinTheDelayMoveTheBarAtMostOnce)
{
    // Added and removed before the delay ends: the bar never shows.
    m_bar->showStatus(QStringLiteral("Quick"), QStringLiteral("q"));
    m_bar->removeStatusWithIdentifier(QStringLiteral("q"));
    ASSERT_TRUE(test::waitUntil([this] { return !m_bar->isVisibilityUpdatePending(); }));
    EXPECT_FALSE(barIsBesideReferral());

    // Shown, then a second entry comes and goes: the bar stays where it is.
    m_bar->showStatus(QStringLiteral("Long"), QStringLiteral("l"));
    ASSERT_TRUE(test::waitUntil([this] { return barIsBesideReferral(); }));
    const QRect shownAt = m_bar->view()->geometry();
    m_bar->showProgress(QStringLiteral("Quick"), QStringLiteral("q"));
    m_bar->removeProgressWithIdentifier(QStringLiteral("q"));
    ASSERT_TRUE(test::waitUntil([this] { return !m_bar->isVisibilityUpdatePending(); }));
    EXPECT_TRUE(barIsBesideReferral());
    EXPECT_EQ(m_bar->view()->geometry(), shownAt);
    EXPECT_EQ(shown(), QStringLiteral("l"));
}

TEST_F(StatusBarTest, WithoutAReferralTheBarStaysOut)
{
    m_bar->setReferralProvider({});
    m_bar->showStatus(QStringLiteral("Nowhere"), QStringLiteral("n"));
    ASSERT_TRUE(test::waitUntil([this] { return !m_bar->isVisibilityUpdatePending(); }));
    EXPECT_EQ(m_bar->view()->parentWidget(), nullptr);
    EXPECT_FALSE(m_bar->view()->isVisible());
}

TEST_F(StatusBarTest, AProgressEntryWithoutValueIsIndeterminateUntilItsFirstValue)
{
    QProgressBar* bar = m_bar->progressController()->progressBar();
    m_bar->showProgress(QStringLiteral("Downloading"), QStringLiteral("get_1"));
    EXPECT_EQ(bar->maximum(), 0);

    m_bar->setProgressValue(40, QStringLiteral("get_1"));
    EXPECT_EQ(bar->maximum(), 100);
    EXPECT_EQ(bar->value(), 40);
    EXPECT_EQ(logCount("Showing progress id=<get_1> value=40.00"), 1);

    // An entry's value is kept while another is on display, and shown when its turn comes.
    m_bar->showProgress(QStringLiteral("Second"), QStringLiteral("get_2"));
    m_bar->setProgressValue(70, QStringLiteral("get_2"));
    EXPECT_EQ(bar->value(), 40);
    m_bar->removeProgressWithIdentifier(QStringLiteral("get_1"));
    EXPECT_EQ(bar->value(), 70);
    EXPECT_EQ(m_bar->progressController()->label(), QStringLiteral("Second"));
}

TEST_F(StatusBarTest, MessagesSpinAndTheActivityIndicatorCanBeHidden)
{
    m_bar->showStatus(QStringLiteral("Checking"), QStringLiteral("c"));
    auto* indicator = static_cast<SpinningIndicator*>(m_bar->spinController()->progressControl());
    EXPECT_TRUE(indicator->isAnimating());
    m_bar->removeStatusWithIdentifier(QStringLiteral("c"));
    EXPECT_FALSE(indicator->isAnimating());

    m_bar->setIndicateActivity(false);
    m_bar->showProgress(QStringLiteral("Static"), QStringLiteral("s"));
    EXPECT_TRUE(m_bar->progressController()->progressBar()->isHidden());
}

TEST_F(StatusBarTest, MessageLabelIsCentredBesideTheIndicator)
{
    TQSpinStatusSubcontroller spin;
    QWidget* view = spin.view();
    view->resize(400, 22);
    const int indicatorWidth = spin.progressControl()->width();
    const QFontMetrics metrics(spin.labelField()->font());

    spin.setLabel(QStringLiteral("Short"));
    spin.layoutSubviews();
    const double labelWidth = metrics.horizontalAdvance(QStringLiteral("Short")) + 4;
    const double labelX = (400 - labelWidth) * 0.5 + indicatorWidth;
    EXPECT_EQ(spin.labelField()->width(), qRound(labelWidth));
    EXPECT_EQ(spin.labelField()->x(), qRound(labelX));
    EXPECT_EQ(spin.progressControl()->x(), qRound(labelX - indicatorWidth - 8));

    const QString longText(200, QLatin1Char('w'));
    spin.setLabel(longText);
    spin.layoutSubviews();
    EXPECT_EQ(spin.labelField()->width(), 400 - indicatorWidth - 24);
    EXPECT_TRUE(spin.labelField()->text().endsWith(QChar(0x2026)));
}

TEST_F(StatusBarTest, BlockingHidesTheBarWithoutChangingItsEntries)
{
    m_bar->showStatus(QStringLiteral("Busy"), QStringLiteral("b"));
    ASSERT_TRUE(test::waitUntil([this] { return barIsBesideReferral(); }));
    const QRect at = m_bar->view()->geometry();

    NotificationCenter::defaultCenter().post(TQStatusBarController::kBlockStatusbarNotification);
    EXPECT_TRUE(m_bar->view()->isHidden());
    EXPECT_EQ(shown(), QStringLiteral("b"));
    NotificationCenter::defaultCenter().post(TQStatusBarController::kUnBlockStatusbarNotification);
    EXPECT_FALSE(m_bar->view()->isHidden());
    EXPECT_EQ(m_bar->view()->geometry(), at);

    // Unblocking a bar that is out of any window does not turn it into a window of its own.
    m_bar->removeStatusWithIdentifier(QStringLiteral("b"));
    ASSERT_TRUE(test::waitUntil([this] { return m_bar->view()->parentWidget() == nullptr; }));
    NotificationCenter::defaultCenter().post(TQStatusBarController::kUnBlockStatusbarNotification);
    EXPECT_FALSE(m_bar->view()->isVisible());
}

} // namespace
} // namespace tavrel
