#pragma once

#include <QSize>

#include "platform/DeviceContext.h"

class QPrinter;
struct PageCorrection;
struct PrinterSettings;

// Units of the page metrics functions.
enum PageMetricsUnits {
    PAGE_UNITS_HIMETRIC = 1,  // hundredths of a millimetre
    PAGE_UNITS_DEVICE = 2,    // device pixels
};

// The sheet, its printable area and the printable area's distance from the
// sheet's top-left corner; width first.
struct PrinterPageMetrics {
    QSize sizePaper;
    QSize sizePrintable;
    QSize sizeOffset;

    bool operator==(const PrinterPageMetrics&) const = default;
};

// Letter size as used when there is no default printer: in HIMETRIC one unit
// short of 8.5 by 11 inches, in device units 2550 by 3300 at 300 dpi. It is
// printed as a PDF, so its printable area is a PDF's: a quarter inch in from
// every edge (635 HIMETRIC, 75 pixels).
constexpr int LETTER_FALLBACK_DPI = 300;
PrinterPageMetrics LetterFallbackMetrics(int nUnits);

// Converts a device page (pixels) into the requested units: HIMETRIC values
// are pixels x 2540 / pixels per inch, truncated toward zero.
PrinterPageMetrics ConvertPageMetrics(const DevicePage& page, int dpiX, int dpiY, int nUnits);

// The page of a printer in its own pixels: paper = the full page rectangle,
// printable = the paint rectangle, offset = its top-left corner.
DevicePage PrinterDevicePage(const QPrinter& printer);

// The page a target is laid out on when every page is stretched by
// correction about the printable area's corner: where a factor is above 1 the
// printer reaches only printable / factor of the area in the layout's pixels,
// so that is the printable size in that axis; a factor of 1 or below keeps it.
// Paper and offset are the printer's.
DevicePage CorrectedDevicePage(DevicePage page, const PageCorrection& correction);

// Metrics of a device context (its DevicePage and pixels per inch).
void GetDevicePageMetrics(const DeviceContext& dc, int nUnits, PrinterPageMetrics& metrics,
                          int* pixelsPerInchX = nullptr, int* pixelsPerInchY = nullptr);
// Metrics of a printer (its page layout at its resolution).
void GetDevicePageMetrics(const QPrinter& printer, int nUnits, PrinterPageMetrics& metrics,
                          int* pixelsPerInchX = nullptr, int* pixelsPerInchY = nullptr);

// Metrics of the page a target is laid out on for a printer that prints with
// correction (see CorrectedDevicePage): what the window and the job both use.
void GetTargetPageMetrics(const QPrinter& printer, const PageCorrection& correction, int nUnits,
                          PrinterPageMetrics& metrics, int* pixelsPerInchX = nullptr, int* pixelsPerInchY = nullptr);

// Metrics of the given printer settings (the application's printer: the
// system's default printer until Print Setup chose another). False when it
// is PDF output rather than a print queue: on the fallback sheet (Letter at
// 300 dpi) the values are then the letter fallback.
bool GetPrinterPageMetrics(const PrinterSettings& settings, int nUnits, PrinterPageMetrics& metrics,
                           int* pixelsPerInchX = nullptr, int* pixelsPerInchY = nullptr);
// The same for laying out a target: with the printer's stored correction
// applied as GetTargetPageMetrics does.
bool GetTargetPrinterMetrics(const PrinterSettings& settings, int nUnits, PrinterPageMetrics& metrics);
