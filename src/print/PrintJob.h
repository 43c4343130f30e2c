#pragma once

#include <QPageSize>

#include <functional>

#include "print/PrinterCalibration.h"
#include "print/JobPrinter.h"

class DeviceContext;
class QPrinter;
class QWidget;
struct PrinterPageMetrics;

// What a job prints: a target laid out page by page for the job's printer.
// The target window and the command line both print through one.
class PrintedTarget {
public:
    virtual ~PrintedTarget() = default;
    // The job's printer, in HIMETRIC and in its pixels at dpiX by dpiY: the
    // target takes its metrics and lays out page 1 for it. Returns the
    // job's pages.
    virtual int TakePrinterPages(const PrinterPageMetrics& himetric, const PrinterPageMetrics& device, int dpiX,
                                 int dpiY) = 0;
    // Paints page (1-based) on a printing context whose origin is the
    // printable area's top-left corner.
    virtual void PaintPrintedPage(DeviceContext& dc, int page) = 0;
};

// The Print dialog on a job of maxPage pages, all of them offered and
// chosen: false when cancelled, else the range in from..to (0..0 for all
// pages). The printer the user leaves in it goes to adopt, the keeper of
// the application's printer, so the windows, Print Setup and the next job
// show and use what this job used.
bool RunPrintDialog(QPrinter& printer, int maxPage, int& from, int& to, QWidget* parent, PrinterHost& adopt);
// What RunPrintDialog shows: QPrintDialog unless tests put their own in.
// Returns the previous one.
using PrintDialogRunner = std::function<bool(QPrinter& printer, int maxPage, QWidget* parent)>;
PrintDialogRunner SetPrintDialogRunner(PrintDialogRunner runner);
// A Print dialog or a preview's page set-up left printer as it is: it
// becomes the application's printer (stored as Print Setup's choice is, and
// every window told) when it differs from it.
void AdoptDialogPrinter(const QPrinter& printer, PrinterHost& host);

// Whether a print preview is drawing on the printer (its print button
// prints on the same printer for real).
bool IsPreviewPrinter(QPrinter& printer);

// A job or a preview is about to print on printer: the target takes its
// metrics and lays out page 1 for it. Returns the job's pages,
// the rows times columns of that layout. The layout is made on the page the
// printer reaches with its stored correction (or the given one).
int TakeJobPrinter(QPrinter& printer, PrintedTarget& target);
int TakeJobPrinter(QPrinter& printer, PrintedTarget& target, const PageCorrection& correction);

// A job after the Print dialog (or a preview's paint): takes the printer
// as above and prints nFrom..nTo (0..0 for all pages), the range lowered to
// the pages the printer's paper needs. False when the printer could not be
// started.
bool PrintTargetJob(QPrinter& printer, PrintedTarget& target, int nFrom, int nTo, bool preview = false);

// The print loop: paints every page from..to through the target. preview marks the contexts
// as a print preview. Every page is scaled by the printer's stored
// correction about the printable area's origin; the layout itself is made in
// the printer's pixels before that, on the area the stretched page reaches.
// Returns false when the printer could not be started.
bool PrintTargetPages(QPrinter& printer, PrintedTarget& target, int fromPage, int toPage, bool preview = false);
// The same with a given correction.
bool PrintCorrectedPages(QPrinter& printer, PrintedTarget& target, int fromPage, int toPage, bool preview,
                         const PageCorrection& correction);

// Jobs of more sheets than this are not printed without a word: the window
// asks, the command line refuses.
#ifdef VANTRIC_SMALL_LIMITS
constexpr int MAX_SHEETS_UNASKED = 24;  // the fuzzing build: quick runs
#else
constexpr int MAX_SHEETS_UNASKED = 500;
#endif

// Asks "This target prints on N sheets. Print it?" (Yes/No) when the job has
// more than MAX_SHEETS_UNASKED sheets; true when the job may go ahead.
bool ConfirmSheetCount(int sheets);
