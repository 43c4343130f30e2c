#include "print/PrintJob.h"

#include <QPageLayout>
#include <QPaintEngine>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

#include <algorithm>

#include "platform/DeviceContext.h"
#include "print/PrinterSettings.h"
#include "platform/MessageBox.h"
#include "print/PageMetrics.h"
#include "print/TargetLayout.h"

namespace {

PrintDialogRunner& printDialogRunner()
{
    static PrintDialogRunner runner;
    return runner;
}

}  // namespace

PrintDialogRunner SetPrintDialogRunner(PrintDialogRunner runner)
{
    PrintDialogRunner previous = std::move(printDialogRunner());
    printDialogRunner() = std::move(runner);
    return previous;
}

bool RunPrintDialog(QPrinter& printer, int maxPage, int& from, int& to, QWidget* parent, PrinterHost& adopt)
{
    maxPage = std::max(1, maxPage);
    printer.setFromTo(1, maxPage);
    printer.setPrintRange(QPrinter::AllPages);
    bool accepted = false;
    if (printDialogRunner()) {
        accepted = printDialogRunner()(printer, maxPage, parent);
    } else {
        QPrintDialog dialog(&printer, parent);
        dialog.setMinMax(1, maxPage);
        dialog.setFromTo(1, maxPage);
        accepted = dialog.exec() == QDialog::Accepted;
    }
    if (!accepted) return false;
    from = to = 0;
    if (printer.printRange() == QPrinter::PageRange) {
        from = printer.fromPage();
        to = printer.toPage();
    }
    // Margins typed into the dialog do not make a PDF reach further than
    // any PDF of this program does.
    const PrinterSettings chosen = PrinterSettings::fromPrinter(printer);
    if (chosen.isPdfOutput()) chosen.applyTo(printer);
    AdoptDialogPrinter(printer, adopt);
    return true;
}

void AdoptDialogPrinter(const QPrinter& printer, PrinterHost& host)
{
    host.AdoptPrinter(PrinterSettings::fromPrinter(printer));
}

bool IsPreviewPrinter(QPrinter& printer)
{
    const QPaintEngine* engine = printer.paintEngine();
    return engine && engine->type() == QPaintEngine::Picture;
}

int TakeJobPrinter(QPrinter& printer, PrintedTarget& target)
{
    return TakeJobPrinter(printer, target, PrinterCorrection(printer));
}

int TakeJobPrinter(QPrinter& printer, PrintedTarget& target, const PageCorrection& correction)
{
    PrinterPageMetrics himetric;
    PrinterPageMetrics device;
    int dpiX = 0;
    int dpiY = 0;
    GetTargetPageMetrics(printer, correction, PAGE_UNITS_HIMETRIC, himetric);
    GetTargetPageMetrics(printer, correction, PAGE_UNITS_DEVICE, device, &dpiX, &dpiY);
    return target.TakePrinterPages(himetric, device, dpiX, dpiY);
}

bool PrintTargetJob(QPrinter& printer, PrintedTarget& target, int nFrom, int nTo, bool preview)
{
    const int pages = TakeJobPrinter(printer, target);
    if (nFrom <= 0 || nTo <= 0) {
        nFrom = 1;
        nTo = pages;
    }
    ClampPageRange(nFrom, nTo, pages);
    return PrintTargetPages(printer, target, nFrom, nTo, preview);
}

bool PrintTargetPages(QPrinter& printer, PrintedTarget& target, int fromPage, int toPage, bool preview)
{
    return PrintCorrectedPages(printer, target, fromPage, toPage, preview, PrinterCorrection(printer));
}

bool PrintCorrectedPages(QPrinter& printer, PrintedTarget& target, int fromPage, int toPage, bool preview,
                         const PageCorrection& correction)
{
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    // Qt's PDF engine would otherwise store pictures (a metafile's bitmaps
    // among them) as JPEG: a target's edges must reach paper as they are.
    painter.setRenderHint(QPainter::LosslessImageRendering, true);
    const DevicePage page = PrinterDevicePage(printer);
    const int dpi = printer.resolution();
    for (int k = fromPage; k <= toPage; ++k) {
        if (k > fromPage) printer.newPage();
        painter.save();
        // In full-page mode the painter starts at the sheet's corner; the
        // layout is relative to the printable area.
        if (printer.fullPage()) painter.translate(page.offset.width(), page.offset.height());
        if (!correction.isIdentity()) painter.scale(correction.x, correction.y);
        DeviceContext dc(&painter, dpi, dpi);
        dc.setPrinting(true);
        dc.setPreview(preview);
        dc.setPage(CorrectedDevicePage(page, correction));
        target.PaintPrintedPage(dc, k);
        painter.restore();
    }
    painter.end();
    if (!preview) FinishPdfOutput(printer);
    return true;
}

bool ConfirmSheetCount(int sheets)
{
    if (sheets <= MAX_SHEETS_UNASKED) return true;
    return ShowMessage(QStringLiteral("This target prints on %1 sheets. Print it?").arg(sheets),
                       QStringLiteral("Vantric"), MsgButtons::YesNo, MsgIcon::Question)
           == IDYES;
}
