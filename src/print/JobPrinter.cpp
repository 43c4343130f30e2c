#include "print/JobPrinter.h"

#include <QPrinter>

#include "print/PrinterSettings.h"

void SetUpTargetPrinter(QPrinter& printer)
{
    printer.setFullPage(true);
    printer.setPageOrder(QPrinter::FirstPageFirst);
    printer.setCopyCount(1);
}

void SetUpApplicationPrinter(QPrinter& printer, const PrinterSettings& settings)
{
    settings.applyTo(printer);
    SetUpTargetPrinter(printer);
}

void SetUpPdfPrinter(QPrinter& printer, const QString& outputFile, QPageSize::PageSizeId paper, int dpi)
{
    SetUpPdfOutput(printer, outputFile, QPageSize(paper), QPageLayout::Portrait, dpi);
    SetUpTargetPrinter(printer);
}

namespace {

class SettingsFilePrinter : public PrinterHost {
public:
    PrinterSettings CurrentPrinter() override { return PrinterSettings::load(); }
    void AdoptPrinter(const PrinterSettings& settings) override { settings.save(); }
};

}  // namespace

PrinterHost& StoredPrinter()
{
    static SettingsFilePrinter host;
    return host;
}
