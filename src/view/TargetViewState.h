#pragma once

#include <QColor>
#include <QPoint>
#include <QSize>
#include <QString>

#include "platform/CommandIds.h"
#include "platform/DeviceContext.h"
#include "platform/GdiRect.h"
#include "view/PageMetrics.h"
#include "view/TargetLayout.h"
#include "view/ViewModes.h"

class TargetImage;

// Everything a target window knows besides its widget: the modes, the stored
// printer metrics, both layouts, and the one routine that paints a page on
// screen, in the preview and on paper. The window (CTargetView) and the
// command line both print through it, so they print the same pages.
class TargetViewState {
public:
    TargetViewState();
    virtual ~TargetViewState();

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
    // Picture size in HIMETRIC, scaled for distance in that mode.
    QSize GetLayoutSize() const;
    TargetLayoutInput LayoutInput() const;

    void ExceedsPrintable(bool* pbExceeds, bool* pbExceedsBy20 = nullptr) const;
    bool CanTileTarget() const;

    PrinterPageMetrics StoredMetrics() const;
    void SetStoredMetrics(const PrinterPageMetrics& himetric);
    // Reads the default printer (letter size without one), its printable area
    // as far as its stored correction lets it reach; returns whether
    // any of the stored numbers changed.
    bool ReadDefaultPrinterMetrics();

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
    int m_nPictureKind = 1;
    // Whether printed sheets carry the scale check, and the window shows it.
    bool m_bScaleCheck = false;

private:
    void paintPrinted(DeviceContext& dc);
    void paintScreen(DeviceContext& dc, QSize sizeClient, QPoint scroll);
    void drawScreenPicture(DeviceContext& dc);
    void drawTargets(DeviceContext& dc, const TargetLayout& layout);
};
