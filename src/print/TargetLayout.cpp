#include "print/TargetLayout.h"

#include <algorithm>

#include "platform/Units.h"

int HimetricToPixels(int himetric, int pixelsPerInch)
{
    const long long n = static_cast<long long>(himetric) * pixelsPerInch;
    constexpr int half = Units::HIMETRIC_PER_INCH / 2;
    return static_cast<int>((n + (n >= 0 ? half : -half)) / Units::HIMETRIC_PER_INCH);
}

int PagesAcross(int extent, int page)
{
    if (page <= 0 || extent <= page) return 1;
    return extent / page + (extent % page ? 1 : 0);
}

static void ensureOne(std::vector<GdiRect>& v, size_t n)
{
    v.resize(std::max<size_t>(n, 1));
}

static GdiRect zoomed(const GdiRect& r, double z)
{
    return {static_cast<int>(r.left * z), static_cast<int>(r.top * z), static_cast<int>(r.right * z),
            static_cast<int>(r.bottom * z)};
}

static void fitScale(double& f, int avail, int extent)
{
    const double g = static_cast<double>(avail) / extent;
    if (g < f) f = g;
}

// One sheet, one target, until a mode says otherwise.
static void resetLayout(TargetLayout& L)
{
    ensureOne(L.m_arrPages, 1);
    ensureOne(L.m_arrTargets, 1);
    L.m_nPageRows = L.m_nPageCols = 1;
    L.m_nTargetRows = L.m_nTargetCols = 1;
    L.m_arrEmpty.clear();
    L.m_nOverlap = L.m_nLabelBand = 0;
    L.m_nCurSheet = -1;
    L.m_centre = CentreResult::NotAsked;
    L.m_rcZone = GdiRect();
    L.m_nZoneSheet = -1;
}

int TargetLayout::EmptyCount() const
{
    return static_cast<int>(std::count(m_arrEmpty.begin(), m_arrEmpty.end(), true));
}

bool TargetLayout::IsEmptySheet(int index) const
{
    return index >= 0 && index < static_cast<int>(m_arrEmpty.size()) && m_arrEmpty[static_cast<size_t>(index)];
}

// The poster's sheets, row by row; returns the rectangle they cover.
template <typename SheetOf>
static GdiRect placeSheets(TargetLayout& L, int rows, int cols, SheetOf sheetOf)
{
    L.m_nPageRows = rows;
    L.m_nPageCols = cols;
    L.m_arrPages.assign(static_cast<size_t>(rows) * cols, GdiRect());
    GdiRect all;
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < cols; ++j) {
            const GdiRect sheet = sheetOf(i, j);
            L.m_arrPages[static_cast<size_t>(i) * cols + j] = sheet;
            all = all.united(sheet);
        }
    return all;
}

// The grid of copies, row by row, each w by h at cornerOf(i, j); the grid's
// rectangle becomes m_rcTargets.
template <typename CornerOf>
static void placeCopies(TargetLayout& L, int rows, int cols, int w, int h, CornerOf cornerOf)
{
    L.m_nTargetRows = rows;
    L.m_nTargetCols = cols;
    L.m_arrTargets.assign(static_cast<size_t>(rows) * cols, GdiRect());
    GdiRect all;
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < cols; ++j) {
            const QPoint c = cornerOf(i, j);
            const GdiRect r(c.x(), c.y(), c.x() + w, c.y() + h);
            L.m_arrTargets[static_cast<size_t>(i) * cols + j] = r;
            all = all.united(r);
        }
    L.m_rcTargets = all;
}

// Scale to page: the target shrinks or grows to the printable area, keeping
// its proportions.
static void scaleToPage(TargetLayout& L, int& w, int& h, int pw, int ph)
{
    double f = static_cast<double>(pw) / w;
    fitScale(f, ph, h);
    L.m_dFitScale = f;
    w = static_cast<int>(w * f);
    h = static_cast<int>(h * f);
}

// A poster with the user's options: the sheets (each made device-ready by
// toDevice), the target in its place, and the sheets left out. Sets the
// paper rectangle to the sheets' union and returns the grid.
template <typename ToDevice>
static PosterGrid layOutPoster(TargetLayout& L, const TargetLayoutInput& in, int w, int h, int pw, int ph,
                               int overlap, int band, int margin, double kx, double ky, ToDevice toDevice)
{
    PosterGeometry g;
    g.w = w;
    g.h = h;
    g.pw = pw;
    g.ph = ph;
    g.overlap = in.poster.nOverlap > 0 ? overlap : 0;
    g.band = in.poster.bSheetLabels ? band : 0;
    g.centre = in.poster.bCentreOnSheet;
    for (const QRectF& z : in.zones) g.zones.emplace_back(z.x() * kx, z.y() * ky, z.width() * kx, z.height() * ky);
    g.margin = margin;
    const PosterGrid grid = LayoutPoster(g);
    L.m_rcPaper = placeSheets(L, grid.rows, grid.cols, [&](int i, int j) { return toDevice(grid.Sheet(i, j)); });
    const GdiRect target = toDevice(GdiRect(grid.targetX, grid.targetY, grid.targetX + w, grid.targetY + h));
    L.m_arrTargets.assign(1, target);
    L.m_rcTargets = target;
    L.m_nOverlap = grid.overlap;
    L.m_nLabelBand = grid.band;
    L.m_centre = grid.centre;
    L.m_nZoneSheet = grid.zoneSheet;
    if (grid.centre == CentreResult::Placed || grid.centre == CentreResult::AddedSheets) {
        const QRect z = grid.zone.toAlignedRect();
        L.m_rcZone = toDevice(GdiRect(z.left(), z.top(), z.left() + z.width(), z.top() + z.height()));
    }
    if (in.poster.bSkipEmpty && in.ink) L.m_arrEmpty = FindEmptySheets(grid, w, h, *in.ink);
    return grid;
}

void LayoutPrintPage(TargetLayout& L, const TargetLayoutInput& in, const PrinterPageMetrics& dev,
                     int dpiX, int dpiY, int nCurPage)
{
    const int pw = dev.sizePrintable.width();
    const int ph = dev.sizePrintable.height();
    int w = HimetricToPixels(in.sizeTarget.width(), dpiX);
    int h = HimetricToPixels(in.sizeTarget.height(), dpiY);

    resetLayout(L);

    if (in.nTileMode == TILE_PAGES_TO_TARGET) {
        const double kx = in.sizeTarget.width() > 0 ? static_cast<double>(w) / in.sizeTarget.width() : 0.0;
        const double ky = in.sizeTarget.height() > 0 ? static_cast<double>(h) / in.sizeTarget.height() : 0.0;
        const PosterGrid grid = layOutPoster(L, in, w, h, pw, ph, HimetricToPixels(in.poster.nOverlap, dpiX),
                                             HimetricToPixels(POSTER_LABEL_BAND, dpiY),
                                             HimetricToPixels(POSTER_CENTRE_MARGIN, dpiX), kx, ky,
                                             [](const GdiRect& r) { return r; });
        L.m_rcPrintable = L.m_rcPaper;

        // Printed page k is the k-th sheet not left out; its poster area
        // lies below its label band on the printable area.
        const int sheet = nCurPage >= 1 ? SheetOfPage(L.m_arrEmpty, grid.Count(), nCurPage) : -1;
        L.m_nCurSheet = sheet;
        if (sheet >= 0) {
            const int dx = -(sheet % grid.cols) * grid.stepX;
            const int dy = -(sheet / grid.cols) * grid.stepY + grid.band;
            L.m_rcPaper.offset(dx, dy);
            L.m_rcPrintable.offset(dx, dy);
            L.m_rcZone.offset(dx, dy);
            for (GdiRect& p : L.m_arrPages) p.offset(dx, dy);
            L.m_arrTargets[0].offset(dx, dy);
            L.m_rcTargets.offset(dx, dy);
        }
        return;
    }

    if (in.nScaleMode == SCALE_TO_PAGE && w > 0 && h > 0) scaleToPage(L, w, h, pw, ph);
    L.m_rcPaper = GdiRect(0, 0, dev.sizePaper.width(), dev.sizePaper.height());
    L.m_rcPrintable = GdiRect(0, 0, pw, ph);
    L.m_arrPages.assign(1, L.m_rcPrintable);

    if (in.nTileMode == TILE_TARGET_TO_PAGE) {
        const int rows = std::max(in.nTileRows, 1);
        const int cols = std::max(in.nTileCols, 1);
        const int sx = HimetricToPixels(in.nColSpacing, dpiX);
        const int sy = HimetricToPixels(in.nRowSpacing, dpiY);
        placeCopies(L, rows, cols, w, h, [&](int i, int j) { return QPoint(j * (w + sx), i * (h + sy)); });
    } else {
        L.m_arrTargets.assign(1, GdiRect(0, 0, w, h));
        L.m_rcTargets = L.m_arrTargets[0];
    }

    const int dx = (pw - L.m_rcTargets.right) / 2;
    const int dy = (ph - L.m_rcTargets.bottom) / 2;
    for (GdiRect& r : L.m_arrTargets) r.offset(dx, dy);
    L.m_rcTargets.offset(dx, dy);
}

// HIMETRIC to the screen's pixels, before and after the zoom.
struct ScreenScale {
    int dpiX;
    int dpiY;
    double zoom;

    GdiRect px(int x, int y) const { return GdiRect(0, 0, HimetricToPixels(x, dpiX), HimetricToPixels(y, dpiY)); }
    GdiRect cvt(int l, int t, int r, int b) const
    {
        return zoomed(GdiRect(HimetricToPixels(l, dpiX), HimetricToPixels(t, dpiY), HimetricToPixels(r, dpiX),
                              HimetricToPixels(b, dpiY)),
                      zoom);
    }
};

// A poster with options, laid out in HIMETRIC like the plain poster, with the
// target placed by the poster (not centred again afterwards).
static void layOutScreenPoster(TargetLayout& L, const TargetLayoutInput& in, const ScreenScale& s, int w, int h,
                               int PW, int PH)
{
    layOutPoster(L, in, w, h, PW, PH, in.poster.nOverlap, POSTER_LABEL_BAND, POSTER_CENTRE_MARGIN, 1.0, 1.0,
                 [&](const GdiRect& r) { return s.cvt(r.left, r.top, r.right, r.bottom).offsetted(5, 5); });
    L.m_nOverlap = HimetricToPixels(in.poster.nOverlap, s.dpiX);
    L.m_nLabelBand = in.poster.bSheetLabels ? HimetricToPixels(POSTER_LABEL_BAND, s.dpiY) : 0;
    L.m_rcPrintable = L.m_rcPaper;
    L.m_rcPaper = GdiRect(L.m_rcPaper.left - 5, L.m_rcPaper.top - 5, L.m_rcPaper.right + 5, L.m_rcPaper.bottom + 5);
}

// A plain poster: as many printable areas as the target needs, edge to edge.
static void layOutScreenSheets(TargetLayout& L, const ScreenScale& s, int w, int h, int PW, int PH)
{
    const int cols = PagesAcross(w, PW);
    const int rows = PagesAcross(h, PH);
    GdiRect all =
        placeSheets(L, rows, cols, [&](int i, int j) { return s.cvt(j * PW, i * PH, (j + 1) * PW, (i + 1) * PH); });
    L.m_rcPaper = GdiRect(all.left, all.top, all.right + 10, all.bottom + 10);
    all.offset(5, 5);
    for (GdiRect& sheet : L.m_arrPages) sheet.offset(5, 5);
    L.m_rcPrintable = all;
    GdiRect target = zoomed(s.px(w, h), s.zoom);
    target.offset(5, 5);
    L.m_arrTargets.assign(1, target);
    L.m_rcTargets = target;
}

// One sheet of paper with the target, scaled to it or tiled on it as asked.
static void layOutScreenPaper(TargetLayout& L, const TargetLayoutInput& in, const PrinterPageMetrics& printer,
                              const ScreenScale& s, int w, int h, int PW, int PH)
{
    const double dZoom = s.zoom;
    if (in.nScaleMode == SCALE_TO_PAGE && w > 0 && h > 0) scaleToPage(L, w, h, PW, PH);
    L.m_rcPaper = zoomed(s.px(printer.sizePaper.width(), printer.sizePaper.height()), dZoom);
    const GdiRect off = zoomed(s.px(printer.sizeOffset.width(), printer.sizeOffset.height()), dZoom);
    const int ox = off.right;
    const int oy = off.bottom;
    const GdiRect t = zoomed(s.px(w, h), dZoom);
    if (in.nTileMode == TILE_TARGET_TO_PAGE) {
        const int rows = std::max(in.nTileRows, 1);
        const int cols = std::max(in.nTileCols, 1);
        const GdiRect gap = zoomed(s.px(in.nColSpacing, in.nRowSpacing), dZoom);
        const int sx = gap.right;
        const int sy = gap.bottom;
        placeCopies(L, rows, cols, t.right, t.bottom,
                    [&](int i, int j) { return QPoint(j * (t.right + sx) + ox, i * (t.bottom + sy) + oy); });
    } else {
        L.m_arrTargets.assign(1, t.offsetted(ox, oy));
        L.m_rcTargets = L.m_arrTargets[0];
    }
    L.m_rcPrintable = zoomed(s.px(PW, PH), dZoom).offsetted(ox, oy);
    L.m_arrPages.assign(1, L.m_rcPrintable);
}

static void shiftSheet(TargetLayout& L, int dx, int dy)
{
    L.m_rcZone.offset(dx, dy);
    L.m_rcPaper.offset(dx, dy);
    L.m_rcPrintable.offset(dx, dy);
    for (GdiRect& s : L.m_arrPages) s.offset(dx, dy);
}

static void shiftTargets(TargetLayout& L, int dx, int dy)
{
    L.m_rcTargets.offset(dx, dy);
    for (GdiRect& r : L.m_arrTargets) r.offset(dx, dy);
}

// Centre the targets and the sheet on each other, each axis on its own.
static void centreTargetsAndSheet(TargetLayout& L)
{
    if (L.m_rcTargets.right > L.m_rcPrintable.right)
        shiftSheet(L, (L.m_rcTargets.right - L.m_rcPrintable.right) / 2, 0);
    else
        shiftTargets(L, (L.m_rcPrintable.right - L.m_rcTargets.right) / 2, 0);
    if (L.m_rcTargets.bottom > L.m_rcPrintable.bottom)
        shiftSheet(L, 0, (L.m_rcTargets.bottom - L.m_rcPrintable.bottom) / 2);
    else
        shiftTargets(L, 0, (L.m_rcPrintable.bottom - L.m_rcTargets.bottom) / 2);
}

// Shrinks or grows everything to the window, less a margin; dx and dy become
// the offsets that centre it there.
static void fitToClient(TargetLayout& L, QSize sizeClient, int& dx, int& dy)
{
    const int W = std::max(L.m_rcTargets.width(), L.m_rcPaper.width());
    const int H = std::max(L.m_rcTargets.height(), L.m_rcPaper.height());
    double f = 0.0;
    if (W > 0 && H > 0) {
        f = static_cast<double>(sizeClient.width() - 32) / W;
        fitScale(f, sizeClient.height() - 32, H);
    }
    L.m_rcPaper = zoomed(L.m_rcPaper, f);
    L.m_rcZone = zoomed(L.m_rcZone, f);
    L.m_rcPrintable = zoomed(L.m_rcPrintable, f);
    L.m_rcTargets = zoomed(L.m_rcTargets, f);
    for (GdiRect& s : L.m_arrPages) s = zoomed(s, f);
    for (GdiRect& r : L.m_arrTargets) r = zoomed(r, f);
    dx = (sizeClient.width() - std::max(L.m_rcTargets.width(), L.m_rcPaper.width())) / 2;
    dy = (sizeClient.height() - std::max(L.m_rcTargets.height(), L.m_rcPaper.height())) / 2;
}

GdiRect LayoutScreen(TargetLayout& L, const TargetLayoutInput& in, const PrinterPageMetrics& printer,
                     int dpiX, int dpiY, double dZoom, bool bFit, QSize sizeClient)
{
    const int w = in.sizeTarget.width();
    const int h = in.sizeTarget.height();
    const int PW = printer.sizePrintable.width();
    const int PH = printer.sizePrintable.height();
    const ScreenScale scale{dpiX, dpiY, dZoom};

    resetLayout(L);

    const bool posterOptions = in.nTileMode == TILE_PAGES_TO_TARGET && in.poster.AnyOn();
    if (posterOptions)
        layOutScreenPoster(L, in, scale, w, h, PW, PH);
    else if (in.nTileMode == TILE_PAGES_TO_TARGET)
        layOutScreenSheets(L, scale, w, h, PW, PH);
    else
        layOutScreenPaper(L, in, printer, scale, w, h, PW, PH);

    // A poster with options has placed its target on the sheets already.
    if (!posterOptions) centreTargetsAndSheet(L);

    int dx = 16;
    int dy = 16;
    if (bFit) fitToClient(L, sizeClient, dx, dy);
    shiftSheet(L, dx, dy);
    shiftTargets(L, dx, dy);

    GdiRect total = L.m_rcTargets.united(L.m_rcPaper);
    if (!bFit) {
        total.right += 2 * dx;
        total.bottom += 2 * dy;
    }
    return total;
}

void ClampPageRange(int& nFromPage, int& nToPage, int nMaxPage)
{
    while (nToPage > nMaxPage && nToPage > 1) {
        --nToPage;
        if (nFromPage > 1) --nFromPage;
    }
}
