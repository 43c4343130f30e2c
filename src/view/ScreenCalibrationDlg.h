#pragma once

#include <QWidget>

#include "platform/ui/Dialog.h"

class NumericEdit;
class QLabel;
class QRadioButton;
class QScreen;

// The bar of Screen Calibration: a black bar from the left margin whose
// right end the user drags (or moves with the arrow keys, Shift for ten
// pixels) until it is as long as the card or ruler held against the screen.
class CalibrationBar : public QWidget {
    Q_OBJECT
public:
    static constexpr int MARGIN = 12;

    explicit CalibrationBar(QWidget* parent = nullptr);
    double Length() const { return m_length; }
    void SetLength(double pixels);

signals:
    void lengthChanged(double pixels);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    double m_length = 0;
};

// "Screen Calibration": makes "100% (Full Size)" true on this screen. The
// user holds a credit card (85.60 mm) or a ruler against the screen and
// drags the bar to its length; OK stores the screen's pixels per inch for
// this screen, Reset goes back to what the screen reports.
class CScreenCalibrationDlg : public CDialog {
    Q_OBJECT
public:
    static constexpr double CARD_MM = 85.60;

    explicit CScreenCalibrationDlg(QScreen* screen, QWidget* parent = nullptr);

    // The pixels per inch the bar and the length give.
    double PixelsPerInch() const;
    // The length the bar stands for, in millimetres.
    double LengthMm() const;
    CalibrationBar* Bar() const { return m_bar; }
    NumericEdit* RulerField() const { return m_ruler; }
    QRadioButton* RulerButton() const { return m_rulerButton; }

    void OnReset();

private:
    void lengthChosen();
    void setPixelsPerInch(double ppi);
    void updateText();
    void OnOK();

    QScreen* m_screen = nullptr;
    CalibrationBar* m_bar = nullptr;
    QRadioButton* m_cardButton = nullptr;
    QRadioButton* m_rulerButton = nullptr;
    NumericEdit* m_ruler = nullptr;
    QLabel* m_result = nullptr;
    QLabel* m_stored = nullptr;
    double m_lengthMm = CARD_MM;  // what the bar stands for now
};
