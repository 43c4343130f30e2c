#include "print/PosterLayout.h"

#include <algorithm>
#include <cmath>

int SheetsAcross(int extent, int cell, int overlap)
{
    if (cell <= 0 || extent <= cell) return 1;
    overlap = std::clamp(overlap, 0, cell / 2);
    const long long step = cell - overlap;
    const long long rest = static_cast<long long>(extent) - overlap;
    return static_cast<int>((rest + step - 1) / step);
}

GdiRect PosterGrid::Sheet(int row, int col) const
{
    return {col * stepX, row * stepY, col * stepX + cellW, row * stepY + cellH};
}

namespace {

struct Axis {
    int count = 1;
    int offset = 0;  // of the target in the assembly
    CentreResult centre = CentreResult::NotAsked;
};

// One direction of the poster: how many sheets, and where the target starts.
// With a zone [lo, hi) of the target to keep on one sheet, the target moves
// off the centre as little as it can, and a sheet is added only when no
// place on the present ones will do.
Axis layOutAxis(int extent, int cell, int overlap, bool centre, double lo, double hi, int margin)
{
    Axis a;
    const int step = cell - overlap;
    a.count = SheetsAcross(extent, cell, overlap);
    auto total = [&](int count) { return (count - 1) * step + cell; };
    a.offset = (total(a.count) - extent) / 2;
    if (!centre || hi <= lo) return a;
    if (hi - lo + 2.0 * margin > cell) {
        a.centre = CentreResult::CannotFit;
        return a;
    }
    for (int count = a.count; count <= a.count + 2; ++count) {
        const int slack = total(count) - extent;
        const int centred = slack / 2;
        bool found = false;
        int best = 0;
        for (int j = 0; j < count; ++j) {
            const int from = std::max(0, static_cast<int>(std::ceil(j * step + margin - lo)));
            const int to = std::min(slack, static_cast<int>(std::floor(j * step + cell - margin - hi)));
            if (from > to) continue;
            const int here = std::clamp(centred, from, to);
            if (!found || std::abs(here - centred) < std::abs(best - centred)) best = here;
            found = true;
        }
        if (found) {
            a.centre = count == a.count ? CentreResult::Placed : CentreResult::AddedSheets;
            a.count = count;
            a.offset = best;
            return a;
        }
    }
    a.centre = CentreResult::CannotFit;
    return a;
}

CentreResult worse(CentreResult a, CentreResult b)
{
    return static_cast<int>(a) > static_cast<int>(b) ? a : b;
}

}  // namespace

// The grid for one zone (or none) to keep on one sheet.
static PosterGrid layOutFor(const PosterGeometry& g, const QRectF* zone)
{
    PosterGrid grid;
    grid.band = std::clamp(g.band, 0, g.ph / 2);
    grid.cellW = std::max(g.pw, 1);
    grid.cellH = std::max(g.ph - grid.band, 1);
    grid.overlap = std::clamp(g.overlap, 0, std::min(grid.cellW, grid.cellH) / 2);
    grid.stepX = grid.cellW - grid.overlap;
    grid.stepY = grid.cellH - grid.overlap;
    const QRectF z = zone ? *zone : QRectF();
    const Axis x = layOutAxis(g.w, grid.cellW, grid.overlap, zone != nullptr, z.left(), z.right(), g.margin);
    const Axis y = layOutAxis(g.h, grid.cellH, grid.overlap, zone != nullptr, z.top(), z.bottom(), g.margin);
    grid.cols = x.count;
    grid.rows = y.count;
    grid.targetX = x.offset;
    grid.targetY = y.offset;
    if (zone) {
        grid.centre = worse(x.centre, y.centre);
        grid.zone = z.translated(x.offset, y.offset);
        for (int k = 0; k < grid.Count() && grid.centre != CentreResult::CannotFit && grid.zoneSheet < 0; ++k) {
            const GdiRect s = grid.Sheet(k / grid.cols, k % grid.cols);
            if (QRectF(s.toQRect()).adjusted(g.margin, g.margin, -g.margin, -g.margin).contains(grid.zone))
                grid.zoneSheet = k;
        }
    }
    return grid;
}

PosterGrid LayoutPoster(const PosterGeometry& g)
{
    if (!g.centre) return layOutFor(g, nullptr);
    PosterGrid best;
    best.centre = CentreResult::CannotFit;
    bool found = false;
    for (const QRectF& zone : g.zones) {
        if (zone.isEmpty()) continue;
        const PosterGrid grid = layOutFor(g, &zone);
        if (grid.centre == CentreResult::CannotFit) continue;
        // Zones come largest first: a smaller one wins only with fewer sheets.
        if (!found || grid.Count() < best.Count()) best = grid;
        found = true;
    }
    if (found) return best;
    PosterGrid plain = layOutFor(g, nullptr);
    plain.centre = CentreResult::CannotFit;
    return plain;
}

QString SheetLabel(int row, int col)
{
    QString letters;
    for (int n = row + 1; n > 0; n = (n - 1) / 26) letters.prepend(QChar('A' + (n - 1) % 26));
    return letters + QString::number(col + 1);
}

// Paper white, and the near-white a photographed or scanned target leaves
// in its blank parts.
constexpr int kWhiteEnough = 240;

std::vector<bool> FindEmptySheets(const PosterGrid& grid, int w, int h, const QImage& ink)
{
    std::vector<bool> empty(static_cast<size_t>(grid.Count()), false);
    if (w <= 0 || h <= 0 || ink.isNull()) return empty;
    const QImage img = ink.convertToFormat(QImage::Format_RGB32);
    const double sx = static_cast<double>(img.width()) / w;
    const double sy = static_cast<double>(img.height()) / h;
    for (int i = 0; i < grid.rows; ++i)
        for (int j = 0; j < grid.cols; ++j) {
            if (i == 0 && (j == 0 || j == grid.cols - 1)) continue;
            const GdiRect s = grid.Sheet(i, j).offsetted(-grid.targetX, -grid.targetY);
            // Widened by a pixel of the small picture, so ink that the small
            // drawing puts just beside a sheet still counts for it.
            const int x0 = std::max(0, static_cast<int>(std::floor(s.left * sx)) - 1);
            const int x1 = std::min(img.width(), static_cast<int>(std::ceil(s.right * sx)) + 1);
            const int y0 = std::max(0, static_cast<int>(std::floor(s.top * sy)) - 1);
            const int y1 = std::min(img.height(), static_cast<int>(std::ceil(s.bottom * sy)) + 1);
            bool inked = false;
            for (int y = y0; y < y1 && !inked; ++y) {
                const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
                for (int x = x0; x < x1 && !inked; ++x)
                    inked = std::min({qRed(line[x]), qGreen(line[x]), qBlue(line[x])}) < kWhiteEnough;
            }
            empty[static_cast<size_t>(i) * grid.cols + j] = !inked;
        }
    return empty;
}

int SheetOfPage(const std::vector<bool>& empty, int count, int page)
{
    int printed = 0;
    for (int k = 0; k < count; ++k) {
        if (k < static_cast<int>(empty.size()) && empty[static_cast<size_t>(k)]) continue;
        if (++printed == page) return k;
    }
    return -1;
}
