#include "view/CommandLinePrint.h"

#include <QFileInfo>
#include <QPrinter>

#include <memory>

#include "document/TargetImage.h"
#include "platform/MessageBox.h"
#include "print/PrinterSettings.h"
#include "print/CalibrationSheet.h"
#include "print/CommandLine.h"
#include "view/CommandLineOptions.h"
#include "view/DistanceScaleCommand.h"
#include "print/PageMetrics.h"
#include "view/PosterDlg.h"
#include "print/PrintJob.h"
#include "view/TargetViewState.h"
#include "view/TileLayoutCommand.h"

namespace {

const char* const CAPTION = "Vantric";

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
    // The end state the mode options state, -1 where they state none: the
    // scale (--actual-size, --scale-to-page, --distance) and the layout
    // (--poster, --tile).
    int scaleMode = -1;
    int tileMode = -1;
    DistanceOption distance;
    Calibre calibre;
    TileOption tile;
    QPageSize::PageSizeId paper = QPageSize::Letter;
    int dpi = 600;
    PosterOptions poster;  // --overlap, --sheet-labels, --centre-on-sheet, --skip-empty
    int page = 1;  // of a PDF target
};

int fail(const QString& text)
{
    ShowMessage(text, QString::fromLatin1(CAPTION), MsgButtons::Ok, MsgIcon::Error);
    return 1;
}

// Two mode options that state different ends of one mode.
QString stateOnce(int* mode, int wanted, const QString& option, const QString& first)
{
    if (*mode == -1 || *mode == wanted) {
        *mode = wanted;
        return QString();
    }
    return QStringLiteral("%1 and %2 state different ways to print: give one.").arg(first, option);
}

// The readers of the options that state the scale and the sheets; each
// keeps the option that stated its mode, for the message of a second one.
QList<OptionReader> modeReaders(Options& o, QString& scaleOption, QString& tileOption)
{
    const auto scale = [&o, &scaleOption](const QString& a, const QString& v) -> QString {
        if (a == QLatin1String("--distance") && o.scaleMode == SCALE_FOR_DISTANCE)
            return QStringLiteral("%1 is given twice.").arg(a);
        const int mode = a == QLatin1String("--actual-size")     ? SCALE_ACTUAL
                         : a == QLatin1String("--scale-to-page") ? SCALE_TO_PAGE
                                                                 : SCALE_FOR_DISTANCE;
        QString problem = stateOnce(&o.scaleMode, mode, a, scaleOption);
        if (problem.isEmpty() && mode == SCALE_FOR_DISTANCE) problem = ParseDistanceOption(v, &o.distance);
        scaleOption = a;
        return problem;
    };
    const auto tile = [&o, &tileOption](const QString& a, const QString& v) -> QString {
        if (a == QLatin1String("--tile") && o.tileMode == TILE_TARGET_TO_PAGE)
            return QStringLiteral("%1 is given twice.").arg(a);
        const bool poster = a == QLatin1String("--poster");
        QString problem = stateOnce(&o.tileMode, poster ? TILE_PAGES_TO_TARGET : TILE_TARGET_TO_PAGE, a, tileOption);
        if (problem.isEmpty() && !poster) problem = ParseTileOption(v, &o.tile);
        tileOption = a;
        return problem;
    };
    return {{"--actual-size", scale}, {"--scale-to-page", scale}, {"--distance", scale},
            {"--poster", tile},       {"--tile", tile}};
}

QList<OptionReader> optionReaders(Options& o)
{
    QList<OptionReader> readers = {
        FlagReader("-p", &o.toPrinter),
        OutputFileReader("--print-to-pdf", &o.pdf),
        OutputFileReader("--calibration-sheet", &o.sheet),
        FlagReader("--scale-check", &o.scaleCheck),
        {"--calibre",
         [&o](const QString&, const QString& v) -> QString {
             if (o.calibre.isSet()) return QStringLiteral("--calibre is given twice.");
             return ParseCalibreOption(v, &o.calibre);
         }},
        {"--overlap", [&o](const QString&, const QString& v) { return ParseOverlapOption(v, &o.poster.nOverlap); }},
        FlagReader("--sheet-labels", &o.poster.bSheetLabels),
        FlagReader("--centre-on-sheet", &o.poster.bCentreOnSheet),
        FlagReader("--skip-empty", &o.poster.bSkipEmpty),
        {"--page",
         [&o](const QString&, const QString& v) -> QString {
             bool ok = false;
             o.page = v.toInt(&ok);
             return !ok || o.page < 1 ? QStringLiteral("--page needs a page number from 1.") : QString();
         }},
    };
    return readers + PdfOutputReaders(&o.paper, &o.dpi);
}

// Returns an empty string on success, else the message to show.
QString parse(const CommandLine& line, Options& o)
{
    QString scaleOption, tileOption;
    const QString problem = ReadOptions(line, optionReaders(o) + modeReaders(o, scaleOption, tileOption));
    if (!problem.isEmpty()) return problem;
    if (!o.sheet.isEmpty()) {
        if (!line.operands.isEmpty()) return QStringLiteral("--calibration-sheet takes only --paper and --dpi.");
        return QString();
    }
    if (o.toPrinter == !o.pdf.isEmpty())
        return QStringLiteral("Give either -p or --print-to-pdf.");
    if (o.calibre.isSet() && o.scaleMode != SCALE_FOR_DISTANCE)
        return QStringLiteral("--calibre belongs to --distance.");
    if (line.operands.size() != 1) return QStringLiteral("Give exactly one target file to print.");
    o.file = line.operands.front();
    return QString();
}

// Brings the view to the end state the mode options state: the scale first,
// since the layout of sheets and copies depends on it.
QString applyModes(CommandLineTarget& view, const Options& o)
{
    if (o.scaleMode == SCALE_TO_PAGE && view.m_modes.Scale() != SCALE_TO_PAGE) {
        if (!view.ScaleTargetToPageEnabled())
            return QStringLiteral("Scale Target to Page is not available: the target fits on the printable area.");
        view.ToggleScaleTargetToPage();
    } else if (o.scaleMode == SCALE_FOR_DISTANCE) {
        double scale = 1.0;
        // Decided by the kind of target, not by its file name.
        const CTargetDesign* design =
            view.m_image->kind() == TARGET_KIND_DESIGNER ? view.m_image->designer() : nullptr;
        const QString problem =
            CheckDistanceOption(o.distance, view.TargetSizeHimetric().height(), &scale, o.calibre, design);
        if (!problem.isEmpty()) return problem;
        ApplyDistanceScale(view, scale, o.distance.shooterDistance, o.distance.targetDistance,
                           ShooterSuffix(o.distance), TargetSuffix(o.distance), o.calibre);
    }
    if (o.tileMode == TILE_PAGES_TO_TARGET && view.m_modes.Tile() != TILE_PAGES_TO_TARGET) {
        if (!view.TilePagesToTargetEnabled())
            return QStringLiteral("Tile Pages to Target is not available: the target fits on the printable "
                                  "area, or it is scaled to the page.");
        view.ToggleTilePagesToTarget();
    } else if (o.tileMode == TILE_TARGET_TO_PAGE) {
        if (view.m_modes.Scale() == SCALE_TO_PAGE)
            return QStringLiteral("Tile Target to Page is not available: the target is scaled to the page.");
        const QSize size = view.GetLayoutSize();
        TileGrid grid;
        const QString problem = CheckTileOption(o.tile, size.width(), size.height(), view.m_sizePrintable.width(),
                                                view.m_sizePrintable.height(), &grid);
        if (!problem.isEmpty()) return problem;
        ApplyTileGrid(view, grid);
    }
    return QString();
}

}  // namespace

bool WantsCommandLinePrint(int argc, char** argv)
{
    const CommandLineCommand command = ParseCommandLine(CommandLineArguments(argc, argv)).command;
    const bool wants = command == CommandLineCommand::PrintToPrinter || command == CommandLineCommand::PrintToPdf
                       || command == CommandLineCommand::CalibrationSheet;
    if (wants) UseOffscreenWithoutDisplay();
    return wants;
}

int RunCommandLinePrint(const QStringList& arguments)
{
    const CommandLine line = ParseCommandLine(arguments);
    if (!line.error.isEmpty()) {
        fail(line.error + QLatin1Char('\n') + CommandLineUsage());
        return COMMAND_LINE_USAGE_ERROR;
    }
    Options o;
    const QString error = parse(line, o);
    if (!error.isEmpty()) return fail(error);

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
        const PrinterSettings settings = StoredPrinter().CurrentPrinter();
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

    const QString problem = applyModes(view, o);
    if (!problem.isEmpty()) return fail(problem);

    // The shell's Print prints as the window would, with the saved poster
    // choices; a PDF takes only the options it is given.
    view.m_poster = o.toPrinter ? ReadPosterOptions() : o.poster;
    const int pages = TakeJobPrinter(*printer, view);
    if (view.m_poster.AnyOn() && view.m_modes.Tile() != TILE_PAGES_TO_TARGET && !o.toPrinter)
        ShowMessage(QStringLiteral("The poster options apply only to a poster (Tile Pages to Target); this target "
                                   "prints on one sheet."),
                    QString::fromLatin1(CAPTION), MsgButtons::Ok, MsgIcon::Warning);
    else if (view.m_poster.AnyOn())
        ShowMessage(QStringLiteral("Poster: %1.").arg(PosterCountCaption(view.m_layoutPrint)),
                    QString::fromLatin1(CAPTION), MsgButtons::Ok, MsgIcon::Information);
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
