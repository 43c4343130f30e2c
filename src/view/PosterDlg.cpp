#include "view/PosterDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QRegularExpression>
#include <QVBoxLayout>

#include <cmath>

#include "platform/Profile.h"

namespace {

const QString SECTION = QStringLiteral("Poster");

bool readFlag(const QString& key)
{
    int value = 0;
    ReadProfileInt(SECTION, key, 0, &value);
    return value == 1;
}

}  // namespace

PosterOptions ReadPosterOptions()
{
    PosterOptions o;
    double mm = 0.0;
    ReadProfileReal(SECTION, QStringLiteral("Overlap"), 0.0, &mm);
    if (std::isfinite(mm) && mm > 0.0 && mm * 100.0 <= POSTER_MAX_OVERLAP) o.nOverlap = qRound(mm * 100.0);
    o.bSheetLabels = readFlag(QStringLiteral("SheetLabels"));
    o.bCentreOnSheet = readFlag(QStringLiteral("CentreOnSheet"));
    o.bSkipEmpty = readFlag(QStringLiteral("SkipEmpty"));
    return o;
}

void WritePosterOptions(const PosterOptions& o)
{
    WriteProfileReal(SECTION, QStringLiteral("Overlap"), o.nOverlap / 100.0);
    WriteProfileInt(SECTION, QStringLiteral("SheetLabels"), o.bSheetLabels ? 1 : 0);
    WriteProfileInt(SECTION, QStringLiteral("CentreOnSheet"), o.bCentreOnSheet ? 1 : 0);
    WriteProfileInt(SECTION, QStringLiteral("SkipEmpty"), o.bSkipEmpty ? 1 : 0);
}

QString ParseOverlapOption(const QString& value, int* himetric)
{
    static const QRegularExpression form(QStringLiteral("^(\\d+(\\.\\d*)?|\\.\\d+)\\s*(mm)?$"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = form.match(value.trimmed());
    const double mm = match.hasMatch() ? match.captured(1).toDouble() : -1.0;
    if (!match.hasMatch() || !std::isfinite(mm) || mm * 100.0 > POSTER_MAX_OVERLAP)
        return QStringLiteral("--overlap expects a width from 0 to %1 mm, for example 10mm.")
            .arg(POSTER_MAX_OVERLAP / 100);
    *himetric = qRound(mm * 100.0);
    return QString();
}

CPosterDlg::CPosterDlg(const PosterOptions& options, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Poster Options"));
    m_pOverlap = new QDoubleSpinBox(this);
    m_pOverlap->setRange(0.0, POSTER_MAX_OVERLAP / 100.0);
    m_pOverlap->setDecimals(1);
    m_pOverlap->setSingleStep(1.0);
    m_pOverlap->setSuffix(QStringLiteral(" mm"));
    m_pOverlap->setValue(options.nOverlap / 100.0);
    m_pLabels = new QCheckBox(QStringLiteral("Sheet &labels, map and alignment crosses"), this);
    m_pLabels->setChecked(options.bSheetLabels);
    m_pCentre = new QCheckBox(QStringLiteral("Keep the &centre on one sheet"), this);
    m_pCentre->setChecked(options.bCentreOnSheet);
    m_pSkipEmpty = new QCheckBox(QStringLiteral("&Leave out empty sheets"), this);
    m_pSkipEmpty->setChecked(options.bSkipEmpty);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Overlap for gluing:"), m_pOverlap);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* note = new QLabel(QStringLiteral("For Tile Pages to Target. With all of these off, the sheets meet edge "
                                           "to edge as before."),
                            this);
    note->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_pLabels);
    layout->addWidget(m_pCentre);
    layout->addWidget(m_pSkipEmpty);
    layout->addWidget(note);
    layout->addWidget(buttons);
}

PosterOptions CPosterDlg::Options() const
{
    PosterOptions o;
    o.nOverlap = qRound(m_pOverlap->value() * 100.0);
    o.bSheetLabels = m_pLabels->isChecked();
    o.bCentreOnSheet = m_pCentre->isChecked();
    o.bSkipEmpty = m_pSkipEmpty->isChecked();
    return o;
}
