#include "sharing/TokenField.h"

#include "platform/ui/StringTable.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QRegularExpression>
#include <QStringListModel>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTimer>

namespace tavrel {

namespace {
constexpr int kMargin = 4;
constexpr int kSpacing = 4;
constexpr int kRowHeight = 24;
constexpr int kMinimumEditorWidth = 80;
} // namespace

TokenField::TokenField(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("tokenField"));
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
    setCursor(Qt::IBeamCursor);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    m_editor = new QLineEdit(this);
    m_editor->setObjectName(QStringLiteral("tokenEditor"));
    m_editor->setFrame(false);
    m_editor->setAttribute(Qt::WA_MacShowFocusRect, false);
    m_editor->installEventFilter(this);
    setFocusProxy(m_editor);

    m_completionModel = new QStringListModel(this);
    m_completer = new QCompleter(m_completionModel, this);
    // The list holds only what matched the typed text already: show all of it, at once.
    m_completer->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    m_completer->setCaseSensitivity(Qt::CaseInsensitive);
    m_completer->setWidget(m_editor);
    connect(m_completer, qOverload<const QString&>(&QCompleter::activated), this,
            [this](const QString& text) {
                m_editor->setText(text);
                // After the completer has written its text into the editor.
                QTimer::singleShot(0, this, &TokenField::tokenizeEditingText);
            });
    connect(m_editor, &QLineEdit::textEdited, this, &TokenField::updateCompletions);
}

TokenField::~TokenField() = default;

void TokenField::setPlaceholderText(const QString& text)
{
    m_editor->setPlaceholderText(text);
}

QString TokenField::editingText() const
{
    return m_editor->text();
}

void TokenField::setTokens(const QList<ShareToken>& tokens)
{
    m_tokens = tokens;
    rebuildLabels();
    emit tokensChanged();
}

void TokenField::clear()
{
    m_editor->clear();
    if (m_completer->popup())
        m_completer->popup()->hide();
    setTokens({});
}

void TokenField::tokenizeEditingText()
{
    if (m_tokenizing)
        return;
    m_tokenizing = true;
    QList<ShareToken> added;
    for (const QString& part : m_editor->text().split(QRegularExpression(QStringLiteral("[,;]")))) {
        const QString text = part.trimmed();
        if (text.isEmpty())
            continue;
        added.append(m_tokenizer ? m_tokenizer(text) : ShareToken::plainText(text));
    }
    m_editor->clear();
    if (m_completer->popup())
        m_completer->popup()->hide();
    m_tokenizing = false;
    if (!added.isEmpty())
        setTokens(m_tokens + added);
}

void TokenField::updateCompletions(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || !m_completions) {
        m_completionModel->setStringList({});
        if (m_completer->popup())
            m_completer->popup()->hide();
        return;
    }
    const QStringList found = m_completions(trimmed);
    m_completionModel->setStringList(found);
    if (found.isEmpty()) {
        m_completer->popup()->hide();
        return;
    }
    m_completer->setCompletionPrefix(QString());
    m_completer->complete();
}

bool TokenField::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_editor && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool popupOpen = m_completer->popup() && m_completer->popup()->isVisible();
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (popupOpen) {
                // The highlighted completion, else the text as typed.
                const QModelIndex chosen = m_completer->popup()->currentIndex();
                if (chosen.isValid())
                    m_editor->setText(chosen.data().toString());
                m_completer->popup()->hide();
            }
            if (!m_editor->text().trimmed().isEmpty()) {
                tokenizeEditingText();
                return true;
            }
            emit submitted();
            return true;
        case Qt::Key_Comma:
        case Qt::Key_Semicolon:
            tokenizeEditingText();
            return true;
        case Qt::Key_Tab:
            if (!m_editor->text().trimmed().isEmpty()) {
                tokenizeEditingText();
                return true;
            }
            return false;
        case Qt::Key_Backspace:
            if (m_editor->text().isEmpty() && !m_tokens.isEmpty()) {
                m_tokens.removeLast();
                rebuildLabels();
                emit tokensChanged();
                return true;
            }
            return false;
        default:
            return false;
        }
    }
    if (watched == m_editor && event->type() == QEvent::FocusOut) {
        auto* focus = static_cast<QFocusEvent*>(event);
        // The completion list takes the focus for a moment: that is not leaving the field.
        if (focus->reason() != Qt::PopupFocusReason)
            tokenizeEditingText();
    }
    return QWidget::eventFilter(watched, event);
}

void TokenField::rebuildLabels()
{
    qDeleteAll(m_labels);
    m_labels.clear();
    for (const ShareToken& token : std::as_const(m_tokens)) {
        auto* label = new QLabel(token.displayString(), this);
        label->setObjectName(token.isPerson() ? QStringLiteral("personToken") : QStringLiteral("textToken"));
        label->setProperty("isPerson", token.isPerson());
        if (token.isPerson()) {
            label->setStyleSheet(QStringLiteral("QLabel { background: #dce8fb; border: 1px solid #9dbbe9;"
                                                " border-radius: 9px; padding: 1px 7px; color: #1b2a40; }"));
        } else {
            // Not an address: nothing is shared with it, and the user must see why.
            label->setStyleSheet(QStringLiteral("QLabel { color: #b3261e; text-decoration: underline;"
                                                " padding: 1px 2px; }"));
            label->setToolTip(StringTable::text(QStringLiteral("TokenNotAnAddress")));
        }
        label->show();
        m_labels.append(label);
    }
    layoutItems(width(), true);
    updateGeometry();
    update();
}

int TokenField::layoutItems(int width, bool apply)
{
    int x = kMargin;
    int y = kMargin;
    const int right = qMax(width - kMargin, kMargin + kMinimumEditorWidth);
    for (QLabel* label : std::as_const(m_labels)) {
        const QSize size(qMin(label->sizeHint().width(), right - kMargin),
                         qMin(label->sizeHint().height(), kRowHeight - 2));
        if (x > kMargin && x + size.width() > right) {
            x = kMargin;
            y += kRowHeight;
        }
        if (apply)
            label->setGeometry(x, y + (kRowHeight - size.height()) / 2, size.width(), size.height());
        x += size.width() + kSpacing;
    }
    if (x > kMargin && right - x < kMinimumEditorWidth) {
        x = kMargin;
        y += kRowHeight;
    }
    if (apply)
        m_editor->setGeometry(x, y, right - x, kRowHeight);
    return y + kRowHeight + kMargin;
}

int TokenField::heightForWidth(int width) const
{
    return const_cast<TokenField*>(this)->layoutItems(width, false);
}

QSize TokenField::sizeHint() const
{
    const int w = width() > 0 ? width() : 300;
    return {300, heightForWidth(w)};
}

QSize TokenField::minimumSizeHint() const
{
    return {kMinimumEditorWidth + 2 * kMargin, kRowHeight + 2 * kMargin};
}

void TokenField::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutItems(width(), true);
}

void TokenField::mousePressEvent(QMouseEvent* event)
{
    m_editor->setFocus(Qt::MouseFocusReason);
    QWidget::mousePressEvent(event);
}

void TokenField::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QStyleOptionFrame option;
    option.initFrom(this);
    option.lineWidth = 1;
    option.midLineWidth = 0;
    option.state |= QStyle::State_Sunken;
    if (m_editor->hasFocus())
        option.state |= QStyle::State_HasFocus;
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &option, &painter, this);
}

} // namespace tavrel
