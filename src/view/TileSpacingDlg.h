#pragma once

#include "view/TileLayout.h"

#include <QDialog>

class IntegerEdit;
class NumericEdit;

// "Tile Target Spacing": rows, columns and the gaps between the copies of a
// target tiled on one page, held within what fits on the printable area.
class CTileSpacingDlg : public QDialog {
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
    // IDOK or IDCANCEL.
    int DoModal();
    void GetValues(int& nRows, int& nCols, int& nRowSpacing, int& nColSpacing) const;

    const TileSpacingModel& model() const { return m_model; }
    QWidget* GetDlgItem(int id) const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OnInitDialog();
    void OnColsLostFocus();
    void OnRowsLostFocus();
    void OnOK();

    TileSpacingModel m_model;
    bool m_bInitialised = false;
    IntegerEdit* m_rows = nullptr;
    IntegerEdit* m_cols = nullptr;
    NumericEdit* m_rowSpacing = nullptr;
    NumericEdit* m_colSpacing = nullptr;
};
