#pragma once

#include <QStringList>

class QPrinter;
class ThumbGrid;

// Contact sheets: the thumbnail grid printed as pages of cells at their
// screen size, with the page header and footer. The one place that talks to
// a printer for the grid; the window's Print and Print Preview and the
// command line all come through here.

// Prints pages from..to (1-based; 0 for to means the last) of the grid.
// Returns the page count, or -1 when the printer could not be started.
int PrintContactSheet(QPrinter& printer, ThumbGrid& grid, int fromPage = 1, int toPage = 0, bool preview = false);

// The pages the grid needs on printer, before any is printed.
int ContactSheetPageCount(const QPrinter& printer, ThumbGrid& grid);

// Printing without a window:
//   vantric --print-contact-sheet OUT.pdf [--thumb-size 1|1.5|2]
//           [--paper letter|a4] [--dpi N] FOLDER
// Lists the folder to its end and prints its grid into the PDF. Messages go
// to standard error; a failure gives a non-zero status.
bool WantsContactSheetPrint(int argc, char** argv);
int RunContactSheetPrint(const QStringList& arguments);
