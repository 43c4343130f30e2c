#include "platform/ui/NumericComboBox.h"

#include "platform/ui/NumericEdit.h"

#include <QEvent>

NumericComboBox::NumericComboBox(QWidget* parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    m_edit = new NumericEdit(this);
    m_edit->setAttached(false);
    setLineEdit(m_edit);
    // Completion would change the text behind the field's back.
    setCompleter(nullptr);
    m_edit->installEventFilter(this);
}

void NumericComboBox::Configure(int decimals, bool allowNegative, bool textMode, double minimum, double maximum)
{
    if (!allowNegative && !(minimum >= 0.0))
        minimum = 0.0;
    m_nDecimals = decimals;
    m_bAllowNegative = allowNegative;
    m_bTextMode = textMode;
    m_dMin = minimum;
    m_dMax = maximum;
}

void NumericComboBox::LimitText(int maxLength)
{
    m_edit->setMaxLength(maxLength);
}

bool NumericComboBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_edit && m_bFirstAttach && event->type() == QEvent::Paint)
        attach();
    return QComboBox::eventFilter(watched, event);
}

void NumericComboBox::attach()
{
    m_bFirstAttach = false;
    m_edit->removeEventFilter(this);
    m_edit->setAttached(true);
    m_edit->Configure(m_nDecimals, m_bAllowNegative, m_bTextMode, m_dMin, m_dMax);
    m_edit->Reformat();
}
