#pragma once

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QPoint>
#include <QSize>
#include <QString>

#include <memory>
#include <vector>

#include "platform/DeviceContext.h"
#include "platform/GdiRect.h"
#include "print/PageMetrics.h"

class CPageLayout;
struct PrinterSettings;

// What a print job tells its pages: the page range the job covers, the page
// being printed and whether the job is a print preview.
struct CPrintInfo {
    int minPage = 1;
    int maxPage = 0;
    int currentPage = 1;
    bool preview = false;
};

// A font description, compared field by field: the cache gives one font per
// description. The height counts tenths of a point.
struct LogFont {
    QString face;
    int height = 0;
    int weight = 400;
    bool italic = false;
    bool underline = false;
    bool operator==(const LogFont&) const = default;
};

// A brush description: solid brushes are all the grid needs.
struct LogBrush {
    int style = 0;  // 0 solid
    QRgb color = 0;
    int hatch = 0;
    bool operator==(const LogBrush&) const = default;
};

// Something drawn on the layout's sheet. The layout does not own its items;
// an item removes itself from its layout when it is destroyed.
class CLayoutItem {
public:
    CLayoutItem() = default;
    CLayoutItem(const CLayoutItem&) = delete;
    CLayoutItem& operator=(const CLayoutItem&) = delete;
    virtual ~CLayoutItem();

    virtual void Draw(DeviceContext& dc) = 0;
    // Takes the fonts and brushes the item needs for dc from the owner's caches.
    virtual void PrepareGdi(DeviceContext& dc) = 0;
    virtual void MoveTo(int x, int y);
    virtual void OffsetBy(int dx, int dy);

    const GdiRect& rect() const { return m_rect; }
    CPageLayout* owner() const { return m_pOwner; }

protected:
    GdiRect m_rect;
    CPageLayout* m_pOwner = nullptr;

    friend class CPageLayout;
};

// A tall virtual sheet of items: draws the ones the screen shows, cuts the
// sheet into pages between items for printing, and lets callbacks place the
// items for each kind of device and draw every page's header and footer.
// Not thread-safe: the owner serialises every call.
class CPageLayout {
public:
    using LayoutCallback = void (*)(DeviceContext& dc, void* data);
    using PageCallback = void (*)(DeviceContext& dc, const GdiRect& rect, int page, int pageCount, void* data);

    CPageLayout() = default;
    CPageLayout(const CPageLayout&) = delete;
    CPageLayout& operator=(const CPageLayout&) = delete;
    ~CPageLayout();

    void SetLayoutCallback(LayoutCallback callback, void* data) { m_layoutCallback = callback; m_layoutData = data; }
    void SetHeaderCallback(PageCallback callback, void* data) { m_headerCallback = callback; m_headerData = data; }
    void SetFooterCallback(PageCallback callback, void* data) { m_footerCallback = callback; m_footerData = data; }

    // Page metrics in device units: the given printer's, or the letter
    // fallback at 300 dpi for PDF output.
    void UsePrinterMetrics(const PrinterSettings& printer);
    void SetPageMetrics(const PrinterPageMetrics& metrics, int dpiX, int dpiY);
    void SetMargins(double left, double top, double right, double bottom);
    GdiRect GetBody() const { return m_rcBody; }
    GdiRect GetHeader() const { return m_rcHeader; }
    GdiRect GetFooter() const { return m_rcFooter; }

    int AddItem(CLayoutItem* item);
    bool RemoveItem(CLayoutItem* item);
    void RemoveAllItems();
    void MarkChanged() { m_bChanged = true; }
    bool IsChanged() const { return m_bChanged; }
    const std::vector<CLayoutItem*>& items() const { return m_items; }

    int GetFontIndex(DeviceContext& dc, const LogFont& font);
    bool SelectFont(DeviceContext& dc, int index) const;
    int GetBrushIndex(DeviceContext& dc, const LogBrush& brush);
    const QBrush* GetBrush(int index) const;
    void FreeResources();
    int fontCount() const { return int(m_fonts.size()); }

    void BeginDraw(DeviceContext& dc);
    QSize Draw(DeviceContext& dc);
    void EndDraw(DeviceContext& dc);
    void Prepare(DeviceContext& dc, bool resourcesOnly);
    bool IsPreparedForPrinter() const { return m_nLastForPrinter == 1; }

    int Paginate(DeviceContext& dc);
    int pageCount() const { return m_nPageCount; }
    // Sheet y of a page's top; the items of a page (0-based).
    int pageTop(int page) const { return m_pages.at(page).y(); }
    std::vector<CLayoutItem*> pageItems(int page) const;

    // Reads the page metrics of dc, lays out for it and paginates.
    void PreparePrinting(DeviceContext& dc, CPrintInfo& info);
    void BeginPrinting(DeviceContext& dc, CPrintInfo& info);
    void PrintPage(DeviceContext& dc, const CPrintInfo& info);
    void EndPrinting();

private:
    void freePages();
    void countPages(DeviceContext& dc, CPrintInfo& info);

    bool m_bChanged = true;
    PrinterPageMetrics m_metrics;
    int m_dpiX = 0;
    int m_dpiY = 0;
    GdiRect m_rcClip;
    GdiRect m_rcBody;
    double m_margins[4] = {0.5, 0.5, 0.5, 0.5};
    GdiRect m_rcHeader;
    GdiRect m_rcFooter;
    std::vector<QPoint> m_pages;
    int m_nPageCount = 0;
    bool m_bInPreview = false;
    int m_nLastForPrinter = -1;
    int m_nCurrentPage = 1;
    LayoutCallback m_layoutCallback = nullptr;
    void* m_layoutData = nullptr;
    PageCallback m_headerCallback = nullptr;
    void* m_headerData = nullptr;
    PageCallback m_footerCallback = nullptr;
    void* m_footerData = nullptr;
    std::vector<CLayoutItem*> m_items;
    std::vector<std::unique_ptr<std::vector<CLayoutItem*>>> m_pageItems;
    std::vector<std::pair<LogFont, QFont>> m_fonts;
    std::vector<std::pair<LogBrush, QBrush>> m_brushes;
};

// A font of the description for a device of dpiY pixels per inch: the
// height in tenths of a point decides the pixel size there.
QFont MakePointFont(const LogFont& font, int dpiY);
