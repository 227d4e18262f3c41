#pragma once

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

class QWidget;

namespace tavrel {

// An alert: a message, an informative text, up to three buttons and an optional "do not ask again"
// check box, shown as a sheet (window-modal, opened without a nested event loop) on a window. The
// answer is the design's return code: 1 for the default button (first, "OK" or "Yes"), 0 for the
// alternate one ("Cancel", also Escape), -1 for the other one. When the alert has a suppression key,
// a ticked box and any answer but the alternate one store true under that key in the settings; the
// callers skip the alert while isSuppressed(key) holds. The alert deletes itself once answered.
class Alert : public QObject
{
    Q_OBJECT
public:
    enum Response { DefaultResponse = 1, AlternateResponse = 0, OtherResponse = -1 };
    enum class Style { Informational, Warning, Critical };
    using Completion = std::function<void(int response, bool suppressionChecked)>;

    explicit Alert(QObject* parent = nullptr);
    ~Alert() override;

    void setMessageText(const QString& text);
    void setInformativeText(const QString& text);
    void setStyle(Style style);
    // Empty titles leave a button out; the default button is "OK" unless set.
    void setDefaultButtonTitle(const QString& title);
    void setAlternateButtonTitle(const QString& title);
    void setOtherButtonTitle(const QString& title);
    // The check box, titled "DontAskAgain" from the string table unless set.
    void setShowsSuppressionButton(bool shows);
    void setSuppressionButtonTitle(const QString& title);
    // The settings key the ticked box stores true under.
    void setSuppressionKey(const QString& key);
    static bool isSuppressed(const QString& key);
    // Where suppressions are kept: the settings, handed in by the window's services. Without a store
    // they last as long as the process.
    static void setSuppressionStore(std::function<bool(const QString&)> read,
                                    std::function<void(const QString&)> write);

    // Opens the alert as a sheet on the window (application-modal without one); the completion runs
    // once it is answered.
    void beginSheet(QWidget* window, Completion completion);

    // The box being shown (null before beginSheet), for tests and the gallery.
    QMessageBox* messageBox() const { return m_box; }
    // Builds the box without showing it (the gallery renders it).
    QMessageBox* makeMessageBox(QWidget* window);

private:
    void finish(QAbstractButton* clicked);

    QString m_messageText;
    QString m_informativeText;
    Style m_style = Style::Warning;
    QString m_defaultTitle;
    QString m_alternateTitle;
    QString m_otherTitle;
    bool m_showsSuppression = false;
    QString m_suppressionTitle;
    QString m_suppressionKey;
    Completion m_completion;
    QPointer<QMessageBox> m_box;
    QPointer<QAbstractButton> m_defaultButton;
    QPointer<QAbstractButton> m_alternateButton;
    QPointer<QAbstractButton> m_otherButton;
    bool m_finished = false;
};

} // namespace tavrel
