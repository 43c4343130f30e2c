#include "print/PrinterSettings.h"

#include <QMarginsF>
#include <QPrinter>
#include <QPrinterInfo>

#include "platform/PdfPrintScaling.h"
#include "platform/Profile.h"

namespace {

const QString SECTION = QStringLiteral("Printer");
// Orientation as the settings keep it: 1 portrait, 2 landscape.
constexpr int ORIENT_PORTRAIT = 1;
constexpr int ORIENT_LANDSCAPE = 2;

}  // namespace

QString PaperToText(const QPageSize& size)
{
    if (size.id() != QPageSize::Custom) return size.key();
    const QSize points = size.sizePoints();
    return QStringLiteral("%1x%2").arg(points.width()).arg(points.height());
}

QPageSize PaperFromText(const QString& text)
{
    for (int id = 0; id <= QPageSize::LastPageSize; ++id) {
        const auto pageId = static_cast<QPageSize::PageSizeId>(id);
        if (pageId != QPageSize::Custom && QPageSize::key(pageId) == text) return QPageSize(pageId);
    }
    const QStringList parts = text.split(QLatin1Char('x'));
    bool okW = false;
    bool okH = false;
    const int w = parts.size() == 2 ? parts[0].toInt(&okW) : 0;
    const int h = parts.size() == 2 ? parts[1].toInt(&okH) : 0;
    // Up to 200 inches a side.
    if (okW && okH && w > 0 && h > 0 && w <= 14400 && h <= 14400) return QPageSize(QSize(w, h));
    return QPageSize();
}

bool PrinterSettings::operator==(const PrinterSettings& other) const
{
    return printerName == other.printerName && outputFile == other.outputFile
        && pageSize.isEquivalentTo(other.pageSize) && orientation == other.orientation
        && resolution == other.resolution;
}

PrinterSettings PrinterSettings::systemDefault()
{
    PrinterSettings settings;
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) return settings;
    settings.printerName = info.printerName();
    const QPageSize paper = info.defaultPageSize();
    if (paper.isValid()) settings.pageSize = paper;
    return settings;
}

PrinterSettings PrinterSettings::load()
{
    QString name;
    ReadProfileText(SECTION, QStringLiteral("Name"), QLatin1String(PROFILE_NO_PARM), &name);
    if (name == QLatin1String(PROFILE_NO_PARM)) return systemDefault();
    if (!name.isEmpty() && QPrinterInfo::printerInfo(name).isNull()) return systemDefault();

    PrinterSettings settings;
    settings.printerName = name;
    QString paper;
    ReadProfileText(SECTION, QStringLiteral("Paper"), QString(), &paper);
    const QPageSize size = PaperFromText(paper);
    if (size.isValid()) settings.pageSize = size;
    int orientation = ORIENT_PORTRAIT;
    ReadProfileInt(SECTION, QStringLiteral("Orientation"), ORIENT_PORTRAIT, &orientation);
    settings.orientation = orientation == ORIENT_LANDSCAPE ? QPageLayout::Landscape : QPageLayout::Portrait;
    ReadProfileText(SECTION, QStringLiteral("File"), QString(), &settings.outputFile);
    int dpi = PDF_RESOLUTION;
    ReadProfileInt(SECTION, QStringLiteral("Resolution"), PDF_RESOLUTION, &dpi);
    settings.resolution = dpi >= 72 && dpi <= 2400 ? dpi : PDF_RESOLUTION;
    return settings;
}

// A null text would remove the key; an empty one is a value.
static QString value(const QString& text) { return text.isNull() ? QStringLiteral("") : text; }

void PrinterSettings::save() const
{
    WritePrivateProfileString(SECTION, QStringLiteral("Name"), value(printerName), QLatin1String(PROFILE_FILE));
    WritePrivateProfileString(SECTION, QStringLiteral("Paper"), PaperToText(pageSize), QLatin1String(PROFILE_FILE));
    WriteProfileInt(SECTION, QStringLiteral("Orientation"),
                    orientation == QPageLayout::Landscape ? ORIENT_LANDSCAPE : ORIENT_PORTRAIT);
    WritePrivateProfileString(SECTION, QStringLiteral("File"), value(outputFile), QLatin1String(PROFILE_FILE));
    WriteProfileInt(SECTION, QStringLiteral("Resolution"), resolution);
}

void PrinterSettings::applyTo(QPrinter& printer) const
{
    if (isPdfOutput()) {
        SetUpPdfOutput(printer, outputFile, pageSize, orientation, resolution);
        return;
    }
    printer.setOutputFormat(QPrinter::NativeFormat);
    printer.setPrinterName(printerName);
    printer.setPageSize(pageSize);
    printer.setPageOrientation(orientation);
}

PrinterSettings PrinterSettings::fromPrinter(const QPrinter& printer)
{
    PrinterSettings settings;
    if (printer.outputFormat() == QPrinter::NativeFormat) {
        settings.printerName = printer.printerName();
    } else {
        settings.outputFile = printer.outputFileName();
        settings.resolution = printer.resolution();
    }
    const QPageLayout layout = printer.pageLayout();
    if (layout.pageSize().isValid()) settings.pageSize = layout.pageSize();
    settings.orientation = layout.orientation();
    return settings;
}

void SetUpPdfOutput(QPrinter& printer, const QString& file, const QPageSize& paper,
                    QPageLayout::Orientation orientation, int dpi)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    // An empty name would switch the printer back to a queue.
    if (!file.isEmpty()) printer.setOutputFileName(file);
    printer.setResolution(dpi);
    const QMarginsF margins(PDF_MARGIN_INCH, PDF_MARGIN_INCH, PDF_MARGIN_INCH, PDF_MARGIN_INCH);
    printer.setPageLayout(QPageLayout(paper, orientation, margins, QPageLayout::Inch));
}

bool FinishPdfOutput(const QPrinter& printer)
{
    if (printer.outputFormat() != QPrinter::PdfFormat || printer.outputFileName().isEmpty()) return true;
    return AddPdfPrintScalingNone(printer.outputFileName());
}
