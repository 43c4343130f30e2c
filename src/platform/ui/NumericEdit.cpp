#include "platform/ui/NumericEdit.h"

#include "platform/NumberText.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMenu>

#include <algorithm>
#include <cmath>

namespace {
constexpr int kCopy = 3;
constexpr int kPaste = 22;
constexpr int kCut = 24;
constexpr int kRedo = 25;
constexpr int kUndo = 26;
constexpr int kBackspace = 8;
}  // namespace

NumericFieldBase::NumericFieldBase(QWidget* parent) : QLineEdit(parent)
{
    // A dropped text would bypass the character filter.
    setAcceptDrops(false);
    connect(this, &QLineEdit::textEdited, this, [this] { m_bUserEdit = true; });
    connect(this, &QLineEdit::textChanged, this, &NumericFieldBase::onTextChanged);
}

void NumericFieldBase::setFlags(bool allowNegative, bool textMode)
{
    m_bAllowNegative = allowNegative;
    m_bTextMode = textMode;
}

int NumericFieldBase::typedCharacter(const QKeyEvent* event)
{
    if (event->matches(QKeySequence::Paste))
        return kPaste;
    if (event->matches(QKeySequence::Copy))
        return kCopy;
    if (event->matches(QKeySequence::Cut))
        return kCut;
    if (event->matches(QKeySequence::Undo))
        return kUndo;
    if (event->matches(QKeySequence::Redo))
        return kRedo;
    const Qt::KeyboardModifiers mods = event->modifiers();
    const int key = event->key();
    if ((mods & Qt::ControlModifier) && !(mods & Qt::AltModifier) && key >= Qt::Key_A && key <= Qt::Key_Z)
        return key - Qt::Key_A + 1;
    if (key == Qt::Key_Backspace)
        return kBackspace;
    // Enter, Escape and Tab belong to the dialog, not to the field.
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape || key == Qt::Key_Tab
        || key == Qt::Key_Backtab)
        return -1;
    const QString text = event->text();
    if (text.isEmpty() || mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return -1;
    const char16_t c = text.at(0).unicode();
    if (c < 32 || c == 127)
        return -1;
    return c;
}

bool NumericFieldBase::acceptsCharacter(int ch) const
{
    if ((ch >= '0' && ch <= '9') || ch == kBackspace)
        return true;
    if (ch == '-')
        return m_bAllowNegative;
    if (ch == '.')
        return acceptsPoint();
    if (ch == kCopy || ch == kPaste || ch == kCut || ch == kRedo || ch == kUndo)
        return m_bTextMode;
    return false;
}

void NumericFieldBase::keyPressEvent(QKeyEvent* event)
{
    const int ch = typedCharacter(event);
    if (!m_bAttached || ch < 0 || isReadOnly()) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (!acceptsCharacter(ch)) {
        QApplication::beep();
        emit characterRefused(ch);
        event->accept();
        return;
    }
    if (m_bTextMode && NumberText::HasWordCharacter(text())) {
        m_bPendingClear = true;
        setText(QString());
    }
    switch (ch) {
    case kCopy: copy(); break;
    case kPaste: paste(); break;
    case kCut: cut(); break;
    case kUndo: undo(); break;
    case kRedo: redo(); break;
    default: QLineEdit::keyPressEvent(event); break;
    }
    event->accept();
}

void NumericFieldBase::focusOutEvent(QFocusEvent* event)
{
    // A context menu opening over the field is not a loss of focus.
    if (m_bAttached && event->reason() != Qt::PopupFocusReason) {
        Reformat();
        QLineEdit::focusOutEvent(event);
        emit focusLost();
        return;
    }
    QLineEdit::focusOutEvent(event);
}

void NumericFieldBase::contextMenuEvent(QContextMenuEvent* event)
{
    // The menu's editing entries are held to the same rule as their keys.
    QMenu* menu = createStandardContextMenu();
    if (m_bAttached && (!m_bTextMode || isReadOnly())) {
        for (QAction* action : menu->actions()) {
            const QString name = action->objectName();
            if (name == QLatin1String("edit-undo") || name == QLatin1String("edit-redo")
                || name == QLatin1String("edit-cut") || name == QLatin1String("edit-paste")
                || name == QLatin1String("edit-delete"))
                action->setEnabled(false);
        }
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void NumericFieldBase::changeEvent(QEvent* event)
{
    // A read-only field shows the dialog's face behind its text, so the user
    // sees that it takes no input.
    if (event->type() == QEvent::ReadOnlyChange) {
        QPalette p = palette();
        p.setColor(QPalette::Base, isReadOnly() ? QApplication::palette(this).color(QPalette::Window)
                                                : QApplication::palette(this).color(QPalette::Base));
        setPalette(p);
    }
    QLineEdit::changeEvent(event);
}

void NumericFieldBase::Reformat()
{
    applySetText(text());
}

void NumericFieldBase::onTextChanged(const QString& newText)
{
    if (m_bUserEdit) {
        m_bUserEdit = false;
        return;
    }
    if (m_bInSetText || !m_bAttached)
        return;
    applySetText(newText);
}

void NumericFieldBase::applySetText(const QString& given)
{
    QString result;
    if (m_bPendingClear) {
        m_bPendingClear = false;
    } else if (m_bTextMode && NumberText::HasWordCharacter(given)) {
        result = given;
    } else {
        result = normalizedNumber(given);
    }
    if (result != text()) {
        m_bInSetText = true;
        setText(result);
        m_bInSetText = false;
    }
}

NumericEdit::NumericEdit(QWidget* parent) : NumericFieldBase(parent) {}

void NumericEdit::Configure(int decimals, bool allowNegative, bool textMode, double minimum, double maximum)
{
    // More decimals than a double holds would only show noise.
    m_nDecimals = short(std::clamp(decimals, 0, 17));
    setFlags(allowNegative, textMode);
    if (!allowNegative && !(minimum >= 0.0))
        minimum = 0.0;
    m_dMin = minimum;
    m_dMax = maximum;
}

void NumericEdit::LimitText()
{
    const qsizetype longer = std::max(NumberText::FormatFixed(m_dMax, m_nDecimals).size(),
                                      NumberText::FormatFixed(m_dMin, m_nDecimals).size());
    setMaxLength(int(1 + longer));
}

void NumericEdit::SetValue(double value)
{
    setText(NumberText::FormatLf(value));
    Reformat();
}

double NumericEdit::GetValue() const
{
    return NumberText::ToReal(text());
}

QString NumericEdit::normalizedNumber(const QString& text) const
{
    double x = NumberText::ToReal(text);
    if (!(x < m_dMax))
        x = m_dMax;
    if (!(x > m_dMin))
        x = m_dMin;
    return NumberText::FormatFixed(x, m_nDecimals);
}
