#include "thumbnails/PageLayout.h"

#include <algorithm>
#include <climits>

CLayoutItem::~CLayoutItem()
{
    if (m_pOwner) m_pOwner->RemoveItem(this);
}

void CLayoutItem::MoveTo(int x, int y) { m_rect.offset(x - m_rect.left, y - m_rect.top); }

void CLayoutItem::OffsetBy(int dx, int dy) { m_rect.offset(dx, dy); }

QFont MakePointFont(const LogFont& font, int dpiY)
{
    QFont f(font.face);
    // As a point font for the device: tenths of a point at its resolution,
    // rounded to whole pixels.
    f.setPixelSize(std::max(1, (font.height * dpiY + 360) / 720));
    f.setWeight(QFont::Weight(std::clamp(font.weight, 100, 900)));
    f.setItalic(font.italic);
    f.setUnderline(font.underline);
    return f;
}

CPageLayout::~CPageLayout()
{
    for (CLayoutItem* item : m_items) item->m_pOwner = nullptr;
    m_items.clear();
    freePages();
}

void CPageLayout::UsePrinterMetrics(const PrinterSettings& printer)
{
    PrinterPageMetrics metrics;
    int dpiX = 0;
    int dpiY = 0;
    GetPrinterPageMetrics(printer, PAGE_UNITS_DEVICE, metrics, &dpiX, &dpiY);
    SetPageMetrics(metrics, dpiX, dpiY);
}

void CPageLayout::SetPageMetrics(const PrinterPageMetrics& metrics, int dpiX, int dpiY)
{
    m_metrics = metrics;
    m_dpiX = dpiX;
    m_dpiY = dpiY;
}

void CPageLayout::SetMargins(double left, double top, double right, double bottom)
{
    const QSize paper = m_metrics.sizePaper;
    if (paper.width() <= 0 || paper.height() <= 0) return;
    m_margins[0] = left;
    m_margins[1] = top;
    m_margins[2] = right;
    m_margins[3] = bottom;
    const int ox = m_metrics.sizeOffset.width();
    const int oy = m_metrics.sizeOffset.height();
    m_rcBody = GdiRect(int(m_dpiX * left) - ox, int(m_dpiY * top) - oy, paper.width() - int(m_dpiX * right) - ox,
                       paper.height() - int(m_dpiY * bottom) - oy);
    m_rcHeader = GdiRect(m_rcBody.left, 0, m_rcBody.right, m_rcBody.top);
    m_rcFooter = GdiRect(m_rcBody.left, m_rcBody.bottom, m_rcBody.right, m_metrics.sizePrintable.height());
    m_bChanged = true;
}

int CPageLayout::AddItem(CLayoutItem* item)
{
    if (item->m_pOwner == this) return 1;
    if (item->m_pOwner) item->m_pOwner->RemoveItem(item);
    // Owned only once it is in the list: a list that cannot grow throws and
    // leaves the item as it was.
    m_items.push_back(item);
    item->m_pOwner = this;
    m_bChanged = true;
    return 1;
}

bool CPageLayout::RemoveItem(CLayoutItem* item)
{
    const auto it = std::find(m_items.begin(), m_items.end(), item);
    if (it == m_items.end()) return false;
    m_items.erase(it);
    item->m_pOwner = nullptr;
    // A page list must not keep a pointer to an item that may be deleted next.
    for (auto& list : m_pageItems)
        if (list) list->erase(std::remove(list->begin(), list->end(), item), list->end());
    return true;
}

void CPageLayout::RemoveAllItems()
{
    for (CLayoutItem* item : m_items) item->m_pOwner = nullptr;
    m_items.clear();
    freePages();
    m_bChanged = true;
}

int CPageLayout::GetFontIndex(DeviceContext& dc, const LogFont& font)
{
    for (size_t i = 0; i < m_fonts.size(); ++i)
        if (m_fonts[i].first == font) return int(i);
    if (font.height <= 0 || dc.dpiY() <= 0) return -1;
    m_fonts.emplace_back(font, MakePointFont(font, dc.dpiY()));
    return int(m_fonts.size()) - 1;
}

bool CPageLayout::SelectFont(DeviceContext& dc, int index) const
{
    if (index < 0 || index >= int(m_fonts.size()) || !dc.painter()) return false;
    dc.painter()->setFont(m_fonts[index].second);
    return true;
}

int CPageLayout::GetBrushIndex(DeviceContext&, const LogBrush& brush)
{
    for (size_t i = 0; i < m_brushes.size(); ++i)
        if (m_brushes[i].first == brush) return int(i);
    if (brush.style != 0) return -1;
    m_brushes.emplace_back(brush, QBrush(QColor::fromRgb(brush.color)));
    return int(m_brushes.size()) - 1;
}

const QBrush* CPageLayout::GetBrush(int index) const
{
    if (index < 0 || index >= int(m_brushes.size())) return nullptr;
    return &m_brushes[index].second;
}

void CPageLayout::FreeResources()
{
    m_fonts.clear();
    m_brushes.clear();
}

void CPageLayout::Prepare(DeviceContext& dc, bool resourcesOnly)
{
    FreeResources();
    if (!resourcesOnly) SetMargins(m_margins[0], m_margins[1], m_margins[2], m_margins[3]);
    dc.save();
    for (CLayoutItem* item : m_items) item->PrepareGdi(dc);
    dc.restore();
    if (resourcesOnly) return;
    m_nLastForPrinter = dc.isPrinting() ? 1 : 0;
    if (m_layoutCallback) m_layoutCallback(dc, m_layoutData);
    m_bChanged = false;
}

void CPageLayout::BeginDraw(DeviceContext& dc)
{
    if (QPainter* p = dc.painter()) {
        // The clip box in the painter's own coordinates (scrolled on screen).
        const QRect clip = p->hasClipping()
                               ? p->clipBoundingRect().toAlignedRect()
                               : p->transform().inverted().mapRect(QRect(QPoint(0, 0), QSize(p->device()->width(),
                                                                                             p->device()->height())));
        m_rcClip = GdiRect::fromQRect(clip);
    }
    const int printing = dc.isPrinting() ? 1 : 0;
    if (m_bChanged || printing != m_nLastForPrinter) Prepare(dc, false);
    dc.save();
}

void CPageLayout::EndDraw(DeviceContext& dc) { dc.restore(); }

QSize CPageLayout::Draw(DeviceContext& dc)
{
    if (!dc.isPrinting()) {
        int right = 0;
        int bottom = 0;
        for (CLayoutItem* item : m_items) {
            const GdiRect& r = item->rect();
            if (r.top < m_rcClip.bottom && r.left < m_rcClip.right && r.bottom > m_rcClip.top
                && r.right > m_rcClip.left)
                item->Draw(dc);
            right = std::max(right, r.right);
            bottom = std::max(bottom, r.bottom);
        }
        return {right, bottom};
    }
    const int k = m_nCurrentPage - 1;
    if (k < 0 || k >= int(m_pages.size())) return {0, 0};
    const int top = m_pages[k].y();
    QPainter* p = dc.painter();
    const bool clip = !m_bInPreview && p;
    if (clip) {
        p->save();
        p->setClipRect(m_rcBody.toQRect());
    }
    if (k < int(m_pageItems.size()) && m_pageItems[k]) {
        for (CLayoutItem* item : *m_pageItems[k]) {
            const int x = item->rect().left;
            const int y = item->rect().top;
            item->OffsetBy(m_rcBody.left, m_rcBody.top - top);
            item->Draw(dc);
            item->MoveTo(x, y);
        }
    }
    if (clip) p->restore();
    return {0, 0};
}

int CPageLayout::Paginate(DeviceContext& dc)
{
    if (!dc.isPrinting()) return 0;
    freePages();
    m_pages.push_back(QPoint(0, 0));
    const int hb = m_rcBody.height();
    int p = 0;
    for (;; ++p) {
        m_pageItems.push_back(nullptr);
        const int top = m_pages[p].y();
        const int bottom = top + hb;
        int minTop = INT_MAX;
        int overflow = 0;
        for (CLayoutItem* item : m_items) {
            const int t = item->rect().top;
            const int b = item->rect().bottom;
            // An item is on the page whose band holds it. One at least as
            // tall as the body starts a page of its own, cut by the body's
            // clip: placed lower in a band, or below it, most of it would
            // never be printed. Every item lands on exactly one page.
            bool onPage = false;
            if (t >= top && b <= bottom) onPage = true;
            else if (t < top) continue;
            else if (b - t >= hb && t == top) onPage = true;
            else {
                minTop = std::min(minTop, t);
                ++overflow;
            }
            if (onPage) {
                auto& list = m_pageItems[p];
                if (!list) list = std::make_unique<std::vector<CLayoutItem*>>();
                list->push_back(item);
            }
        }
        if (overflow == 0) break;
        m_pages.push_back(QPoint(0, minTop));
    }
    m_nPageCount = p + 1;
    return m_nPageCount;
}

std::vector<CLayoutItem*> CPageLayout::pageItems(int page) const
{
    if (page < 0 || page >= int(m_pageItems.size()) || !m_pageItems[page]) return {};
    return *m_pageItems[page];
}

void CPageLayout::countPages(DeviceContext& dc, CPrintInfo& info)
{
    PrinterPageMetrics metrics;
    int dpiX = 0;
    int dpiY = 0;
    GetDevicePageMetrics(dc, PAGE_UNITS_DEVICE, metrics, &dpiX, &dpiY);
    SetPageMetrics(metrics, dpiX, dpiY);
    Prepare(dc, false);
    const int pages = Paginate(dc);
    info.minPage = 1;
    info.maxPage = pages;
}

void CPageLayout::PreparePrinting(DeviceContext& dc, CPrintInfo& info)
{
    dc.setPrinting(true);
    countPages(dc, info);
    MarkChanged();
}

void CPageLayout::BeginPrinting(DeviceContext& dc, CPrintInfo& info)
{
    countPages(dc, info);
    m_bInPreview = info.preview;
}

void CPageLayout::PrintPage(DeviceContext& dc, const CPrintInfo& info)
{
    m_nCurrentPage = info.currentPage;
    if (m_headerCallback) m_headerCallback(dc, m_rcHeader, m_nCurrentPage, m_nPageCount, m_headerData);
    if (m_footerCallback) m_footerCallback(dc, m_rcFooter, m_nCurrentPage, m_nPageCount, m_footerData);
}

void CPageLayout::EndPrinting()
{
    freePages();
    MarkChanged();
}

void CPageLayout::freePages()
{
    m_pages.clear();
    m_pageItems.clear();
}
