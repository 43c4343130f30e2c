#include "platform/ui/IntegerEdit.h"

#include "platform/NumberText.h"

#include <algorithm>

IntegerEdit::IntegerEdit(QWidget* parent) : NumericFieldBase(parent) {}

void IntegerEdit::Configure(bool allowNegative, bool textMode, std::int32_t minimum, std::int32_t maximum)
{
    setFlags(allowNegative, textMode);
    if (!allowNegative && minimum < 0)
        minimum = 0;
    m_nMin = minimum;
    m_nMax = maximum;
}

void IntegerEdit::SetValue(std::int32_t value)
{
    setText(QString::number(value));
    Reformat();
}

std::int32_t IntegerEdit::GetValue() const
{
    return NumberText::ToInt32(text());
}

QString IntegerEdit::normalizedNumber(const QString& text) const
{
    // Upper bound first, so the minimum wins when the bounds cross.
    const std::int32_t x = std::max(m_nMin, std::min(NumberText::ToInt32(text), m_nMax));
    return QString::number(x);
}
