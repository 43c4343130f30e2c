#pragma once

#include "view/DistanceScale.h"

#include "platform/ui/Dialog.h"

class NumericComboBox;
class QLabel;
class QRadioButton;

// "Scale Target For Distance": the shooter's distance and the distance the
// target is made for, each with its unit. The caller sets m_dTargetHeight
// and runs DoModal; after IDOK the fields hold the accepted distances, their
// units and the scale, and the settings file has them.
class CScaleForDistanceDlg : public CDialog {
    Q_OBJECT
public:
    enum ControlId {
        IDC_SHOOTER_DISTANCE = 3018,
        IDC_TARGET_DISTANCE = 3050,
        IDC_SHOOTER_LABEL = 3051,
        IDC_TARGET_LABEL = 3052,
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

protected:
    void OnInitDialog() override;

private:
    void UpdateLabels();
    void SaveControls();
    void OnOK();
    void OnUnitClicked(int code);

    QRadioButton* m_shooterUnit[3] = {};
    QRadioButton* m_targetUnit[3] = {};
    QLabel* m_shooterLabel = nullptr;
    QLabel* m_targetLabel = nullptr;
    NumericComboBox* m_shooterCombo = nullptr;
    NumericComboBox* m_targetCombo = nullptr;
};
