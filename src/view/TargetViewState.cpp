#include "view/TargetViewState.h"

#include <QGuiApplication>
#include <QImage>
#include <QPalette>
#include <QRegion>

#include "document/TargetImage.h"
#include "view/DistanceScale.h"
#include "view/PrintCaptions.h"
#include "view/ScaleCheck.h"
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

QSize TargetViewState::GetLayoutSize() const
{
    if (!HasPicture()) return QSize(0, 0);
    QSize size = TargetSizeHimetric();
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
    return in;
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
    GetTargetPrinterMetrics(PAGE_UNITS_HIMETRIC, m);
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

void TargetViewState::drawTargets(DeviceContext& dc, const TargetLayout& layout)
{
    if (layout.m_arrTargets.empty()) return;
    size_t count = 1;
    if (m_modes.Tile() == TILE_TARGET_TO_PAGE)
        count = std::min(layout.m_arrTargets.size(),
                         static_cast<size_t>(layout.m_nTargetRows) * layout.m_nTargetCols);
    for (size_t i = 0; i < count; ++i) {
        dc.save();
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
    drawTargets(dc, m_layoutPrint);

    PrintCaptionInfo info;
    info.strTitle = DocumentTitle();
    info.nScaleMode = m_modes.Scale();
    info.nTileMode = m_modes.Tile();
    info.nCurPage = m_nCurPage;
    info.nPageCols = m_layoutPrint.m_nPageCols;
    info.dFitScale = m_layoutPrint.m_dFitScale;
    info.strShooterDistance = FormatDistance(m_dShooterDistance);
    info.strShooterUnit = m_strShooterUnit;
    info.strTargetDistance = FormatDistance(m_dTargetDistance);
    info.strTargetUnit = m_strTargetUnit;
    info.nPrintableWidth = dc.page().printable.width();
    DrawPrintCaptions(dc, info, m_layoutPrint);
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
            DrawScaleCheck(*p, r, r.width() * 2540.0 / m_sizePrintable.width(),
                           r.height() * 2540.0 / m_sizePrintable.height());
        }
    }

    QString caption;
    if (m_modes.Scale() == SCALE_TO_PAGE)
        caption = ScreenFitCaption(L.m_dFitScale);
    else if (m_modes.Scale() == SCALE_FOR_DISTANCE)
        caption = ScreenDistanceCaption(FormatDistance(m_dTargetDistance), m_strTargetUnit,
                                        FormatDistance(m_dShooterDistance), m_strShooterUnit);
    if (!caption.isEmpty()) {
        p->setPen(Qt::black);
        p->setBackgroundMode(Qt::TransparentMode);
        p->drawText(QRect(4, 0, 1 << 20, QFontMetrics(font, dc.device()).height()),
                    Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, caption);
    }
    dc.restore();
}
