#pragma once

#include <QLineEdit>

// What the numeric entry fields share: the filter on typed characters, the
// text-placeholder mode with its pending clear, and the normalisation of every
// text the program sets and of the text at loss of focus. Typing itself is not
// normalised, so a number can be entered digit by digit.
class NumericFieldBase : public QLineEdit {
    Q_OBJECT
public:
    explicit NumericFieldBase(QWidget* parent = nullptr);

    bool allowsNegative() const { return m_bAllowNegative; }
    bool isTextPlaceholderMode() const { return m_bTextMode; }
    bool isPendingClear() const { return m_bPendingClear; }

    // Runs the set-text handling on the current text, as a loss of focus does.
    void Reformat();

    // A detached field is a plain line edit: no filter, no normalisation. The
    // combo box keeps its field detached until the field first paints.
    void setAttached(bool attached) { m_bAttached = attached; }
    bool isAttached() const { return m_bAttached; }

signals:
    // Emitted after the field has normalised its text on losing the focus.
    void focusLost();
    // Emitted with the beep for a character the field drops.
    void characterRefused(int ch);

protected:
    // The text a number field shows for a text it was given.
    virtual QString normalizedNumber(const QString& text) const = 0;
    virtual bool acceptsPoint() const = 0;

    void setFlags(bool allowNegative, bool textMode);

    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // The character the keystroke types, as the platform's character message
    // would carry it (8 for backspace, 1 to 26 for Ctrl with a letter, 22 for
    // every paste shortcut and so on); -1 for keys that type nothing.
    static int typedCharacter(const QKeyEvent* event);
    bool acceptsCharacter(int ch) const;
    void onTextChanged(const QString& text);
    void applySetText(const QString& text);

    bool m_bAttached = true;
    bool m_bAllowNegative = true;
    bool m_bTextMode = true;
    bool m_bPendingClear = false;
    bool m_bUserEdit = false;
    bool m_bInSetText = false;
};

// A field for a real number within a range, shown with a fixed number of
// decimals.
class NumericEdit : public NumericFieldBase {
    Q_OBJECT
public:
    explicit NumericEdit(QWidget* parent = nullptr);

    void Configure(int decimals, bool allowNegative, bool textMode, double minimum, double maximum);
    // The text limit: one more than the longer of the two bounds as shown.
    void LimitText();
    void SetValue(double value);
    double GetValue() const;

    int decimals() const { return m_nDecimals; }
    double minimum() const { return m_dMin; }
    double maximum() const { return m_dMax; }

protected:
    QString normalizedNumber(const QString& text) const override;
    bool acceptsPoint() const override { return m_nDecimals != 0; }

private:
    short m_nDecimals = 4;
    double m_dMin = 0.0;
    double m_dMax = 0.0;
};
