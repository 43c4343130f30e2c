#pragma once

#include <QPageSize>

class QPrinter;
class TargetViewState;

// Sets a printer up so that a target prints at its true size: full-page
// mode with the origin at the sheet's corner (the layout adds the printable
// offset itself), the page size of the job equal to the sheet, and no
// scaling of the job by the print system.
void SetUpTargetPrinter(QPrinter& printer);

// A PDF printer for printing without a printer: the given sheet, printable
// area inset 0.25 inch on every side, at dpi pixels per inch.
void SetUpPdfPrinter(QPrinter& printer, const QString& outputFile, QPageSize::PageSizeId paper, int dpi);

// The print loop: for every page from..to, sets the view's current page and
// paints it through the view's one paint routine. preview marks the contexts
// as a print preview. Returns false when the printer could not be started.
bool PrintTargetPages(QPrinter& printer, TargetViewState& view, int fromPage, int toPage, bool preview = false);

// Jobs of more sheets than this are not printed without a word: the window
// asks, the command line refuses.
constexpr int MAX_SHEETS_UNASKED = 500;

// Asks "This target prints on N sheets. Print it?" (Yes/No) when the job has
// more than MAX_SHEETS_UNASKED sheets; true when the job may go ahead.
bool ConfirmSheetCount(int sheets);
