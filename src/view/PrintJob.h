#pragma once

#include <QPageSize>

#include "platform/ui/PrinterCalibration.h"

class QPrinter;
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

// A PDF printer for printing without a printer: the given sheet, printable
// area inset 0.25 inch on every side, at dpi pixels per inch.
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
