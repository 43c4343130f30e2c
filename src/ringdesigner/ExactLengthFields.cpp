#include "ringdesigner/ExactLengthFields.h"

#include <algorithm>

#include "platform/ui/NumericEdit.h"

void ExactLengthFields::add(NumericEdit* field, double minInches, double maxInches, bool limitText)
{
    Entry entry;
    entry.minInches = minInches;
    entry.maxInches = maxInches;
    entry.limitText = limitText;
    configure(field, entry);
    m_fields.insert(field, entry);
}

void ExactLengthFields::configure(NumericEdit* field, const Entry& entry)
{
    field->Configure(entry.decimals, false, true, entry.minInches / entry.unitInches, entry.maxInches / entry.unitInches);
    if (entry.limitText) field->LimitText();
}

void ExactLengthFields::setUnit(NumericEdit* field, double unitInches, int decimals)
{
    auto it = m_fields.find(field);
    if (it == m_fields.end() || !(unitInches > 0.0)) return;
    const double inches = get(field);
    it->unitInches = unitInches;
    it->decimals = decimals;
    configure(field, *it);
    set(field, inches);
}

void ExactLengthFields::set(NumericEdit* field, double inches)
{
    auto it = m_fields.find(field);
    if (it == m_fields.end()) return;
    it->inches = std::clamp(inches, it->minInches, it->maxInches);
    field->SetValue(it->inches / it->unitInches);
    it->shown = field->text();
}

double ExactLengthFields::get(NumericEdit* field) const
{
    const auto it = m_fields.constFind(field);
    if (it == m_fields.cend()) return 0.0;
    if (field->text() == it->shown) return it->inches;
    return std::clamp(field->GetValue() * it->unitInches, it->minInches, it->maxInches);
}
