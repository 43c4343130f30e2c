#pragma once

#include "platform/ui/NumericEdit.h"

#include <cstdint>

// A field for a whole number within a range. Its text limit is the line
// edit's default.
class IntegerEdit : public NumericFieldBase {
    Q_OBJECT
public:
    explicit IntegerEdit(QWidget* parent = nullptr);

    void Configure(bool allowNegative, bool textMode, std::int32_t minimum, std::int32_t maximum);
    void SetValue(std::int32_t value);
    std::int32_t GetValue() const;

    std::int32_t minimum() const { return m_nMin; }
    std::int32_t maximum() const { return m_nMax; }

protected:
    QString normalizedNumber(const QString& text) const override;
    bool acceptsPoint() const override { return false; }

private:
    std::int32_t m_nMin = 0;
    std::int32_t m_nMax = 0;
};
