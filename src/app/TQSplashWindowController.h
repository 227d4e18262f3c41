#pragma once

#include "controls/TQWindowController.h"

#include <QLabel>
#include <QList>
#include <QParallelAnimationGroup>
#include <QPointer>
#include <QPushButton>

namespace tavrel {

// The first-run tour shown as a sheet on the main window during the first synchronisation: four
// screens stepped through with "Continue" ("Close" on the last), a skip button, and a line inviting
// feedback. Its end clears the first-launch mark once per process and, when usage statistics are
// allowed, reports the start (and the installation of a new version) to the usage tracker. The
// controller owns itself from showWindowModalToWindow until the sheet ends.
class TQSplashWindowController : public TQWindowController
{
    Q_OBJECT
    Q_PROPERTY(QString continueLabel READ continueLabel NOTIFY continueLabelChanged)

public:
    static constexpr int kScreenCount = 4;

    TQSplashWindowController();
    ~TQSplashWindowController() override;

    Q_INVOKABLE void showWindowModalToWindow(QWidget* window);
    Q_INVOKABLE void next(QObject* sender);
    Q_INVOKABLE void skip(QObject* sender);
    void sheetDidEnd(int returnCode);
    void pushScreen(int index);

    QString continueLabel() const;
    // The feedback line as rich text: grey, centred, its last word a link to the feedback page.
    static QString feedbackMessage();

    QWidget* host() const { return m_host; }
    const QList<QWidget*>& screens() const { return m_screens; }
    // The screen shown: the host's last screen.
    int currentIndex() const;
    QPushButton* continueButton() const { return m_continue; }
    QPushButton* skipButton() const { return m_skip; }
    QAbstractAnimation* currentAnimation() const { return m_currentAnimation; }

    // Whether the end of a tour already cleared the mark in this process (tests reset it).
    static void resetForTesting();

signals:
    void continueLabelChanged();
    void sheetEnded();

private:
    void awakeFromNib() override;
    QWidget* makeScreen(int index);
    void animationDidEnd();
    static void reportStart();

    QWidget* m_host = nullptr;
    QList<QWidget*> m_screens;
    // The screens in the host, in the order they were added (the last one is shown).
    QList<QWidget*> m_hosted;
    QList<QPointer<QWidget>> m_markedForRemoval;
    QPointer<QAbstractAnimation> m_currentAnimation;
    QPushButton* m_continue = nullptr;
    QPushButton* m_skip = nullptr;
    QLabel* m_feedback = nullptr;
    bool m_ended = false;
};

} // namespace tavrel
