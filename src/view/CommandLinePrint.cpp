#include "view/CommandLinePrint.h"

#include <QFileInfo>
#include <QPrinter>

#include <cstring>
#include <memory>

#include "document/TargetImage.h"
#include "platform/MessageBox.h"
#include "platform/ui/PrinterSettings.h"
#include "view/CalibrationSheet.h"
#include "view/CommandLineOptions.h"
#include "view/DistanceScaleCommand.h"
#include "view/PageMetrics.h"
#include "view/PrintJob.h"
#include "view/TargetViewState.h"
#include "view/TileLayoutCommand.h"

namespace {

const char* const CAPTION = "Vantric";

bool isPrintOption(const char* arg)
{
    return std::strcmp(arg, "-p") == 0 || std::strcmp(arg, "/p") == 0 || std::strcmp(arg, "--print-to-pdf") == 0
        || std::strcmp(arg, "--calibration-sheet") == 0;
}

// A target window without a window: the document's target and title.
class CommandLineTarget : public TargetViewState {
public:
    TargetImage* Target() const override { return m_image.get(); }
    QString DocumentTitle() const override { return m_title; }

    std::unique_ptr<TargetImage> m_image = std::make_unique<TargetImage>();
    QString m_title;
};

struct Options {
    bool toPrinter = false;
    QString pdf;
    QString sheet;  // --calibration-sheet's output
    bool scaleCheck = false;
    QString file;
    // The mode options in their order, each applied as its menu command
    // would be: "--poster", "--scale-to-page", "--distance", "--tile".
    QStringList steps;
    DistanceOption distance;
    TileOption tile;
    QPageSize::PageSizeId paper = QPageSize::Letter;
    int dpi = 600;
    int page = 1;  // of a PDF target
};

int fail(const QString& text)
{
    ShowMessage(text, QString::fromLatin1(CAPTION), MsgButtons::Ok, MsgIcon::Error);
    return 1;
}

QString usage()
{
    return QStringLiteral(
        "Usage: vantric -p FILE\n"
        "       vantric --print-to-pdf OUT.pdf [--poster] [--scale-to-page] [--distance SHOOTER:TARGET]\n"
        "               [--tile ROWSxCOLS[@ROWGAP,COLGAP]] [--paper letter|a4] [--dpi N] FILE\n"
        "       (both with [--scale-check] and [--page N], the page of a PDF target)\n"
        "       vantric --calibration-sheet OUT.pdf [--paper letter|a4] [--dpi N]");
}

// Returns an empty string on success, else the message to show.
QString parse(const QStringList& args, Options& o)
{
    QStringList files;
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&](QString& out) {
            if (i + 1 >= args.size()) return false;
            out = args[++i];
            return true;
        };
        if (a == QLatin1String("-p") || a == QLatin1String("/p")) {
            o.toPrinter = true;
        } else if (a == QLatin1String("--print-to-pdf")) {
            if (!value(o.pdf) || o.pdf.isEmpty()) return QStringLiteral("--print-to-pdf needs an output file.");
        } else if (a == QLatin1String("--calibration-sheet")) {
            if (!value(o.sheet) || o.sheet.isEmpty()) return QStringLiteral("--calibration-sheet needs an output file.");
        } else if (a == QLatin1String("--scale-check")) {
            o.scaleCheck = true;
        } else if (a == QLatin1String("--poster") || a == QLatin1String("--scale-to-page")) {
            o.steps << a;
        } else if (a == QLatin1String("--distance") || a == QLatin1String("--tile")) {
            if (o.steps.contains(a)) return QStringLiteral("%1 is given twice.").arg(a);
            QString v;
            const bool distance = a == QLatin1String("--distance");
            if (!value(v)) v.clear();
            const QString problem =
                distance ? ParseDistanceOption(v, &o.distance) : ParseTileOption(v, &o.tile);
            if (!problem.isEmpty()) return problem;
            o.steps << a;
        } else if (a == QLatin1String("--paper")) {
            QString v;
            if (!value(v)) return QStringLiteral("--paper needs letter or a4.");
            const QString problem = ParsePaperOption(v, &o.paper);
            if (!problem.isEmpty()) return problem;
        } else if (a == QLatin1String("--dpi")) {
            QString v;
            if (!value(v)) v.clear();
            const QString problem = ParseDpiOption(v, &o.dpi);
            if (!problem.isEmpty()) return problem;
        } else if (a == QLatin1String("--page")) {
            QString v;
            bool ok = false;
            if (value(v)) o.page = v.toInt(&ok);
            if (!ok || o.page < 1) return QStringLiteral("--page needs a page number from 1.");
        } else if (a.startsWith(QLatin1Char('-')) && a.size() > 1) {
            return QStringLiteral("Unknown option \"%1\".").arg(a);
        } else {
            files << a;
        }
    }
    if (!o.sheet.isEmpty()) {
        if (o.toPrinter || !o.pdf.isEmpty() || !o.steps.isEmpty() || o.scaleCheck || !files.isEmpty())
            return QStringLiteral("--calibration-sheet takes only --paper and --dpi.");
        return QString();
    }
    if (o.toPrinter == !o.pdf.isEmpty())
        return QStringLiteral("Give either -p or --print-to-pdf.");
    if (o.toPrinter && o.steps.size() + (o.paper != QPageSize::Letter) > 0)
        return QStringLiteral("The print options belong to --print-to-pdf.");
    if (files.size() != 1) return QStringLiteral("Give exactly one target file to print.");
    o.file = files.front();
    return QString();
}

}  // namespace

bool WantsCommandLinePrint(int argc, char** argv)
{
    bool wants = false;
    for (int i = 1; i < argc && !wants; ++i) wants = argv[i] && isPrintOption(argv[i]);
    if (wants) UseOffscreenWithoutDisplay();
    return wants;
}

void UseOffscreenWithoutDisplay()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

int RunCommandLinePrint(const QStringList& arguments)
{
    Options o;
    const QString error = parse(arguments, o);
    if (!error.isEmpty()) return fail(error + QLatin1Char('\n') + usage());

    if (!o.sheet.isEmpty()) {
        QPrinter printer(QPrinter::HighResolution);
        SetUpPdfPrinter(printer, o.sheet, o.paper, o.dpi);
        printer.setDocName(QStringLiteral("Calibration sheet"));
        if (!PrintCalibrationSheet(printer, QString()))
            return fail(QStringLiteral("Cannot write \"%1\".").arg(o.sheet));
        return 0;
    }

    CommandLineTarget view;
    view.m_bScaleCheck = o.scaleCheck;
    view.m_title = QFileInfo(o.file).fileName();
    if (!view.m_image->Load(o.file) || view.m_image->kind() == TARGET_KIND_NONE) {
        ShowMessage(QStringLiteral("The file \"%1\" does not appear the be a valid image or target file.").arg(o.file),
                    QStringLiteral("Error Reading File"), MsgButtons::Ok, MsgIcon::Error);
        return 1;
    }
    view.m_nPictureKind = view.m_image->kind();
    if (!view.m_image->SetPage(o.page))
        return fail(QStringLiteral("--page: \"%1\" has %2 page(s).").arg(o.file).arg(view.m_image->PageCount()));

    std::unique_ptr<QPrinter> printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (o.toPrinter) {
        // The application's printer, as Print Setup left it; PDF output
        // needs the file chosen there.
        const PrinterSettings settings = ApplicationPrinterSettings();
        if (settings.isPdfOutput() && settings.outputFile.isEmpty())
            return fail(QStringLiteral("No printer is set up: choose one in Print Setup, or use --print-to-pdf."));
        SetUpApplicationPrinter(*printer, settings);
    } else {
        SetUpPdfPrinter(*printer, o.pdf, o.paper, o.dpi);
    }
    printer->setDocName(view.m_title);

    // The stored metrics are the printer's, as when a window opens the
    // target and then prints on that printer.
    PrinterPageMetrics himetric;
    GetTargetPageMetrics(*printer, PrinterCorrection(*printer), PAGE_UNITS_HIMETRIC, himetric);
    view.SetStoredMetrics(himetric);
    view.ChooseAutomaticPoster();

    for (const QString& step : o.steps) {
        if (step == QLatin1String("--poster")) {
            if (!view.TilePagesToTargetEnabled())
                return fail(QStringLiteral("Tile Pages to Target is not available: the target fits on the printable "
                                           "area, or it is scaled to the page."));
            view.ToggleTilePagesToTarget();
        } else if (step == QLatin1String("--scale-to-page")) {
            if (!view.ScaleTargetToPageEnabled())
                return fail(QStringLiteral("Scale Target to Page is not available: the target fits on the printable "
                                           "area."));
            view.ToggleScaleTargetToPage();
        } else if (step == QLatin1String("--distance")) {
            double scale = 1.0;
            const QString problem = CheckDistanceOption(o.distance, view.TargetSizeHimetric().height(), &scale);
            if (!problem.isEmpty()) return fail(problem);
            ApplyDistanceScale(view, scale, o.distance.shooterDistance, o.distance.targetDistance,
                               ShooterSuffix(o.distance), TargetSuffix(o.distance));
        } else {
            if (view.m_modes.Scale() == SCALE_TO_PAGE)
                return fail(QStringLiteral("Tile Target to Page is not available: the target is scaled to the page."));
            const QSize size = view.GetLayoutSize();
            TileGrid grid;
            const QString problem = CheckTileOption(o.tile, size.width(), size.height(), view.m_sizePrintable.width(),
                                                    view.m_sizePrintable.height(), &grid);
            if (!problem.isEmpty()) return fail(problem);
            ApplyTileGrid(view, grid);
        }
    }

    const int pages = TakeJobPrinter(*printer, view);
    if (pages > MAX_SHEETS_UNASKED)
        return fail(QStringLiteral("This target prints on %1 sheets, more than %2: print it from the window, or "
                                   "give --scale-to-page.")
                        .arg(pages)
                        .arg(MAX_SHEETS_UNASKED));
    if (!PrintTargetPages(*printer, view, 1, pages))
        return fail(o.toPrinter ? QStringLiteral("The printer could not be started.")
                                : QStringLiteral("Cannot write \"%1\".").arg(o.pdf));
    return 0;
}
