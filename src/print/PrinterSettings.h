#pragma once

#include <QPageLayout>
#include <QPageSize>
#include <QString>

class QPrinter;

// The application's printer, as Print Setup leaves it and every target
// window lays out for: a print queue by name, or PDF output (the one printer
// every machine has) when the name is empty; its paper and orientation; and
// for PDF output the file and the resolution. It is a setting, not a device:
// each use sets a QPrinter up from it.
struct PrinterSettings {
    // What a machine without a print queue prints on: Letter at 300 pixels
    // per inch, with the printable area of SetUpPdfOutput.
    static constexpr int PDF_RESOLUTION = 300;

    QString printerName;  // empty for PDF output
    QString outputFile;   // PDF output's file; may be empty
    QPageSize pageSize{QPageSize::Letter};
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    int resolution = PDF_RESOLUTION;  // PDF output only; a queue keeps its own

    bool isPdfOutput() const { return printerName.isEmpty(); }
    bool operator==(const PrinterSettings& other) const;

    // The system's default print queue on its default paper; PDF output on
    // Letter without one.
    static PrinterSettings systemDefault();
    // Section "Printer" of the settings file; the system default when it is
    // absent or names a queue that is no longer installed.
    static PrinterSettings load();
    void save() const;

    // Sets a printer up as this one. PDF output through SetUpPdfOutput; a
    // queue gets the margins its driver reports for the paper.
    void applyTo(QPrinter& printer) const;
    // What a print dialog left in a printer: queue or PDF output, paper,
    // orientation, file.
    static PrinterSettings fromPrinter(const QPrinter& printer);
};

// Every PDF this program writes is printed later on some printer, whose
// hardware margins would clip it or whose driver would shrink it to fit: it
// is laid out on the area a printer reaches, the sheet less a quarter inch
// (6.35 mm) on every side, in the window and on the command line alike.
constexpr double PDF_MARGIN_INCH = 0.25;
// Sets a printer up for PDF output into file (kept when empty) on the given
// sheet with that printable area, at dpi pixels per inch.
void SetUpPdfOutput(QPrinter& printer, const QString& file, const QPageSize& paper,
                    QPageLayout::Orientation orientation, int dpi);
// After a job has ended: a PDF written to a file asks viewers to print it at
// actual size. False only when a PDF file could not be updated.
bool FinishPdfOutput(const QPrinter& printer);

// The settings file's text for a paper: its key ("A4", "Letter") or, for
// another size, its width and height in points ("612x792").
QString PaperToText(const QPageSize& size);
// Back again; an invalid size for a text that names none.
QPageSize PaperFromText(const QString& text);
