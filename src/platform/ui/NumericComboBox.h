#pragma once

#include <QComboBox>

class NumericEdit;

// An editable combo box whose edit part is a NumericEdit. The parameters given
// to Configure reach the field once, when the edit part first paints; the
// field's text is then reformatted with them.
class NumericComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit NumericComboBox(QWidget* parent = nullptr);

    void Configure(int decimals, bool allowNegative, bool textMode, double minimum, double maximum);
    // The text limit of the edit part.
    void LimitText(int maxLength);

    NumericEdit* numericEdit() const { return m_edit; }
    bool isFirstAttach() const { return m_bFirstAttach; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void attach();

    NumericEdit* m_edit = nullptr;
    int m_nDecimals = 4;
    bool m_bAllowNegative = true;
    bool m_bTextMode = true;
    double m_dMin = 0.0;
    double m_dMax = 0.0;
    bool m_bFirstAttach = true;
};
