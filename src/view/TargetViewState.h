#pragma once

#include <QColor>
#include <QImage>
#include <QRectF>
#include <QPoint>
#include <QSize>
#include <QString>

#include "platform/CommandIds.h"
#include "platform/DeviceContext.h"
#include "platform/GdiRect.h"
#include "print/PageMetrics.h"
#include "print/PrintJob.h"
#include "view/DistanceScale.h"
#include "print/TargetLayout.h"
#include "view/ViewModes.h"

#include <memory>

class CTargetDesign;
class TargetImage;

// The window's count of a poster's sheets: "20 sheets, 4 empty left out",
// and what became of the centre when it was to stay on one sheet.
QString PosterCountCaption(const TargetLayout& layout);

// Everything a target window knows besides its widget: the modes, the stored
// printer metrics, both layouts, and the one routine that paints a page on
// screen, in the preview and on paper. The window (CTargetView) and the
// command line both print through it, so they print the same pages.
class TargetViewState : public PrintedTarget {
public:
    TargetViewState();
    ~TargetViewState() override;

    // The target of the document, or null; its title for the printout.
    virtual TargetImage* Target() const = 0;
    virtual QString DocumentTitle() const = 0;

    // What the view asks of the target: its kind (0 for none), its size in
    // HIMETRIC, and to draw itself into a device rectangle. By default the
    // document's TargetImage answers.
    virtual int TargetKind() const;
    virtual QSize TargetSizeHimetric() const;
    virtual bool DrawTarget(DeviceContext& dc, const GdiRect& rect);

    bool HasPicture() const;
    // While a ring design is scaled for distance with a calibre: the design
    // corrected for it (designer/CalibreCorrection.h), which is what is laid
    // out and drawn; null otherwise. Rebuilt when the design changes.
    const CTargetDesign* CorrectedDesign() const;
    // The parts of the target a poster may keep on one sheet, in HIMETRIC
    // of the layout size within the target's rectangle, largest first: the
    // rings of a ring design from the outermost to the innermost ring or
    // bull's-eye (none under a 25 mm disc), else a 25 mm disc about the
    // centre.
    virtual std::vector<QRectF> CentralZones() const;
    // Picture size in HIMETRIC, scaled for distance in that mode.
    QSize GetLayoutSize() const;
    TargetLayoutInput LayoutInput() const;

    void ExceedsPrintable(bool* pbExceeds, bool* pbExceedsBy20 = nullptr) const;
    bool CanTileTarget() const;

    PrinterPageMetrics StoredMetrics() const;
    void SetStoredMetrics(const PrinterPageMetrics& himetric);
    // Reads the application's printer (letter size without one), its
    // printable area as far as its stored correction lets it reach; returns
    // whether any of the stored numbers changed.
    bool ReadDefaultPrinterMetrics();
    // The keeper of the application's printer this window lays out and
    // prints for: the one given, else the settings file's printer.
    void SetPrinterHost(PrinterHost* host) { m_printerHost = host; }
    PrinterHost& Printer() const { return m_printerHost ? *m_printerHost : StoredPrinter(); }

    // The poster chosen when a new window opens a target more than 20 %
    // larger than the printable area.
    void ChooseAutomaticPoster();

    // Tile Pages to Target and Scale Target to Page with their update state.
    void ToggleTilePagesToTarget();
    bool TilePagesToTargetEnabled() const;
    bool TilePagesToTargetChecked() const { return m_modes.Tile() == TILE_PAGES_TO_TARGET; }
    void ToggleScaleTargetToPage();
    bool ScaleTargetToPageEnabled() const;
    bool ScaleTargetToPageChecked() const { return m_modes.Scale() == SCALE_TO_PAGE; }

    // The target changed: drops the modes it no longer allows. Returns true
    // when the grid of copies is still possible and must be recomputed.
    bool ApplyTargetChanged();

    // Sets the zoom of a command in 32770..32777; false when it is already
    // the chosen one (nothing to do).
    bool SetZoomCommand(int nID);
    bool IsFitZoom() const { return m_nZoomCmd == Cmd::ID_VIEW_FIT_TO_WINDOW; }

    // Screen layout for a screen of the given resolution and client area;
    // sets m_rcTotal.
    void LayoutForScreen(int dpiX, int dpiY, QSize sizeClient);
    // Print layout of page m_nCurPage for a printer context.
    void LayoutForPrinter(const DeviceContext& dc);
    void LayoutForPrinter(const PrinterPageMetrics& device, int dpiX, int dpiY);
    // Pages of a print job: page 1 laid out for the printer, rows x columns.
    int PrintPageCount(const PrinterPageMetrics& device, int dpiX, int dpiY);
    // A job's printer: its metrics become the stored ones, then as above.
    int TakePrinterPages(const PrinterPageMetrics& himetric, const PrinterPageMetrics& device, int dpiX,
                         int dpiY) override;
    // Sets m_nCurPage and paints it.
    void PaintPrintedPage(DeviceContext& dc, int page) override;

    // The one paint routine. A printing context gets page m_nCurPage with
    // its origin at the top-left corner of the printable area; any other
    // context gets the screen picture for a client area of sizeClient with
    // the given scroll position. Fit zoom draws off screen and copies.
    void PaintTarget(DeviceContext& dc, QSize sizeClient = QSize(), QPoint scroll = QPoint());

    // Colours of the screen picture (system colours by default).
    QColor m_clrButtonFace;
    QColor m_clrWindow;

    TargetLayout m_layoutScreen;
    TargetLayout m_layoutPrint;
    QSize m_sizePaper{0, 0};
    QSize m_sizePrintable{0, 0};
    QSize m_sizeOffset{0, 0};
    int m_nZoomCmd = Cmd::ID_VIEW_FIT_TO_WINDOW;
    double m_dZoom = 0.5;
    // The screen's pixels per inch over the whole number a screen layout is
    // given (100.6 over 101): every fixed zoom is multiplied by it, so the
    // full size keeps the fraction.
    double m_dScreenZoom = 1.0;
    GdiRect m_rcTotal{0, 0, 1000, 1000};
    ViewModes m_modes;
    int m_nCurPage = 0;
    double m_dDistanceScale = 1.0;
    double m_dTargetDistance = 1.0;
    double m_dShooterDistance = 1.0;
    int m_nRowSpacing = 0;
    int m_nColSpacing = 0;
    int m_nTileRows = 0;
    int m_nTileCols = 0;
    bool m_bAskTileSpacing = true;
    QString m_strShooterUnit = QStringLiteral("Yards");
    QString m_strTargetUnit = QStringLiteral("Yards");
    // The calibre the distance scaling corrects a ring design for; none
    // scales by m_dDistanceScale alone.
    Calibre m_calibre;
    int m_nPictureKind = 1;
    // Whether printed sheets carry the scale check, and the window shows it.
    bool m_bScaleCheck = false;
    // Overlap, labels, centring and empty sheets of a poster.
    PosterOptions m_poster;
    // The target changed its drawing: what was found empty must be found again.
    void ForgetInk() { m_ink = QImage(); }

private:
    PrinterHost* m_printerHost = nullptr;
    // The target drawn small for finding empty sheets; kept while its size
    // stays.
    const QImage* inkImage() const;
    mutable QImage m_ink;
    mutable QSize m_sizeInk;

    void paintPrinted(DeviceContext& dc);
    void paintScreen(DeviceContext& dc, QSize sizeClient, QPoint scroll);
    void drawScreenPicture(DeviceContext& dc);
    void drawPosterSheets(DeviceContext& dc);
    void drawTargets(DeviceContext& dc, const TargetLayout& layout);

    // CorrectedDesign's cache: the design it was made from, for which scale
    // and calibre.
    mutable std::unique_ptr<CTargetDesign> m_corrected;
    mutable std::unique_ptr<CTargetDesign> m_correctedFrom;
    mutable double m_correctedScale = 0.0;
    mutable Calibre m_correctedCalibre;
    mutable bool m_correctedValid = false;
};
