#pragma once

#include <QPageSize>
#include <QString>

class QPrinter;
struct PrinterSettings;

// Sets a printer up so that a target prints at its true size: full-page
// mode with the origin at the sheet's corner (the layout adds the printable
// offset itself), the page size of the job equal to the sheet, and no
// scaling of the job by the print system.
void SetUpTargetPrinter(QPrinter& printer);

// Sets a printer up as the application's printer (given as its settings)
// for a true-size job: where the Print dialog, the preview and "-p" start.
void SetUpApplicationPrinter(QPrinter& printer, const PrinterSettings& settings);

// A PDF printer for printing without a printer: the given sheet and the
// printable area every PDF gets (SetUpPdfOutput), at dpi pixels per inch.
void SetUpPdfPrinter(QPrinter& printer, const QString& outputFile, QPageSize::PageSizeId paper, int dpi);

// The keeper of the application's printer as a window reaches it: what
// Print Setup left, and where a printer the user set up in a Print dialog or
// a preview goes. The application hands itself to the windows it makes.
class PrinterHost {
public:
    virtual ~PrinterHost() = default;
    virtual PrinterSettings CurrentPrinter() = 0;
    // The printer becomes the application's one (stored, and every window
    // told) when it differs from it.
    virtual void AdoptPrinter(const PrinterSettings& settings) = 0;
};

// The keeper for windows and jobs without an application: the settings
// file itself (the system's default printer when none are stored).
PrinterHost& StoredPrinter();
