#include "thumbnails/ContactSheet.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QImage>
#include <QPainter>
#include <QPrinter>

#include <algorithm>
#include <cstring>

#include "platform/MessageBox.h"
#include "platform/ui/PrinterSettings.h"
#include "thumbnails/ThumbGrid.h"
#include "view/CommandLineOptions.h"
#include "view/CommandLinePrint.h"
#include "view/PageMetrics.h"
#include "view/PrintJob.h"

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

const char* const OPTION = "--print-contact-sheet";

int fail(const QString& text)
{
    ShowMessage(text, QStringLiteral("Vantric"), MsgButtons::Ok, MsgIcon::Error);
    return 1;
}

QString usage()
{
    return QStringLiteral(
        "Usage: vantric --print-contact-sheet OUT.pdf [--thumb-size 1|1.5|2] [--paper letter|a4] [--dpi N] FOLDER");
}

}  // namespace

bool WantsContactSheetPrint(int argc, char** argv)
{
    bool wants = false;
    for (int i = 1; i < argc && !wants; ++i) wants = argv[i] && std::strcmp(argv[i], OPTION) == 0;
    if (wants) UseOffscreenWithoutDisplay();
    return wants;
}

int RunContactSheetPrint(const QStringList& args)
{
    QString pdf;
    QString folder;
    int size = 200;
    QPageSize::PageSizeId paper = QPageSize::Letter;
    int dpi = 600;
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        const QString v = hasValue ? args[i + 1] : QString();
        if (a == QLatin1String(OPTION)) {
            if (!hasValue || v.isEmpty()) return fail(QStringLiteral("%1 needs an output file.\n%2").arg(a, usage()));
            pdf = v;
            ++i;
        } else if (a == QLatin1String("--thumb-size")) {
            if (v == QLatin1String("1")) size = 100;
            else if (v == QLatin1String("1.5")) size = 150;
            else if (v == QLatin1String("2")) size = 200;
            else return fail(QStringLiteral("--thumb-size needs 1, 1.5 or 2 (inches).\n%1").arg(usage()));
            ++i;
        } else if (a == QLatin1String("--paper")) {
            const QString problem = ParsePaperOption(v, &paper);
            if (!problem.isEmpty()) return fail(problem);
            ++i;
        } else if (a == QLatin1String("--dpi")) {
            const QString problem = ParseDpiOption(v, &dpi);
            if (!problem.isEmpty()) return fail(problem);
            ++i;
        } else if (a.startsWith(QLatin1Char('-')) && a.size() > 1) {
            return fail(QStringLiteral("Unknown option \"%1\".\n%2").arg(a, usage()));
        } else if (folder.isEmpty()) {
            folder = a;
        } else {
            return fail(QStringLiteral("Give exactly one folder.\n%1").arg(usage()));
        }
    }
    if (folder.isEmpty()) return fail(QStringLiteral("Give the folder to print.\n%1").arg(usage()));
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
