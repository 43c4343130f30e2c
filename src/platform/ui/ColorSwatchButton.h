#pragma once

#include <QBrush>
#include <QPushButton>

#include <cstdint>

// A push button that shows a colour. Enabled it is filled with the colour and
// carries no text; disabled it shows its text embossed on the button face.
// Colours are Windows colour values 0x00BBGGRR.
class ColorSwatchButton : public QPushButton {
    Q_OBJECT
public:
    explicit ColorSwatchButton(QWidget* parent = nullptr);
    explicit ColorSwatchButton(const QString& text, QWidget* parent = nullptr);

    void SetColor(std::uint32_t color);
    std::uint32_t GetColor() const { return m_crColor; }

    // The default-button flag is the push button's own default state, which
    // the dialog moves between its buttons; the drawing stays ours in both.
    bool isDefaultButton() const { return isDefault(); }

    static QColor toQColor(std::uint32_t color);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    void init();

    QBrush m_brBlack;
    QBrush m_brFace;
    std::uint32_t m_crColor = 0x00FF0000;  // RGB(0, 0, 255)
};
