#include "print/CalibrationDlg.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "platform/MessageBox.h"
#include "platform/Units.h"
#include "platform/ui/NumericEdit.h"
#include "print/PageMetrics.h"
#include "print/PrintJob.h"

namespace {

QString printerText(const PrinterSettings& p)
{
    if (p.isPdfOutput()) return QStringLiteral("PDF output");
    return QStringLiteral("%1, %2, %3")
        .arg(p.printerName, p.pageSize.name(),
             p.orientation == QPageLayout::Landscape ? QStringLiteral("landscape") : QStringLiteral("portrait"));
}

}  // namespace

CCalibrationDlg::CCalibrationDlg(const PrinterSettings& printer, QWidget* parent) : CDialog(parent), m_printer(printer)
{
    setWindowTitle(QStringLiteral("Printer Calibration"));
    setObjectName(QStringLiteral("CalibrationDlg"));

    PrinterPageMetrics metrics;
    GetPrinterPageMetrics(m_printer, PAGE_UNITS_HIMETRIC, metrics);
    m_sheet = LayoutCalibrationSheet(QSizeF(Units::HimetricToInches(metrics.sizePrintable.width()),
                                            Units::HimetricToInches(metrics.sizePrintable.height())));

    auto* column = new QVBoxLayout(this);
    column->addWidget(new QLabel(QStringLiteral("Printer: %1").arg(printerText(m_printer)), this));
    const bool pdf = m_printer.isPdfOutput();
    auto* intro = new QLabel(pdf ? QStringLiteral("PDF output is exact: it is never corrected. Calibrate the "
                                                  "printer that prints the PDF instead: Print Calibration Sheet "
                                                  "writes the sheet to a PDF for it.")
                                 : QStringLiteral("Print the calibration sheet, measure both rulers from 0 to the last "
                                                  "number with a steel rule and enter what you measure."),
                             this);
    intro->setWordWrap(true);
    column->addWidget(intro);

    auto* print = new QPushButton(QStringLiteral("&Print Calibration Sheet"), this);
    print->setObjectName(QStringLiteral("printSheet"));
    connect(print, &QPushButton::clicked, this, [this] { printSheet(); });
    auto* printRow = new QHBoxLayout;
    printRow->addWidget(print);
    printRow->addStretch();
    column->addLayout(printRow);

    auto* grid = new QGridLayout;
    m_mm = new QRadioButton(QStringLiteral("&mm"), this);
    m_in = new QRadioButton(QStringLiteral("&in"), this);
    m_mm->setChecked(true);
    connect(m_mm, &QRadioButton::clicked, this, [this] { SetInches(false); });
    connect(m_in, &QRadioButton::clicked, this, [this] { SetInches(true); });
    auto* units = new QHBoxLayout;
    units->addWidget(m_mm);
    units->addWidget(m_in);
    units->addStretch();
    grid->addWidget(new QLabel(QStringLiteral("Measured in:"), this), 0, 0);
    grid->addLayout(units, 0, 1);
    m_horizontalLabel = new QLabel(this);
    m_verticalLabel = new QLabel(this);
    m_horizontal = new NumericEdit(this);
    m_vertical = new NumericEdit(this);
    m_horizontal->setObjectName(QStringLiteral("horizontal"));
    m_vertical->setObjectName(QStringLiteral("vertical"));
    grid->addWidget(m_horizontalLabel, 1, 0);
    grid->addWidget(m_horizontal, 1, 1);
    grid->addWidget(m_verticalLabel, 2, 0);
    grid->addWidget(m_vertical, 2, 1);
    column->addLayout(grid);

    m_correctionLabel = new QLabel(this);
    m_correctionLabel->setObjectName(QStringLiteral("correction"));
    column->addWidget(m_correctionLabel);
    m_storedLabel = new QLabel(this);
    column->addWidget(m_storedLabel);

    for (NumericEdit* field : {m_horizontal, m_vertical}) {
        connect(field, &QLineEdit::textChanged, this, [this] { updateCorrection(); });
        connect(field, &NumericFieldBase::focusLost, this, [this] { updateCorrection(); });
    }

    QHBoxLayout* buttons = MakeOkCancelRow([this] { OnOK(); });
    m_reset = new QPushButton(QStringLiteral("&Reset"), this);
    m_reset->setObjectName(QStringLiteral("reset"));
    connect(m_reset, &QPushButton::clicked, this, [this] { OnReset(); });
    buttons->insertWidget(0, m_reset);
    column->addLayout(buttons);

    for (QWidget* w : std::initializer_list<QWidget*>{m_mm, m_in, m_horizontal, m_vertical, m_reset})
        w->setEnabled(!pdf);
    configureFields(LoadCalibration(m_printer).value_or(PageCorrection{}));
}

double CCalibrationDlg::nominalX() const
{
    return m_bInches ? m_sheet.horizontal.inchInches() : m_sheet.horizontal.centimetres * 10.0;
}

double CCalibrationDlg::nominalY() const
{
    return m_bInches ? m_sheet.vertical.inchInches() : m_sheet.vertical.centimetres * 10.0;
}

void CCalibrationDlg::configureFields(const PageCorrection& keep)
{
    const QString unit = m_bInches ? QStringLiteral("in") : QStringLiteral("mm");
    const int decimals = m_bInches ? 3 : 1;
    m_horizontalLabel->setText(QStringLiteral("Horizontal ruler, 0 to %1 (%2):")
                                   .arg(m_bInches ? InchEndLabel(m_sheet.horizontal) : MetricEndLabel(m_sheet.horizontal), unit));
    m_verticalLabel->setText(QStringLiteral("Vertical ruler, 0 to %1 (%2):")
                                 .arg(m_bInches ? InchEndLabel(m_sheet.vertical) : MetricEndLabel(m_sheet.vertical), unit));
    // A measure is at most a quarter off, so a correction stays within its
    // bounds; the fields clamp anything beyond.
    const double nx = nominalX();
    const double ny = nominalY();
    m_horizontal->Configure(decimals, false, false, nx / MAX_CORRECTION, nx / MIN_CORRECTION);
    m_vertical->Configure(decimals, false, false, ny / MAX_CORRECTION, ny / MIN_CORRECTION);
    m_horizontal->LimitText();
    m_vertical->LimitText();
    m_horizontal->SetValue(nx / keep.x);
    m_vertical->SetValue(ny / keep.y);
    updateCorrection();
}

void CCalibrationDlg::SetInches(bool inches)
{
    const PageCorrection keep = Correction().value_or(PageCorrection{});
    m_bInches = inches;
    m_in->setChecked(inches);
    m_mm->setChecked(!inches);
    configureFields(keep);
}

std::optional<PageCorrection> CCalibrationDlg::Correction() const
{
    if (m_sheet.horizontal.centimetres == 0 || m_sheet.vertical.centimetres == 0) return std::nullopt;
    const std::optional<double> x = CorrectionFromMeasure(nominalX(), m_horizontal->GetValue());
    const std::optional<double> y = CorrectionFromMeasure(nominalY(), m_vertical->GetValue());
    if (!x || !y) return std::nullopt;
    return PageCorrection{*x, *y};
}

void CCalibrationDlg::updateCorrection()
{
    const std::optional<PageCorrection> c = Correction();
    m_correctionLabel->setText(c ? QStringLiteral("Correction: %1").arg(CorrectionText(*c))
                                 : QStringLiteral("Correction: enter both measures"));
    const std::optional<PageCorrection> stored = LoadCalibration(m_printer);
    m_storedLabel->setText(stored ? QStringLiteral("In force now: %1").arg(CorrectionText(*stored))
                                  : QStringLiteral("In force now: none"));
    if (QWidget* ok = findChild<QWidget*>(QStringLiteral("ok"))) ok->setEnabled(m_printer.isPdfOutput() || c.has_value());
}

void CCalibrationDlg::printSheet()
{
    QPrinter printer(QPrinter::HighResolution);
    SetUpApplicationPrinter(printer, m_printer);
    if (m_printer.isPdfOutput()) {
        // The sheet goes to the PDF the user names, to print where the
        // target PDFs will print.
        const QDir folder = m_printer.outputFile.isEmpty() ? QDir::home() : QFileInfo(m_printer.outputFile).dir();
        const QString start = folder.filePath(QStringLiteral("Calibration sheet.pdf"));
        const QString file = QFileDialog::getSaveFileName(this, QStringLiteral("Print Calibration Sheet"), start,
                                                          QStringLiteral("PDF files (*.pdf)"));
        if (file.isEmpty()) return;
        printer.setOutputFileName(file);
    }
    printer.setDocName(QStringLiteral("Calibration sheet"));
    if (!PrintCalibrationSheet(printer, QStringLiteral("Printer: %1").arg(printerText(m_printer))))
        ShowMessage(QStringLiteral("The printer could not be started."), QStringLiteral("Vantric"), MsgButtons::Ok,
                    MsgIcon::Error);
}

void CCalibrationDlg::OnReset()
{
    ResetCalibration(m_printer);
    configureFields(PageCorrection{});
}

void CCalibrationDlg::OnOK()
{
    if (!m_printer.isPdfOutput()) {
        const std::optional<PageCorrection> c = Correction();
        if (!c) return;
        // A correction of exactly nothing is no calibration.
        if (c->isIdentity()) ResetCalibration(m_printer);
        else SaveCalibration(m_printer, *c);
    }
    accept();
}
