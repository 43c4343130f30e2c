#pragma once

#include <QPageSize>

#include <functional>

#include "platform/ui/PrinterCalibration.h"

class QPrinter;
class QWidget;
class TargetViewState;
struct PrinterSettings;

// Sets a printer up so that a target prints at its true size: full-page
// mode with the origin at the sheet's corner (the layout adds the printable
// offset itself), the page size of the job equal to the sheet, and no
// scaling of the job by the print system.
void SetUpTargetPrinter(QPrinter& printer);

// The application's printer: the settings of Print Setup, or without an
// application the stored ones (the system's default printer when none are
// stored), as an application would start with.
PrinterSettings ApplicationPrinterSettings();

// Sets a printer up as the application's printer for a true-size job: where
// the Print dialog, the preview and "-p" start.
void SetUpApplicationPrinter(QPrinter& printer);
void SetUpApplicationPrinter(QPrinter& printer, const PrinterSettings& settings);

// The Print dialog on a job of maxPage pages, all of them offered and
// chosen: false when cancelled, else the range in from..to (0..0 for all
// pages). The printer the user leaves in it becomes the application's
// printer (AdoptDialogPrinter), so the windows, Print Setup and the next job
// show and use what this job used.
bool RunPrintDialog(QPrinter& printer, int maxPage, int& from, int& to, QWidget* parent);
// What RunPrintDialog shows: QPrintDialog unless tests put their own in.
// Returns the previous one.
using PrintDialogRunner = std::function<bool(QPrinter& printer, int maxPage, QWidget* parent)>;
PrintDialogRunner SetPrintDialogRunner(PrintDialogRunner runner);
// A Print dialog or a preview's page set-up left printer as it is: it
// becomes the application's printer (stored as Print Setup's choice is, and
// every window told) when it differs from it.
void AdoptDialogPrinter(const QPrinter& printer);

// Whether a print preview is drawing on the printer (its print button
// prints on the same printer for real).
bool IsPreviewPrinter(QPrinter& printer);

// A PDF printer for printing without a printer: the given sheet and the
// printable area every PDF gets (SetUpPdfOutput), at dpi pixels per inch.
void SetUpPdfPrinter(QPrinter& printer, const QString& outputFile, QPageSize::PageSizeId paper, int dpi);

// A job or a preview is about to print on printer: its metrics become the
// view's stored ones and page 1 is laid out for it. Returns the job's pages,
// the rows times columns of that layout. The layout is made on the page the
// printer reaches with its stored correction (or the given one).
int TakeJobPrinter(QPrinter& printer, TargetViewState& view);
int TakeJobPrinter(QPrinter& printer, TargetViewState& view, const PageCorrection& correction);

// A job after the Print dialog (or a preview's paint): takes the printer
// as above and prints nFrom..nTo (0..0 for all pages), the range lowered to
// the pages the printer's paper needs. False when the printer could not be
// started.
bool PrintTargetJob(QPrinter& printer, TargetViewState& view, int nFrom, int nTo, bool preview = false);

// The print loop: for every page from..to, sets the view's current page and
// paints it through the view's one paint routine. preview marks the contexts
// as a print preview. Every page is scaled by the printer's stored
// correction about the printable area's origin; the layout itself is made in
// the printer's pixels before that, on the area the stretched page reaches.
// Returns false when the printer could not be started.
bool PrintTargetPages(QPrinter& printer, TargetViewState& view, int fromPage, int toPage, bool preview = false);
// The same with a given correction.
bool PrintCorrectedPages(QPrinter& printer, TargetViewState& view, int fromPage, int toPage, bool preview,
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
