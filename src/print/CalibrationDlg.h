#pragma once

#include "platform/ui/Dialog.h"
#include "print/PrinterCalibration.h"
#include "print/PrinterSettings.h"
#include "print/CalibrationSheet.h"

#include <optional>

class NumericEdit;
class QLabel;
class QPushButton;
class QRadioButton;

// "Printer Calibration": prints the calibration sheet on the application's
// printer and turns the two lengths the user measured on it into the
// printer's correction, kept per queue, paper and orientation. OK stores the
// correction, Reset removes it. PDF output is shown as exact, with nothing
// to enter.
class CCalibrationDlg : public CDialog {
    Q_OBJECT
public:
    explicit CCalibrationDlg(const PrinterSettings& printer, QWidget* parent = nullptr);

    // Measures in millimetres or inches; switching keeps the correction.
    void SetInches(bool inches);
    bool IsInches() const { return m_bInches; }
    // The correction the fields give; nothing while a field is out of range.
    std::optional<PageCorrection> Correction() const;

    NumericEdit* HorizontalField() const { return m_horizontal; }
    NumericEdit* VerticalField() const { return m_vertical; }
    QLabel* CorrectionLabel() const { return m_correctionLabel; }
    QPushButton* ResetButton() const { return m_reset; }

    void OnReset();

private:
    // The nominal lengths of the two rulers in the current unit.
    double nominalX() const;
    double nominalY() const;
    void configureFields(const PageCorrection& keep);
    void updateCorrection();
    void printSheet();
    void OnOK();

    PrinterSettings m_printer;
    CalibrationSheetLayout m_sheet;
    bool m_bInches = false;
    NumericEdit* m_horizontal = nullptr;
    NumericEdit* m_vertical = nullptr;
    QLabel* m_horizontalLabel = nullptr;
    QLabel* m_verticalLabel = nullptr;
    QLabel* m_correctionLabel = nullptr;
    QLabel* m_storedLabel = nullptr;
    QRadioButton* m_mm = nullptr;
    QRadioButton* m_in = nullptr;
    QPushButton* m_reset = nullptr;
};
