#include "view/TargetViewState.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QRegion>

#include <algorithm>

#include "designer/CalibreCorrection.h"
#include "designer/DesignElement.h"
#include "designer/TargetDesign.h"
#include "document/TargetImage.h"
#include "platform/Units.h"
#include "print/PrinterSettings.h"
#include "view/DistanceScale.h"
#include "print/PosterMarks.h"
#include "print/PrintCaptions.h"
#include "print/ScaleCheck.h"
#include "view/TileLayout.h"

// Distances in captions: whole numbers from 100, one decimal from 20, two
// below.
TargetViewState::TargetViewState()
{
    const QPalette pal = QGuiApplication::palette();
    m_clrButtonFace = pal.color(QPalette::Button);
    m_clrWindow = pal.color(QPalette::Base);
}

TargetViewState::~TargetViewState() = default;

int TargetViewState::TargetKind() const
{
    const TargetImage* image = Target();
    return image ? image->kind() : TARGET_KIND_NONE;
}

QSize TargetViewState::TargetSizeHimetric() const
{
    const TargetImage* image = Target();
    return image ? image->GetSizeHimetric() : QSize(0, 0);
}

bool TargetViewState::DrawTarget(DeviceContext& dc, const GdiRect& rect)
{
    TargetImage* image = Target();
    return image && image->Draw(dc, rect);
}

bool TargetViewState::HasPicture() const
{
    return TargetKind() != TARGET_KIND_NONE;
}

const CTargetDesign* TargetViewState::CorrectedDesign() const
{
    if (m_modes.Scale() != SCALE_FOR_DISTANCE || !m_calibre.isSet() || TargetKind() != TARGET_KIND_DESIGNER)
        return nullptr;
    const TargetImage* image = Target();
    const CTargetDesign* design = image ? image->designer() : nullptr;
    if (!design) return nullptr;
    if (!m_corrected || m_correctedScale != m_dDistanceScale || !(m_correctedCalibre == m_calibre)
        || !m_correctedFrom->Equals(*design)) {
        m_corrected = std::make_unique<CTargetDesign>();
        m_correctedFrom = std::make_unique<CTargetDesign>();
        m_correctedFrom->CopyFrom(*design);
        // A design edited since OK may have lost its outermost ring to the
        // calibre: it then prints proportionally, and its captions say no
        // calibre.
        m_correctedValid =
            !CorrectForCalibre(*design, m_dDistanceScale, m_calibre.Inches(), *m_corrected).outermostVanishes;
        m_correctedScale = m_dDistanceScale;
        m_correctedCalibre = m_calibre;
    }
    return m_correctedValid ? m_corrected.get() : nullptr;
}

QSize TargetViewState::GetLayoutSize() const
{
    if (!HasPicture()) return QSize(0, 0);
    QSize size = TargetSizeHimetric();
    // The corrected design is laid out as it will print, reduced by the
    // scale like any target scaled for distance.
    if (const CTargetDesign* corrected = CorrectedDesign()) {
        const int side = static_cast<int>(Units::InchesToHimetric(corrected->OverallDiameter()));
        size = QSize(side, side);
    }
    if (m_modes.Scale() == SCALE_FOR_DISTANCE)
        size = QSize(static_cast<int>(size.width() * m_dDistanceScale),
                     static_cast<int>(size.height() * m_dDistanceScale));
    return size;
}

TargetLayoutInput TargetViewState::LayoutInput() const
{
    TargetLayoutInput in;
    in.sizeTarget = GetLayoutSize();
    in.nScaleMode = m_modes.Scale();
    in.nTileMode = m_modes.Tile();
    in.nTileRows = m_nTileRows;
    in.nTileCols = m_nTileCols;
    in.nRowSpacing = m_nRowSpacing;
    in.nColSpacing = m_nColSpacing;
    if (in.nTileMode == TILE_PAGES_TO_TARGET && m_poster.AnyOn()) {
        in.poster = m_poster;
        if (m_poster.bCentreOnSheet) in.zones = CentralZones();
        if (m_poster.bSkipEmpty) in.ink = inkImage();
    }
    return in;
}

std::vector<QRectF> TargetViewState::CentralZones() const
{
    const QSize size = GetLayoutSize();
    if (size.isEmpty()) return {};
    QPointF centre(size.width() / 2.0, size.height() / 2.0);
    auto disc = [&](double d) { return QRectF(centre.x() - d / 2, centre.y() - d / 2, d, d); };
    std::vector<QRectF> zones;
    const TargetImage* image = Target();
    // A design corrected for a calibre is the one that is laid out and drawn.
    const CTargetDesign* design = CorrectedDesign();
    if (!design) design = image ? image->designer() : nullptr;
    if (design && TargetKind() == TARGET_KIND_DESIGNER) {
        // The design is fitted into the target's rectangle, centred.
        const DesignRect& b = design->Bounds();
        const double bw = b.right - b.left;
        const double bh = b.bottom - b.top;
        if (bw > 0 && bh > 0) {
            const double scale = std::min(size.width() / bw, size.height() / bh);
            centre -= QPointF((b.left + b.right) / 2 * scale, (b.top + b.bottom) / 2 * scale);
            // Drawing order is largest first.
            for (const CDesignElement* e : design->DrawingOrder())
                if (e->IsEnabled()) zones.push_back(disc(std::max<double>(POSTER_PICTURE_ZONE, e->Diameter() * scale)));
        }
    }
    if (zones.empty()) zones.push_back(disc(POSTER_PICTURE_ZONE));
    return zones;
}

const QImage* TargetViewState::inkImage() const
{
    const QSize size = GetLayoutSize();
    if (size.isEmpty()) return nullptr;
    if (m_ink.isNull() || m_sizeInk != size) {
        // About 500 pixels along the longer side: enough to see a ring line,
        // quick enough for every paint.
        const double ppi =
            std::clamp(500.0 * Units::HIMETRIC_PER_INCH / std::max(size.width(), size.height()), 4.0, 300.0);
        const int iw = std::max(1, qRound(size.width() * ppi / Units::HIMETRIC_PER_INCH));
        const int ih = std::max(1, qRound(size.height() * ppi / Units::HIMETRIC_PER_INCH));
        m_ink = makeDeviceImage(iw, ih, qRound(ppi), qRound(ppi));
        m_ink.fill(Qt::white);
        QPainter painter(&m_ink);
        DeviceContext dc(&painter, qRound(ppi), qRound(ppi));
        const_cast<TargetViewState*>(this)->DrawTarget(dc, GdiRect(0, 0, iw, ih));
        m_sizeInk = size;
    }
    return &m_ink;
}

void TargetViewState::ExceedsPrintable(bool* pbExceeds, bool* pbExceedsBy20) const
{
    bool exceeds = false;
    bool by20 = false;
    if (HasPicture()) {
        const QSize s = GetLayoutSize();
        const int pw = m_sizePrintable.width();
        const int ph = m_sizePrintable.height();
        exceeds = s.width() > pw || s.height() > ph;
        by20 = s.width() > pw + static_cast<int>(pw * 0.2) || s.height() > ph + static_cast<int>(ph * 0.2);
    }
    if (pbExceeds) *pbExceeds = exceeds;
    if (pbExceedsBy20) *pbExceedsBy20 = by20;
}

bool TargetViewState::CanTileTarget() const
{
    if (!HasPicture()) return false;
    const QSize s = GetLayoutSize();
    return TargetFitsTwice(s.width(), s.height(), m_sizePrintable.width(), m_sizePrintable.height());
}

PrinterPageMetrics TargetViewState::StoredMetrics() const
{
    return {m_sizePaper, m_sizePrintable, m_sizeOffset};
}

void TargetViewState::SetStoredMetrics(const PrinterPageMetrics& m)
{
    m_sizePaper = m.sizePaper;
    m_sizePrintable = m.sizePrintable;
    m_sizeOffset = m.sizeOffset;
}

bool TargetViewState::ReadDefaultPrinterMetrics()
{
    const PrinterPageMetrics before = StoredMetrics();
    PrinterPageMetrics m;
    GetTargetPrinterMetrics(Printer().CurrentPrinter(), PAGE_UNITS_HIMETRIC, m);
    SetStoredMetrics(m);
    return !(before == m);
}

void TargetViewState::ChooseAutomaticPoster()
{
    bool by20 = false;
    ExceedsPrintable(nullptr, &by20);
    if (by20) m_modes.ChoosePoster();
}

void TargetViewState::ToggleTilePagesToTarget()
{
    m_modes.TogglePoster();
}

bool TargetViewState::TilePagesToTargetEnabled() const
{
    bool exceeds = false;
    ExceedsPrintable(&exceeds);
    return exceeds && m_modes.Scale() != SCALE_TO_PAGE;
}

void TargetViewState::ToggleScaleTargetToPage()
{
    m_modes.ToggleScaleToPage();
}

bool TargetViewState::ScaleTargetToPageEnabled() const
{
    bool exceeds = false;
    ExceedsPrintable(&exceeds);
    return exceeds;
}

bool TargetViewState::ApplyTargetChanged()
{
    ForgetInk();
    bool exceeds = false;
    ExceedsPrintable(&exceeds);
    if (!exceeds) {
        m_modes.DropScaleToPage();
        m_modes.DropPoster();
    }
    if (m_modes.Tile() != TILE_TARGET_TO_PAGE) return false;
    if (CanTileTarget()) return true;
    m_modes.DropGrid();
    return false;
}

bool TargetViewState::SetZoomCommand(int nID)
{
    if (nID == m_nZoomCmd) return false;
    m_nZoomCmd = nID;
    switch (nID) {
    case Cmd::ID_VIEW_ZOOM_25: m_dZoom = 0.25; break;
    case Cmd::ID_VIEW_ZOOM_50: m_dZoom = 0.5; break;
    case Cmd::ID_VIEW_ZOOM_75: m_dZoom = 0.75; break;
    default: m_dZoom = 1.0; break;
    }
    return true;
}

void TargetViewState::LayoutForScreen(int dpiX, int dpiY, QSize sizeClient)
{
    if (!HasPicture()) {
        m_rcTotal = GdiRect(0, 0, 100, 100);
        m_layoutScreen.m_rcTargets = GdiRect();
        m_layoutScreen.m_rcPaper = GdiRect();
        m_layoutScreen.m_rcPrintable = GdiRect();
        if (!m_layoutPrint.m_arrTargets.empty()) m_layoutPrint.m_arrTargets[0] = GdiRect();
        m_layoutPrint.m_rcPaper = GdiRect();
        return;
    }
    m_rcTotal = LayoutScreen(m_layoutScreen, LayoutInput(), StoredMetrics(), dpiX, dpiY, m_dZoom * m_dScreenZoom,
                             IsFitZoom(), sizeClient);
}

void TargetViewState::LayoutForPrinter(const DeviceContext& dc)
{
    PrinterPageMetrics m;
    int dpiX = 0;
    int dpiY = 0;
    GetDevicePageMetrics(dc, PAGE_UNITS_DEVICE, m, &dpiX, &dpiY);
    LayoutForPrinter(m, dpiX, dpiY);
}

void TargetViewState::LayoutForPrinter(const PrinterPageMetrics& device, int dpiX, int dpiY)
{
    if (!HasPicture()) {
        m_layoutPrint.m_arrTargets.assign(1, GdiRect());
        m_layoutPrint.m_rcTargets = GdiRect();
        m_layoutPrint.m_rcPaper = GdiRect();
        m_layoutPrint.m_nPageRows = m_layoutPrint.m_nPageCols = 1;
        return;
    }
    LayoutPrintPage(m_layoutPrint, LayoutInput(), device, dpiX, dpiY, m_nCurPage);
}

int TargetViewState::PrintPageCount(const PrinterPageMetrics& device, int dpiX, int dpiY)
{
    const int saved = m_nCurPage;
    m_nCurPage = 1;
    LayoutForPrinter(device, dpiX, dpiY);
    m_nCurPage = saved;
    return m_layoutPrint.PageCount();
}

int TargetViewState::TakePrinterPages(const PrinterPageMetrics& himetric, const PrinterPageMetrics& device, int dpiX,
                                      int dpiY)
{
    SetStoredMetrics(himetric);
    m_nCurPage = 1;
    return PrintPageCount(device, dpiX, dpiY);
}

void TargetViewState::PaintPrintedPage(DeviceContext& dc, int page)
{
    m_nCurPage = page;
    PaintTarget(dc);
}

void TargetViewState::drawTargets(DeviceContext& dc, const TargetLayout& layout)
{
    if (layout.m_arrTargets.empty()) return;
    size_t count = 1;
    if (m_modes.Tile() == TILE_TARGET_TO_PAGE)
        count = std::min(layout.m_arrTargets.size(),
                         static_cast<size_t>(layout.m_nTargetRows) * layout.m_nTargetCols);
    const CTargetDesign* corrected = CorrectedDesign();
    for (size_t i = 0; i < count; ++i) {
        dc.save();
        if (corrected)
            m_corrected->Draw(dc, layout.m_arrTargets[i]);
        else
            DrawTarget(dc, layout.m_arrTargets[i]);
        dc.restore();
    }
}

void TargetViewState::PaintTarget(DeviceContext& dc, QSize sizeClient, QPoint scroll)
{
    if (!HasPicture() || !dc.painter()) return;
    if (dc.isPrinting())
        paintPrinted(dc);
    else
        paintScreen(dc, sizeClient, scroll);
}

void TargetViewState::paintPrinted(DeviceContext& dc)
{
    LayoutForPrinter(dc);
    QPainter* p = dc.painter();
    dc.save();
    const QRect printable(0, 0, HimetricToPixels(m_sizePrintable.width(), dc.dpiX()),
                          HimetricToPixels(m_sizePrintable.height(), dc.dpiY()));
    p->setClipRect(printable);
    // Below its label band a sheet shows only its own part of the poster.
    const int sheet = m_layoutPrint.m_nCurSheet;
    if (m_layoutPrint.m_nLabelBand > 0 && sheet >= 0)
        p->setClipRect(m_layoutPrint.m_arrPages[static_cast<size_t>(sheet)].toQRect(), Qt::IntersectClip);
    drawTargets(dc, m_layoutPrint);
    if (m_layoutPrint.m_nLabelBand > 0) p->setClipRect(printable);

    PrintCaptionInfo info;
    info.strTitle = DocumentTitle();
    info.nScaleMode = m_modes.Scale();
    info.nTileMode = m_modes.Tile();
    // Captions go by the sheet's place: the title on the top-left sheet and
    // the maker's line on the top-right one, whatever was left out.
    info.nCurPage = sheet >= 0 ? sheet + 1 : m_nCurPage;
    info.nPageCols = m_layoutPrint.m_nPageCols;
    info.dFitScale = m_layoutPrint.m_dFitScale;
    info.strShooterDistance = FormatDistance(m_dShooterDistance);
    info.strShooterUnit = m_strShooterUnit;
    info.strTargetDistance = FormatDistance(m_dTargetDistance);
    info.strTargetUnit = m_strTargetUnit;
    info.strCalibre = CalibreCaptionSuffix(CorrectedDesign() ? m_calibre : Calibre());
    info.nPrintableWidth = dc.page().printable.width();
    DrawPrintCaptions(dc, info, m_layoutPrint);
    if (m_modes.Tile() == TILE_PAGES_TO_TARGET && m_poster.bSheetLabels) DrawSheetMarks(dc, m_layoutPrint);
    if (m_bScaleCheck) DrawScaleCheck(*p, QRectF(printable), dc.dpiX(), dc.dpiY());
    dc.restore();
}

void TargetViewState::paintScreen(DeviceContext& dc, QSize sizeClient, QPoint scroll)
{
    LayoutForScreen(dc.dpiX(), dc.dpiY(), sizeClient);
    if (!IsFitZoom()) {
        drawScreenPicture(dc);
        return;
    }
    // Built off screen and copied in one piece, so resizing does not flicker.
    QImage buffer = makeDeviceImage(sizeClient.width(), sizeClient.height(), dc.dpiX(), dc.dpiY());
    buffer.fill(m_clrButtonFace);
    {
        QPainter bp(&buffer);
        DeviceContext mdc(&bp, dc.dpiX(), dc.dpiY());
        drawScreenPicture(mdc);
    }
    dc.painter()->drawImage(scroll, buffer);
}

static void outline(QPainter* p, const GdiRect& r)
{
    const QPoint pts[5] = {{r.left, r.top}, {r.right - 1, r.top}, {r.right - 1, r.bottom - 1},
                           {r.left, r.bottom - 1}, {r.left, r.top}};
    p->drawPolyline(pts, 5);
}

QString PosterCountCaption(const TargetLayout& L)
{
    QString text = L.SheetCount() == 1 ? QStringLiteral("1 sheet") : QStringLiteral("%1 sheets").arg(L.SheetCount());
    if (L.EmptyCount() > 0) text += QStringLiteral(", %1 empty left out").arg(L.EmptyCount());
    if (L.m_nZoneSheet >= 0 && L.m_nPageCols > 0)
        text += QStringLiteral(", centre on %1").arg(SheetLabel(L.m_nZoneSheet / L.m_nPageCols, L.m_nZoneSheet % L.m_nPageCols));
    if (L.m_centre == CentreResult::AddedSheets) text += QStringLiteral(" (sheets added to keep it whole)");
    if (L.m_centre == CentreResult::CannotFit) text += QStringLiteral(", the centre is too large for one sheet");
    return text;
}

// The sheets left out greyed, and with labels each sheet's place.
void TargetViewState::drawPosterSheets(DeviceContext& dc)
{
    QPainter* p = dc.painter();
    const TargetLayout& L = m_layoutScreen;
    dc.save();
    QFont font = CaptionFont();
    font.setPointSizeF(8.0);
    p->setFont(font);
    for (int k = 0; k < static_cast<int>(L.m_arrPages.size()); ++k) {
        const QRect r = L.m_arrPages[static_cast<size_t>(k)].toQRect();
        if (L.IsEmptySheet(k)) p->fillRect(r, QColor(128, 128, 128, 90));
        if (m_poster.bSheetLabels && L.m_nPageCols > 0) {
            // On a light ground of its own, so it reads over black rings too.
            const QString label = SheetLabel(k / L.m_nPageCols, k % L.m_nPageCols);
            const QRect box = p->boundingRect(r.adjusted(3, 1, 0, 0), Qt::AlignLeft | Qt::AlignTop, label);
            p->fillRect(box.adjusted(-1, 0, 1, 0), QColor(255, 255, 255, 190));
            p->setPen(QColor(64, 64, 160));
            p->drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, label);
        }
    }
    // Where the centre kept on one sheet lands.
    if (!L.m_rcZone.isEmpty()) {
        p->setPen(QPen(QColor(0, 160, 0), 2));
        p->setBrush(Qt::NoBrush);
        p->drawEllipse(L.m_rcZone.toQRect());
    }
    dc.restore();
}

void TargetViewState::drawScreenPicture(DeviceContext& dc)
{
    QPainter* p = dc.painter();
    const TargetLayout& L = m_layoutScreen;
    const int kind = TargetKind();

    // The sheet. Under an opaque raster picture it is not painted, so the
    // area is not painted twice.
    if (kind == TARGET_KIND_RASTER) {
        dc.save();
        p->setClipRegion(QRegion(L.m_rcPaper.toQRect()).subtracted(QRegion(L.m_rcTargets.toQRect())));
        p->fillRect(L.m_rcPaper.toQRect(), m_clrWindow);
        dc.restore();
    } else {
        p->fillRect(L.m_rcPaper.toQRect(), m_clrWindow);
    }

    // On screen a raster target made smaller is averaged, not sampled, so
    // thin lines do not break up (paper has its own path).
    dc.save();
    if (kind == TARGET_KIND_RASTER) dc.setStretchMode(DeviceContext::Halftone);
    drawTargets(dc, L);
    dc.restore();

    dc.save();
    QFont font = CaptionFont();
    font.setPointSizeF(10.0);
    p->setFont(font);
    p->setBrush(Qt::NoBrush);
    p->setPen(QPen(QColor(0, 0, 255), 0, Qt::SolidLine));
    outline(p, L.m_rcPaper);
    p->setPen(QPen(QColor(192, 192, 255), 0, Qt::DotLine));
    if (m_modes.Tile() == TILE_PAGES_TO_TARGET)
        for (const GdiRect& sheet : L.m_arrPages) outline(p, sheet);
    else
        outline(p, L.m_rcPrintable);
    // Where the scale check prints: on every sheet, at the sheet's scale.
    if (m_bScaleCheck && m_sizePrintable.width() > 0 && m_sizePrintable.height() > 0) {
        for (const GdiRect& sheet : L.m_arrPages) {
            const QRectF r(sheet.toQRect());
            DrawScaleCheck(*p, r, r.width() * Units::HIMETRIC_PER_INCH / m_sizePrintable.width(),
                           r.height() * Units::HIMETRIC_PER_INCH / m_sizePrintable.height());
        }
    }

    if (m_modes.Tile() == TILE_PAGES_TO_TARGET && m_poster.AnyOn()) drawPosterSheets(dc);

    QString caption;
    if (m_modes.Scale() == SCALE_TO_PAGE)
        caption = ScreenFitCaption(L.m_dFitScale);
    else if (m_modes.Scale() == SCALE_FOR_DISTANCE)
        caption = ScreenDistanceCaption(FormatDistance(m_dTargetDistance), m_strTargetUnit,
                                        FormatDistance(m_dShooterDistance), m_strShooterUnit)
                  + CalibreCaptionSuffix(CorrectedDesign() ? m_calibre : Calibre());
    if (m_modes.Tile() == TILE_PAGES_TO_TARGET && m_poster.AnyOn()) {
        const QString sheets = PosterCountCaption(L);
        caption = caption.isEmpty() ? sheets : caption + QLatin1Char('\n') + sheets;
    }
    if (!caption.isEmpty()) {
        p->setPen(Qt::black);
        p->setBackgroundMode(Qt::TransparentMode);
        p->drawText(QRect(4, 0, 1 << 20, 1 << 20), Qt::AlignLeft | Qt::AlignTop, caption);
    }
    dc.restore();
}
