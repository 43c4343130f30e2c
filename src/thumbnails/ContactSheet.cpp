#include "thumbnails/ContactSheet.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QImage>
#include <QPainter>
#include <QPrinter>

#include <algorithm>

#include "platform/MessageBox.h"
#include "print/PrinterSettings.h"
#include "thumbnails/ThumbGrid.h"
#include "print/CommandLine.h"
#include "print/PageMetrics.h"
#include "print/PrintJob.h"

int PrintContactSheet(QPrinter& printer, ThumbGrid& grid, int fromPage, int toPage, bool preview)
{
    QPainter painter;
    if (!painter.begin(&printer)) return -1;
    // Qt's PDF engine would otherwise store the cells' pictures as JPEG.
    painter.setRenderHint(QPainter::LosslessImageRendering, true);
    const DevicePage page = PrinterDevicePage(printer);
    const int dpi = printer.resolution();
    // In full-page mode the painter starts at the sheet's corner; the page
    // layout is relative to the printable area.
    if (printer.fullPage()) painter.translate(page.offset.width(), page.offset.height());
    DeviceContext dc(&painter, dpi, dpi);
    dc.setPrinting(true);
    dc.setPreview(preview);
    dc.setPage(page);
    CPrintInfo info;
    info.preview = preview;
    grid.BeginPrinting(dc, info);
    const int last = toPage <= 0 ? info.maxPage : std::min(toPage, info.maxPage);
    for (int k = std::max(1, fromPage); k <= last; ++k) {
        if (k > std::max(1, fromPage)) printer.newPage();
        info.currentPage = k;
        painter.save();
        grid.PrintPage(dc, info);
        painter.restore();
    }
    grid.EndPrinting();
    painter.end();
    if (!preview) FinishPdfOutput(printer);
    return info.maxPage;
}

int ContactSheetPageCount(const QPrinter& printer, ThumbGrid& grid)
{
    // Measured on an image of the printer's resolution, so no job starts.
    const int dpi = printer.resolution();
    QImage image(1, 1, QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(dpi / 0.0254));
    image.setDotsPerMeterY(qRound(dpi / 0.0254));
    QPainter painter(&image);
    DeviceContext dc(&painter, dpi, dpi);
    dc.setPrinting(true);
    dc.setPage(PrinterDevicePage(printer));
    return grid.PreparePrinting(dc);
}

namespace {

int fail(const QString& text)
{
    ShowMessage(text, QStringLiteral("Vantric"), MsgButtons::Ok, MsgIcon::Error);
    return 1;
}

// --thumb-size in inches, one of the grid's sizes: "1", "1.5" or "2".
QString parseThumbSize(const QString& value, int* hundredths)
{
    QStringList texts;
    for (const int size : THUMB_SIZES) {
        const QString text = QString::number(size / 100.0);
        if (value == text) {
            *hundredths = size;
            return QString();
        }
        texts.append(text);
    }
    const QString last = texts.takeLast();
    return QStringLiteral("--thumb-size needs %1 or %2 (inches).").arg(texts.join(QStringLiteral(", ")), last);
}

}  // namespace

bool WantsContactSheetPrint(int argc, char** argv)
{
    const bool wants =
        ParseCommandLine(CommandLineArguments(argc, argv)).command == CommandLineCommand::ContactSheet;
    if (wants) UseOffscreenWithoutDisplay();
    return wants;
}

int RunContactSheetPrint(const QStringList& args)
{
    const CommandLine line = ParseCommandLine(args);
    if (!line.error.isEmpty()) {
        fail(line.error + QLatin1Char('\n') + CommandLineUsage());
        return COMMAND_LINE_USAGE_ERROR;
    }
    QString pdf;
    int size = THUMB_SIZES[std::size(THUMB_SIZES) - 1];
    QPageSize::PageSizeId paper = QPageSize::Letter;
    int dpi = 600;
    QList<OptionReader> readers = {
        OutputFileReader("--print-contact-sheet", &pdf),
        {"--thumb-size", [&size](const QString&, const QString& v) { return parseThumbSize(v, &size); }},
    };
    readers += PdfOutputReaders(&paper, &dpi);
    const QString problem = ReadOptions(line, readers);
    if (!problem.isEmpty()) return fail(problem);
    if (line.operands.size() > 1) return fail(QStringLiteral("Give exactly one folder."));
    const QString folder = line.operands.value(0);
    if (folder.isEmpty()) return fail(QStringLiteral("Give the folder to print."));
    if (!QDir(folder).exists()) return fail(QStringLiteral("The folder \"%1\" does not exist.").arg(folder));

    ThumbGrid grid;
    grid.SetThumbSize(size);
    // Nothing is rendered ahead: the pages render their own cells, one page at a time.
    grid.setCacheBytes(0);
    QEventLoop loop;
    QObject::connect(&grid, &ThumbGrid::workerIdle, &loop, &QEventLoop::quit);
    grid.ListFolder(QDir(folder).absolutePath());
    loop.exec();

    QPrinter printer(QPrinter::HighResolution);
    SetUpPdfPrinter(printer, pdf, paper, dpi);
    printer.setDocName(QDir(folder).dirName());
    if (PrintContactSheet(printer, grid) < 0) return fail(QStringLiteral("Cannot write \"%1\".").arg(pdf));
    return 0;
}
