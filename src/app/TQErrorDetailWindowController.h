#pragma once

#include "controls/TQWindowController.h"
#include "platform/runtime/Error.h"

#include <QEventLoop>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStringList>

namespace tavrel {

// The modal window that lists every message an error carries: one row per value of its user
// information (its description among them). One per process; opening it again reuses it.
class TQErrorDetailWindowController : public TQWindowController
{
    Q_OBJECT
public:
    static TQErrorDetailWindowController* sharedController();
    // Deletes the process's window (tests).
    static void resetForTesting();

    // Fills the rows and runs the window modally; returns when it closes (with 1).
    int showDetailsForError(const Error& error);
    // Fills the rows without running the window (the gallery).
    void setError(const Error& error);
    // The dismiss button: closes the window as its close box does.
    Q_INVOKABLE void hideDetails(QObject* sender);

    QString title() const { return m_title; }
    // The rows' messages, in order.
    const QStringList& container() const { return m_container; }
    QListWidget* list() const { return m_list; }
    QPushButton* dismissButton() const { return m_dismiss; }
    bool isRunningModal() const { return m_loop != nullptr; }

    // The text of one user-information value: strings as they are, an underlying error by its
    // description, anything else as its text.
    static QString messageForValue(const QVariant& value);

private:
    TQErrorDetailWindowController();
    void awakeFromNib() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    QString m_title;
    QStringList m_container;
    QLabel* m_icon = nullptr;
    QLabel* m_titleLabel = nullptr;
    QListWidget* m_list = nullptr;
    QPushButton* m_dismiss = nullptr;
    QEventLoop* m_loop = nullptr;
};

} // namespace tavrel
