#pragma once

#include "view/DistanceScale.h"

#include "platform/ui/Dialog.h"

class CTargetDesign;
class NumericComboBox;
class QComboBox;
class QLabel;
class QRadioButton;

// "Scale Target For Distance": the shooter's distance and the distance the
// target is made for, each with its unit. The caller sets m_dTargetHeight
// and runs DoModal; after IDOK the fields hold the accepted distances, their
// units and the scale, and the settings file has them.
// A ring design (m_pDesign) can also be corrected for a calibre: the calibre
// row offers it, lists the rings that print as the centre dot, and OK refuses
// a distance at which the outermost scoring ring vanishes. For a picture the
// row only says that proportional scaling is all there is.
class CScaleForDistanceDlg : public CDialog {
    Q_OBJECT
public:
    enum ControlId {
        IDC_SHOOTER_DISTANCE = 3018,
        IDC_TARGET_DISTANCE = 3050,
        IDC_SHOOTER_LABEL = 3051,
        IDC_TARGET_LABEL = 3052,
        IDC_CALIBRE = 3060,
        IDC_CALIBRE_UNIT = 3061,
        IDC_CALIBRE_NOTE = 3062,
    };

    explicit CScaleForDistanceDlg(QWidget* parent = nullptr);


    void GetShooterUnitSuffix(QString& suffix) const;
    void GetTargetUnitSuffix(QString& suffix) const;

    // The controls by their identifiers (the unit codes for the radio buttons,
    // IDOK and IDCANCEL for the buttons).
    QWidget* GetDlgItem(int id) const;

    int m_nShooterUnits = IDC_SHOOTER_YARDS;
    int m_nTargetUnits = IDC_TARGET_YARDS;
    double m_dShooterDistance = 0.0;
    double m_dTargetDistance = 0.0;
    double m_dTargetHeight = 0.0;
    double m_dScale = 1.0;
    // The ring design to correct, or null for a picture; the calibre chosen.
    const CTargetDesign* m_pDesign = nullptr;
    Calibre m_calibre;

protected:
    void OnInitDialog() override;

private:
    void UpdateLabels();
    void SaveControls();
    void OnOK();
    void OnUnitClicked(int code);
    void FillCalibreList(bool inches);
    void OnCalibreUnitChanged();
    // The input the controls describe now; false when the calibre's text is
    // not a calibre.
    bool ReadInput(DistanceInput* input);
    void UpdateCalibreNote();

    QRadioButton* m_shooterUnit[3] = {};
    QRadioButton* m_targetUnit[3] = {};
    QLabel* m_shooterLabel = nullptr;
    QLabel* m_targetLabel = nullptr;
    NumericComboBox* m_shooterCombo = nullptr;
    NumericComboBox* m_targetCombo = nullptr;
    QComboBox* m_calibreCombo = nullptr;
    QComboBox* m_calibreUnit = nullptr;
    QLabel* m_calibreNote = nullptr;
};
