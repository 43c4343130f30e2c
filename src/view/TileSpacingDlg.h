#pragma once

#include "view/TileLayout.h"

#include "platform/ui/Dialog.h"

class IntegerEdit;
class NumericEdit;

// "Tile Target Spacing": rows, columns and the gaps between the copies of a
// target tiled on one page, held within what fits on the printable area.
class CTileSpacingDlg : public CDialog {
    Q_OBJECT
public:
    enum ControlId {
        IDC_ROW_SPACING = 3057,
        IDC_COL_SPACING = 3058,
        IDC_ROWS = 3059,
        IDC_COLS = 3060,
    };

    explicit CTileSpacingDlg(QWidget* parent = nullptr);

    // Sizes in hundredths of a millimetre.
    void SetLimits(int w, int h, int PW, int PH);
    void SetValues(int nRows, int nCols, int nRowSpacing, int nColSpacing);
    void GetValues(int& nRows, int& nCols, int& nRowSpacing, int& nColSpacing) const;

    const TileSpacingModel& model() const { return m_model; }
    QWidget* GetDlgItem(int id) const;

protected:
    void OnInitDialog() override;

private:
    void OnColsLostFocus();
    void OnRowsLostFocus();
    void OnOK();

    TileSpacingModel m_model;
    IntegerEdit* m_rows = nullptr;
    IntegerEdit* m_cols = nullptr;
    NumericEdit* m_rowSpacing = nullptr;
    NumericEdit* m_colSpacing = nullptr;
};
