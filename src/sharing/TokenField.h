#pragma once

#include "sharing/ShareTokens.h"

#include <QPointer>
#include <QWidget>
#include <functional>

class QCompleter;
class QLabel;
class QLineEdit;
class QStringListModel;

namespace tavrel {

// The people field of the sharing dialogs: finished entries are drawn as tokens (a person or an
// address as a rounded token, plain text as underlined text that is not an address), followed by the
// text being typed. Completions appear at once as the user types; Return, a comma, a semicolon, Tab
// with text, choosing a completion or leaving the field finish the text into a token, and Backspace
// in an empty entry removes the last token. The field asks its owner for completions and tokens.
class TokenField : public QWidget
{
    Q_OBJECT
public:
    using Completions = std::function<QStringList(const QString& substring)>;
    using Tokenizer = std::function<ShareToken(const QString& text)>;

    explicit TokenField(QWidget* parent = nullptr);
    ~TokenField() override;

    void setCompletions(Completions completions) { m_completions = std::move(completions); }
    void setTokenizer(Tokenizer tokenizer) { m_tokenizer = std::move(tokenizer); }
    void setPlaceholderText(const QString& text);

    const QList<ShareToken>& tokens() const { return m_tokens; }
    void setTokens(const QList<ShareToken>& tokens);
    // Finishes the text being typed into a token, if any.
    void tokenizeEditingText();
    // Removes every token and the typed text.
    void clear();
    QString editingText() const;
    QLineEdit* editor() const { return m_editor; }
    QCompleter* completer() const { return m_completer; }
    // The token widgets, in order (tests and the gallery).
    QList<QLabel*> tokenLabels() const { return m_labels; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

signals:
    void tokensChanged();
    // Return in an empty entry: the dialog's default button.
    void submitted();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void rebuildLabels();
    // Places the tokens and the editor in rows; answers the height they take.
    int layoutItems(int width, bool apply);
    void updateCompletions(const QString& text);

    QList<ShareToken> m_tokens;
    QList<QLabel*> m_labels;
    QLineEdit* m_editor = nullptr;
    QCompleter* m_completer = nullptr;
    QStringListModel* m_completionModel = nullptr;
    Completions m_completions;
    Tokenizer m_tokenizer;
    bool m_tokenizing = false;
};

} // namespace tavrel
