#include "view/ScaleForDistanceDlg.h"

#include "platform/MessageBox.h"
#include "platform/NumberText.h"
#include "platform/Units.h"
#include "platform/ui/NumericComboBox.h"
#include "view/DistanceScaleSettings.h"

#include <QComboBox>
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

// The common calibres, each in both units, with what it is called.
struct CommonCalibre {
    double mm;
    double inches;
    const char* note;
};
const CommonCalibre kCalibres[] = {
    {4.5, 0.177, "air"},   {5.6, 0.22, ".22"}, {5.56, 0.219, ""}, {6.0, 0.236, ""},
    {7.62, 0.3, ".30"},    {9.0, 0.354, ""},   {11.43, 0.45, ".45"},
};

QString calibreEntry(const CommonCalibre& c, bool inches)
{
    const QString size = FormatCalibre({inches ? c.inches : c.mm, inches});
    if (inches) {
        const QString mm = FormatCalibre({c.mm, false});
        return *c.note ? QStringLiteral("%1 (%2, %3)").arg(size, QString::fromLatin1(c.note), mm)
                       : QStringLiteral("%1 (%2)").arg(size, mm);
    }
    return *c.note ? QStringLiteral("%1 (%2)").arg(size, QString::fromLatin1(c.note)) : size;
}

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

    auto* calibre = new QGroupBox(QStringLiteral("Calibre"), this);
    auto* calibreColumn = new QVBoxLayout(calibre);
    calibreColumn->setContentsMargins(12, 8, 12, 12);
    auto* calibreRow = new QHBoxLayout;
    m_calibreCombo = new QComboBox(calibre);
    m_calibreCombo->setEditable(true);
    m_calibreCombo->setInsertPolicy(QComboBox::NoInsert);
    m_calibreCombo->setObjectName(QString::number(IDC_CALIBRE));
    m_calibreCombo->setMinimumContentsLength(22);
    m_calibreUnit = new QComboBox(calibre);
    m_calibreUnit->addItem(QStringLiteral("mm"));
    m_calibreUnit->addItem(QStringLiteral("in"));
    m_calibreUnit->setObjectName(QString::number(IDC_CALIBRE_UNIT));
    calibreRow->addWidget(m_calibreCombo, 1);
    calibreRow->addWidget(m_calibreUnit);
    calibreColumn->addLayout(calibreRow);
    m_calibreNote = new QLabel(calibre);
    m_calibreNote->setObjectName(QString::number(IDC_CALIBRE_NOTE));
    m_calibreNote->setWordWrap(true);
    m_calibreNote->setMinimumHeight(4 * m_calibreNote->fontMetrics().lineSpacing());
    m_calibreNote->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    calibreColumn->addWidget(m_calibreNote);
    connect(m_calibreUnit, &QComboBox::currentIndexChanged, this, [this] { OnCalibreUnitChanged(); });
    connect(m_calibreCombo, &QComboBox::currentTextChanged, this, [this] { UpdateCalibreNote(); });
    for (NumericComboBox* combo : {m_shooterCombo, m_targetCombo})
        connect(combo, &QComboBox::currentTextChanged, this, [this] { UpdateCalibreNote(); });

    QHBoxLayout* buttons = MakeOkCancelRow([this] { OnOK(); });

    auto* top = new QVBoxLayout(this);
    top->setContentsMargins(12, 12, 12, 12);
    top->addLayout(groups);
    top->addWidget(calibre);
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
    case IDC_CALIBRE: return m_calibreCombo;
    case IDC_CALIBRE_UNIT: return m_calibreUnit;
    case IDC_CALIBRE_NOTE: return m_calibreNote;
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
    m_calibre = settings.calibre;

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

    // A picture's rings are not known: the row says so instead.
    m_calibreCombo->setVisible(m_pDesign != nullptr);
    m_calibreUnit->setVisible(m_pDesign != nullptr);
    {
        const QSignalBlocker block(m_calibreUnit);
        m_calibreUnit->setCurrentIndex(m_calibre.inches ? 1 : 0);
    }
    FillCalibreList(m_calibre.inches);
    int entry = m_calibre.isSet() ? -1 : 0;
    for (int i = 0; i < int(std::size(kCalibres)) && entry < 0; ++i)
        if ((m_calibre.inches ? kCalibres[i].inches : kCalibres[i].mm) == m_calibre.value) entry = i + 1;
    if (entry >= 0)
        m_calibreCombo->setCurrentIndex(entry);
    else
        m_calibreCombo->setEditText(FormatCalibre(m_calibre));
    UpdateCalibreNote();
}

void CScaleForDistanceDlg::FillCalibreList(bool inches)
{
    const QSignalBlocker block(m_calibreCombo);
    m_calibreCombo->clear();
    m_calibreCombo->addItem(QStringLiteral("None"));
    for (const CommonCalibre& c : kCalibres) m_calibreCombo->addItem(calibreEntry(c, inches));
}

void CScaleForDistanceDlg::OnCalibreUnitChanged()
{
    const bool inches = m_calibreUnit->currentIndex() == 1;
    const int entry = m_calibreCombo->findText(m_calibreCombo->currentText());
    Calibre typed;
    const bool parsed = ParseCalibre(m_calibreCombo->currentText(), !inches, &typed);
    const QString text = m_calibreCombo->currentText();
    FillCalibreList(inches);
    if (entry >= 0) {
        m_calibreCombo->setCurrentIndex(entry);
    } else if (parsed && typed.isSet()) {
        const double step = inches ? 1000.0 : 100.0;
        const double value = inches ? typed.Inches() : Units::InchesToMm(typed.Inches());
        m_calibreCombo->setEditText(FormatCalibre({std::round(value * step) / step, inches}));
    } else {
        m_calibreCombo->setEditText(text);
    }
    UpdateCalibreNote();
}

bool CScaleForDistanceDlg::ReadInput(DistanceInput* input)
{
    input->shooterDistance = NumberText::ToReal(m_shooterCombo->currentText());
    input->shooterUnits = m_nShooterUnits;
    input->targetDistance = NumberText::ToReal(m_targetCombo->currentText());
    input->targetUnits = m_nTargetUnits;
    input->targetHeight = m_dTargetHeight;
    input->design = m_pDesign;
    if (!m_pDesign) {
        input->calibre = Calibre();
        return true;
    }
    return ParseCalibre(m_calibreCombo->currentText(), m_calibreUnit->currentIndex() == 1, &input->calibre);
}

void CScaleForDistanceDlg::UpdateCalibreNote()
{
    if (!m_calibreNote) return;
    if (!m_pDesign) {
        m_calibreNote->setText(QStringLiteral("Only proportional scaling is possible for a picture: its rings are not "
                                              "known, so it cannot be corrected for a calibre."));
        return;
    }
    DistanceInput input;
    if (!ReadInput(&input)) {
        m_calibreNote->setText(QStringLiteral("Enter the calibre in mm or in, or choose None."));
        return;
    }
    if (!input.calibre.isSet()) {
        m_calibreNote->setText(QStringLiteral("No calibre: the target is scaled proportionally."));
        return;
    }
    const DistanceResult result = EvaluateDistanceScale(input);
    QString note = QStringLiteral("Each scoring ring is corrected for the calibre.");
    if (!result.outermostCorrected.isEmpty())
        note = QStringLiteral("Each scoring ring is corrected for the calibre: the outermost prints %1 across "
                              "(%2 proportionally).")
                   .arg(result.outermostCorrected, result.outermostProportional);
    if (!result.dots.isEmpty())
        note += QStringLiteral(" Rings that print as the centre dot: %1.").arg(result.dots.join(QStringLiteral(", ")));
    if (result.check == DistanceCheck::RingVanishes) note = DistanceResultMessage(result, input);
    m_calibreNote->setText(note);
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
    UpdateCalibreNote();
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
    if (!ReadInput(&input)) {
        ShowMessage(QStringLiteral("The calibre must be a diameter in mm or in (at most 1 in), or None."),
                    QStringLiteral("Warning"), MsgButtons::Ok, MsgIcon::Warning);
        return;
    }
    const DistanceResult result = EvaluateDistanceScale(input);
    const DistanceCheck check = result.check;
    if (check != DistanceCheck::Ok) {
        ShowMessage(DistanceResultMessage(result, input), DistanceCheckCaption(check), MsgButtons::Ok,
                    check == DistanceCheck::InvalidHeight ? MsgIcon::Error : MsgIcon::Warning);
        if (check == DistanceCheck::InvalidHeight)
            reject();
        return;
    }
    m_dScale = result.scale;
    // A picture's dialog leaves the remembered calibre as it was.
    if (m_pDesign) m_calibre = input.calibre;
    accept();
    DistanceSettings settings;
    settings.shooterUnits = m_nShooterUnits;
    settings.targetUnits = m_nTargetUnits;
    settings.shooterDistance = m_dShooterDistance;
    settings.targetDistance = m_dTargetDistance;
    settings.calibre = m_calibre;
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
