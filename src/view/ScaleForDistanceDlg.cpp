#include "view/ScaleForDistanceDlg.h"

#include "platform/MessageBox.h"
#include "platform/NumberText.h"
#include "platform/ui/NumericComboBox.h"
#include "view/DistanceScaleSettings.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

const char* const kDistances[] = {"5", "10", "15", "20", "25", "50", "75", "100", "150", "200", "300", "500", "1000"};
constexpr int kShooterPreselect = 4;  // "25"
constexpr int kTargetPreselect = 7;   // "100"

const char* const kUnitNames[] = {"Yards", "Feet", "Meters"};

QString labelSuffix(int code)
{
    DistanceUnit unit = DistanceUnit::Feet;
    UnitOfCode(code, &unit);
    switch (unit) {
    case DistanceUnit::Meters: return QStringLiteral(" (M)");
    case DistanceUnit::Yards: return QStringLiteral(" (Yds)");
    case DistanceUnit::Feet: break;
    }
    return QStringLiteral(" (ft)");
}

}  // namespace

CScaleForDistanceDlg::CScaleForDistanceDlg(QWidget* parent) : CDialog(parent)
{
    setWindowTitle(QStringLiteral("Scale Target For Distance"));
    setObjectName(QStringLiteral("ScaleForDistanceDlg"));

    auto makeGroup = [this](const QString& title, int firstCode, QRadioButton** radios, QLabel*& label,
                            NumericComboBox*& combo, const QString& labelText) {
        auto* group = new QGroupBox(title, this);
        auto* column = new QVBoxLayout(group);
        column->setContentsMargins(12, 8, 12, 12);
        column->setSpacing(4);
        auto* radioRow = new QHBoxLayout;
        for (int i = 0; i < 3; ++i) {
            radios[i] = new QRadioButton(QString::fromLatin1(kUnitNames[i]), group);
            radios[i]->setObjectName(QString::number(firstCode + i));
            const int code = firstCode + i;
            connect(radios[i], &QRadioButton::clicked, this, [this, code] { OnUnitClicked(code); });
            radioRow->addWidget(radios[i]);
        }
        column->addLayout(radioRow);
        column->addSpacing(8);
        label = new QLabel(labelText, group);
        label->setAlignment(Qt::AlignCenter);
        column->addWidget(label);
        combo = new NumericComboBox(group);
        combo->Configure(1, false, true, 0.0, 1000.0);
        column->addWidget(combo);
        column->addStretch();
        return group;
    };

    QGroupBox* shooter = makeGroup(QStringLiteral("Distance to Shooter"), IDC_SHOOTER_YARDS, m_shooterUnit,
                                   m_shooterLabel, m_shooterCombo, QStringLiteral("Distance to Shooter"));
    QGroupBox* target = makeGroup(QStringLiteral("Scaled Distance to Target"), IDC_TARGET_YARDS, m_targetUnit,
                                  m_targetLabel, m_targetCombo, QStringLiteral("Distance to Target"));
    m_shooterCombo->setObjectName(QString::number(IDC_SHOOTER_DISTANCE));
    m_targetCombo->setObjectName(QString::number(IDC_TARGET_DISTANCE));

    auto* groups = new QHBoxLayout;
    groups->setSpacing(10);
    groups->addWidget(shooter, 1);
    groups->addWidget(target, 1);

    QHBoxLayout* buttons = MakeOkCancelRow([this] { OnOK(); });

    auto* top = new QVBoxLayout(this);
    top->setContentsMargins(12, 12, 12, 12);
    top->addLayout(groups);
    top->addSpacing(8);
    top->addLayout(buttons);
}

QWidget* CScaleForDistanceDlg::GetDlgItem(int id) const
{
    if (id >= IDC_SHOOTER_YARDS && id <= IDC_SHOOTER_METERS)
        return m_shooterUnit[id - IDC_SHOOTER_YARDS];
    if (id >= IDC_TARGET_YARDS && id <= IDC_TARGET_METERS)
        return m_targetUnit[id - IDC_TARGET_YARDS];
    switch (id) {
    case IDC_SHOOTER_DISTANCE: return m_shooterCombo;
    case IDC_TARGET_DISTANCE: return m_targetCombo;
    case IDC_SHOOTER_LABEL: return m_shooterLabel;
    case IDC_TARGET_LABEL: return m_targetLabel;
    case IDOK: return findChild<QPushButton*>(QStringLiteral("ok"));
    case IDCANCEL: return findChild<QPushButton*>(QStringLiteral("cancel"));
    default: return nullptr;
    }
}

void CScaleForDistanceDlg::OnInitDialog()
{
    DistanceSettings settings;
    settings.shooterUnits = m_nShooterUnits;
    settings.targetUnits = m_nTargetUnits;
    settings.shooterDistance = m_dShooterDistance;
    settings.targetDistance = m_dTargetDistance;
    ReadDistanceSettings(settings);
    m_nShooterUnits = settings.shooterUnits;
    m_nTargetUnits = settings.targetUnits;
    m_dShooterDistance = settings.shooterDistance;
    m_dTargetDistance = settings.targetDistance;

    for (int i = 0; i < 3; ++i) {
        m_shooterUnit[i]->setChecked(m_nShooterUnits == IDC_SHOOTER_YARDS + i);
        m_targetUnit[i]->setChecked(m_nTargetUnits == IDC_TARGET_YARDS + i);
    }

    auto fill = [](NumericComboBox* combo, double distance, int preselect) {
        combo->LimitText(10);
        for (const char* text : kDistances)
            combo->addItem(QString::fromLatin1(text));
        if (distance == 0.0)
            combo->setCurrentIndex(preselect);
        else
            combo->setEditText(FormatComboDistance(distance));
    };
    fill(m_shooterCombo, m_dShooterDistance, kShooterPreselect);
    fill(m_targetCombo, m_dTargetDistance, kTargetPreselect);
    UpdateLabels();
}

void CScaleForDistanceDlg::UpdateLabels()
{
    m_shooterLabel->setText(QStringLiteral("Distance to Shooter") + labelSuffix(m_nShooterUnits));
    m_targetLabel->setText(QStringLiteral("Distance to Target") + labelSuffix(m_nTargetUnits));
}

void CScaleForDistanceDlg::OnUnitClicked(int code)
{
    if (code >= IDC_SHOOTER_YARDS && code <= IDC_SHOOTER_METERS)
        m_nShooterUnits = code;
    else
        m_nTargetUnits = code;
    UpdateLabels();
}

void CScaleForDistanceDlg::SaveControls()
{
    m_dShooterDistance = NumberText::ToReal(m_shooterCombo->currentText());
    m_dTargetDistance = NumberText::ToReal(m_targetCombo->currentText());
    for (int i = 0; i < 3; ++i) {
        if (m_shooterUnit[i]->isChecked())
            m_nShooterUnits = IDC_SHOOTER_YARDS + i;
        if (m_targetUnit[i]->isChecked())
            m_nTargetUnits = IDC_TARGET_YARDS + i;
    }
}

void CScaleForDistanceDlg::OnOK()
{
    SaveControls();
    DistanceInput input;
    input.shooterDistance = m_dShooterDistance;
    input.shooterUnits = m_nShooterUnits;
    input.targetDistance = m_dTargetDistance;
    input.targetUnits = m_nTargetUnits;
    input.targetHeight = m_dTargetHeight;
    double scale = 1.0;
    const DistanceCheck check = CheckDistanceScale(input, &scale);
    if (check != DistanceCheck::Ok) {
        ShowMessage(DistanceCheckMessage(check), DistanceCheckCaption(check), MsgButtons::Ok,
                    check == DistanceCheck::InvalidHeight ? MsgIcon::Error : MsgIcon::Warning);
        if (check == DistanceCheck::InvalidHeight)
            reject();
        return;
    }
    m_dScale = scale;
    accept();
    DistanceSettings settings;
    settings.shooterUnits = m_nShooterUnits;
    settings.targetUnits = m_nTargetUnits;
    settings.shooterDistance = m_dShooterDistance;
    settings.targetDistance = m_dTargetDistance;
    WriteDistanceSettings(settings);
}

void CScaleForDistanceDlg::GetShooterUnitSuffix(QString& suffix) const
{
    UnitSuffixOfCode(m_nShooterUnits, suffix);
}

void CScaleForDistanceDlg::GetTargetUnitSuffix(QString& suffix) const
{
    UnitSuffixOfCode(m_nTargetUnits, suffix);
}
