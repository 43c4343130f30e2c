#include "app/PrintSetupDlg.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

// The sheets PDF output offers (a queue offers what its driver lists).
const QPageSize::PageSizeId PDF_PAPERS[] = {QPageSize::Letter, QPageSize::Legal, QPageSize::Tabloid,
                                            QPageSize::Executive, QPageSize::A3, QPageSize::A4,
                                            QPageSize::A5, QPageSize::B5};

}  // namespace

QString CPrintSetupDlg::PdfOutputText() { return QStringLiteral("Print to File (PDF)"); }

CPrintSetupDlg::CPrintSetupDlg(const QStringList& queues, QWidget* parent) : CDialog(parent)
{
    setWindowTitle(QStringLiteral("Print Setup"));
    setObjectName(QStringLiteral("PrintSetupDlg"));

    m_printer = new QComboBox(this);
    m_printer->setObjectName(QStringLiteral("printer"));
    for (const QString& queue : queues) m_printer->addItem(queue, queue);
    m_printer->addItem(PdfOutputText(), QString());
    m_where = new QLabel(this);
    m_file = new QLineEdit(this);
    m_file->setObjectName(QStringLiteral("file"));
    m_browse = new QPushButton(QStringLiteral("&Browse..."), this);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(m_file, 1);
    fileRow->addWidget(m_browse);
    auto* printerBox = new QGroupBox(QStringLiteral("Printer"), this);
    auto* printerForm = new QFormLayout(printerBox);
    printerForm->addRow(QStringLiteral("&Name:"), m_printer);
    printerForm->addRow(QStringLiteral("Where:"), m_where);
    auto* fileLabel = new QLabel(QStringLiteral("&File:"), this);
    fileLabel->setBuddy(m_file);
    printerForm->addRow(fileLabel, fileRow);

    m_paper = new QComboBox(this);
    m_paper->setObjectName(QStringLiteral("paper"));
    auto* paperBox = new QGroupBox(QStringLiteral("Paper"), this);
    auto* paperForm = new QFormLayout(paperBox);
    paperForm->addRow(QStringLiteral("Si&ze:"), m_paper);

    m_portrait = new QRadioButton(QStringLiteral("P&ortrait"), this);
    m_landscape = new QRadioButton(QStringLiteral("L&andscape"), this);
    m_portrait->setObjectName(QStringLiteral("portrait"));
    m_landscape->setObjectName(QStringLiteral("landscape"));
    m_portrait->setChecked(true);
    auto* orientBox = new QGroupBox(QStringLiteral("Orientation"), this);
    auto* orientLayout = new QVBoxLayout(orientBox);
    orientLayout->addWidget(m_portrait);
    orientLayout->addWidget(m_landscape);

    auto* lower = new QHBoxLayout;
    lower->addWidget(paperBox, 1);
    lower->addWidget(orientBox);
    auto* top = new QVBoxLayout(this);
    top->addWidget(printerBox);
    top->addLayout(lower);
    top->addLayout(MakeOkCancelRow([this] { accept(); }));
    setMinimumWidth(440);

    connect(m_printer, &QComboBox::currentIndexChanged, this, [this] { onPrinterChosen(); });
    connect(m_browse, &QPushButton::clicked, this, [this] { onBrowse(); });
    onPrinterChosen();
}

void CPrintSetupDlg::fillPapers(const QPageSize& keep)
{
    const QString queue = m_printer->currentData().toString();
    QList<QPageSize> sizes;
    QPageSize fallback(QPageSize::Letter);
    if (!queue.isEmpty()) {
        const QPrinterInfo info = QPrinterInfo::printerInfo(queue);
        sizes = info.supportedPageSizes();
        if (info.defaultPageSize().isValid()) fallback = info.defaultPageSize();
    }
    if (sizes.isEmpty())
        for (QPageSize::PageSizeId id : PDF_PAPERS) sizes << QPageSize(id);
    QSignalBlocker block(m_paper);
    m_paper->clear();
    for (const QPageSize& size : sizes) m_paper->addItem(size.name(), PaperToText(size));
    // A paper the list lacks stays offered when it is the one chosen.
    int index = keep.isValid() ? m_paper->findData(PaperToText(keep)) : -1;
    if (index < 0 && keep.isValid() && queue.isEmpty()) {
        m_paper->addItem(keep.name(), PaperToText(keep));
        index = m_paper->count() - 1;
    }
    if (index < 0) index = m_paper->findData(PaperToText(fallback));
    m_paper->setCurrentIndex(qMax(0, index));
}

void CPrintSetupDlg::onPrinterChosen()
{
    const QString queue = m_printer->currentData().toString();
    const bool pdf = queue.isEmpty();
    if (pdf) {
        m_where->setText(QStringLiteral("PDF file"));
    } else {
        const QPrinterInfo info = QPrinterInfo::printerInfo(queue);
        m_where->setText(info.location().isEmpty() ? info.description() : info.location());
    }
    m_file->setEnabled(pdf);
    m_browse->setEnabled(pdf);
    fillPapers(PaperFromText(m_paper->currentData().toString()));
}

void CPrintSetupDlg::onBrowse()
{
    const QString file = QFileDialog::getSaveFileName(this, QStringLiteral("Print to File"), m_file->text(),
                                                      QStringLiteral("PDF Files (*.pdf)"));
    if (!file.isEmpty()) m_file->setText(file);
}

void CPrintSetupDlg::SetSettings(const PrinterSettings& settings)
{
    int index = m_printer->findData(settings.printerName);
    if (index < 0) index = m_printer->count() - 1;
    {
        QSignalBlocker block(m_printer);
        m_printer->setCurrentIndex(index);
    }
    onPrinterChosen();
    fillPapers(settings.pageSize);
    m_file->setText(settings.outputFile);
    (settings.orientation == QPageLayout::Landscape ? m_landscape : m_portrait)->setChecked(true);
    m_resolution = settings.resolution;
}

PrinterSettings CPrintSetupDlg::Settings() const
{
    PrinterSettings settings;
    settings.printerName = m_printer->currentData().toString();
    if (settings.isPdfOutput()) settings.outputFile = m_file->text().trimmed();
    const QPageSize paper = PaperFromText(m_paper->currentData().toString());
    if (paper.isValid()) settings.pageSize = paper;
    settings.orientation = m_landscape->isChecked() ? QPageLayout::Landscape : QPageLayout::Portrait;
    settings.resolution = m_resolution;
    return settings;
}
