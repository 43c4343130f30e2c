#include "print/PageMetrics.h"

#include <QPageLayout>
#include <QPrinter>

#include "platform/Units.h"
#include "print/PrinterCalibration.h"
#include "print/PrinterSettings.h"
#include "print/JobPrinter.h"

PrinterPageMetrics LetterFallbackMetrics(int nUnits)
{
    PrinterPageMetrics m;
    if (nUnits == PAGE_UNITS_DEVICE) {
        m.sizePaper = QSize(2550, 3300);
        m.sizePrintable = QSize(2400, 3150);
        m.sizeOffset = QSize(75, 75);
    } else {
        m.sizePaper = QSize(21589, 27939);
        m.sizePrintable = QSize(20320, 26670);
        m.sizeOffset = QSize(635, 635);
    }
    return m;
}

static int toHimetric(int pixels, int dpi)
{
    return static_cast<int>(pixels * (Units::HIMETRIC_PER_INCH / double(dpi)));
}

PrinterPageMetrics ConvertPageMetrics(const DevicePage& page, int dpiX, int dpiY, int nUnits)
{
    if (nUnits != PAGE_UNITS_HIMETRIC) return {page.paper, page.printable, page.offset};
    if (dpiX <= 0 || dpiY <= 0) return {};
    auto conv = [&](const QSize& s) { return QSize(toHimetric(s.width(), dpiX), toHimetric(s.height(), dpiY)); };
    return {conv(page.paper), conv(page.printable), conv(page.offset)};
}

DevicePage PrinterDevicePage(const QPrinter& printer)
{
    // Taken from the page layout itself rather than QPrinter::pageRect(),
    // which in full-page mode reports the whole sheet as printable.
    const int dpi = printer.resolution();
    const QPageLayout layout = printer.pageLayout();
    const QRect full = layout.fullRectPixels(dpi);
    const QMargins margins = layout.marginsPixels(dpi);
    DevicePage page;
    page.paper = full.size();
    page.printable = QSize(qMax(0, full.width() - margins.left() - margins.right()),
                           qMax(0, full.height() - margins.top() - margins.bottom()));
    page.offset = QSize(margins.left(), margins.top());
    return page;
}

DevicePage CorrectedDevicePage(DevicePage page, const PageCorrection& correction)
{
    // Rounded down, so that the stretched area never passes the real one.
    auto reach = [](int size, double factor) { return factor > 1.0 ? static_cast<int>(size / factor) : size; };
    page.printable = QSize(reach(page.printable.width(), correction.x), reach(page.printable.height(), correction.y));
    return page;
}

static void setDpi(int dpiX, int dpiY, int* px, int* py)
{
    if (px) *px = dpiX;
    if (py) *py = dpiY;
}

void GetDevicePageMetrics(const DeviceContext& dc, int nUnits, PrinterPageMetrics& metrics,
                          int* pixelsPerInchX, int* pixelsPerInchY)
{
    metrics = ConvertPageMetrics(dc.page(), dc.dpiX(), dc.dpiY(), nUnits);
    setDpi(dc.dpiX(), dc.dpiY(), pixelsPerInchX, pixelsPerInchY);
}

void GetDevicePageMetrics(const QPrinter& printer, int nUnits, PrinterPageMetrics& metrics,
                          int* pixelsPerInchX, int* pixelsPerInchY)
{
    GetTargetPageMetrics(printer, PageCorrection(), nUnits, metrics, pixelsPerInchX, pixelsPerInchY);
}

void GetTargetPageMetrics(const QPrinter& printer, const PageCorrection& correction, int nUnits,
                          PrinterPageMetrics& metrics, int* pixelsPerInchX, int* pixelsPerInchY)
{
    const int dpi = printer.resolution();
    metrics = ConvertPageMetrics(CorrectedDevicePage(PrinterDevicePage(printer), correction), dpi, dpi, nUnits);
    setDpi(dpi, dpi, pixelsPerInchX, pixelsPerInchY);
}

bool GetPrinterPageMetrics(const PrinterSettings& settings, int nUnits, PrinterPageMetrics& metrics,
                           int* pixelsPerInchX, int* pixelsPerInchY)
{
    QPrinter printer(QPrinter::HighResolution);
    SetUpApplicationPrinter(printer, settings);
    int dpiX = 0;
    int dpiY = 0;
    GetDevicePageMetrics(printer, nUnits, metrics, &dpiX, &dpiY);
    setDpi(dpiX, dpiY, pixelsPerInchX, pixelsPerInchY);
    if (!settings.isPdfOutput()) return true;
    // Without a print queue the fallback sheet keeps the fallback's numbers.
    PrinterPageMetrics device;
    GetDevicePageMetrics(printer, PAGE_UNITS_DEVICE, device);
    if (dpiX == LETTER_FALLBACK_DPI && dpiY == LETTER_FALLBACK_DPI
        && device == LetterFallbackMetrics(PAGE_UNITS_DEVICE))
        metrics = LetterFallbackMetrics(nUnits);
    return false;
}

bool GetTargetPrinterMetrics(const PrinterSettings& settings, int nUnits, PrinterPageMetrics& metrics)
{
    // PDF output is never corrected (and keeps the fallback sheet's numbers).
    if (settings.isPdfOutput()) return GetPrinterPageMetrics(settings, nUnits, metrics);
    QPrinter printer(QPrinter::HighResolution);
    SetUpApplicationPrinter(printer, settings);
    GetTargetPageMetrics(printer, PrinterCorrection(printer), nUnits, metrics);
    return true;
}
