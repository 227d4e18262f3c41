#pragma once

#include "controls/TQWindowController.h"

#include <QPointer>
#include <QStringList>
#include <memory>

class QFrame;
class QLabel;
class QLineEdit;
class QStandardItemModel;

namespace tavrel {

class Mail;

// The one sheet with which the user creates a contact or edits one address of a contact: a display
// name and a field for one address, completed from the account's stored addresses. Save validates the
// address and, when it is wrong, shows a warning band (the sheet stays open); a valid save creates
// ("CreateMail") or updates ("UpdateMails") through the contact manager. Every lookup of typed text is
// a bound value, so quotes or predicate syntax in it match literally.
class TQEditMailController : public TQWindowController
{
    Q_OBJECT
    Q_PROPERTY(bool autoFavorite READ autoFavorite WRITE setAutoFavorite)
public:
    static constexpr int kWarningHeight = 55;

    // The shared editor, made with its window on first use.
    static TQEditMailController* mailEditor();

    TQEditMailController();
    ~TQEditMailController() override;

    std::shared_ptr<Mail> email() const { return m_email; }
    // Loads an address (none: a new contact): clears autoFavorite, takes the name and the address,
    // counts as valid and hides the warning.
    void setEmail(const std::shared_ptr<Mail>& email);
    Q_INVOKABLE void setEmail(const QVariant& email);
    QString name() const;
    void setName(const QString& name);
    bool autoFavorite() const { return m_autoFavorite; }
    void setAutoFavorite(bool favorite) { m_autoFavorite = favorite; }
    bool isValid() const { return m_isValid; }
    // "EditContact" while an address is edited, else "NewContact".
    QString title() const;
    // The edited address has no contact and no document.
    bool emailHasNoRelations() const;

    QLineEdit* nameField() const { return m_nameField; }
    QLineEdit* contactField() const { return m_contactField; }
    QFrame* warningArea() const { return m_warningArea; }
    bool isWarningShown() const;

    // The tokens of the address field (one at most is kept).
    QStringList tokens() const;
    // Whether the proposed tokens may be added: fewer than two.
    static bool shouldAddTokens(const QStringList& tokens);
    // The address typed text stands for: a stored person's address when one matches, else the text.
    QString representedAddressForEditingString(const QString& text) const;
    // The addresses offered for typed text.
    QStringList completionsForSubstring(const QString& text) const;
    // More than one token is invalid; otherwise the last token must be a mail address.
    bool validate() const;
    static bool isValidAddress(const QString& address);

    Q_INVOKABLE void showWindowModalToWindow(QWidget* window);
    Q_INVOKABLE void save(QObject* sender);
    Q_INVOKABLE void cancel(QObject* sender);
    void editorDidEnd(int returnCode);
    Q_INVOKABLE void operationDidFinishWithResult(const QVariant& result, const QVariant& error);

private:
    void setWarningShown(bool shown);
    void createContact();
    void updateContact();
    QVariantMap commonParameters(const char* verb) const;
    void refreshCompletions(const QString& text);

    std::shared_ptr<Mail> m_email;
    bool m_autoFavorite = false;
    bool m_isValid = true;
    QLabel* m_titleLabel = nullptr;
    QLineEdit* m_nameField = nullptr;
    QLineEdit* m_contactField = nullptr;
    QFrame* m_warningArea = nullptr;
    QStandardItemModel* m_completions = nullptr;
    QString m_acceptedText;
};

} // namespace tavrel
