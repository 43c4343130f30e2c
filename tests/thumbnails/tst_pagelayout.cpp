// The layout engine: margins, header and footer, pagination bands, the
// items, screen drawing against the clip and the print protocol.
#include <QImage>
#include <algorithm>
#include <QPainter>
#include <QTest>

#include "thumbnails/PageLayout.h"

Q_DECLARE_METATYPE(GdiRect)
Q_DECLARE_METATYPE(PrinterPageMetrics)

namespace {

// A plain box that counts its draws and where they happened.
class Box : public CLayoutItem {
public:
    Box(int x, int y, int w, int h) { m_rect = GdiRect(x, y, x + w, y + h); }
    void Draw(DeviceContext&) override { drawnAt.push_back(QPoint(m_rect.left, m_rect.top)); }
    void PrepareGdi(DeviceContext&) override {}
    std::vector<QPoint> drawnAt;
};

PrinterPageMetrics metrics(QSize paper, QSize printable, QSize offset) { return {paper, printable, offset}; }

// A context marked as printing with a page of the given metrics.
struct PrintContext {
    QImage image;
    QPainter painter;
    DeviceContext dc;
    PrintContext(const PrinterPageMetrics& m, int dpi)
        : image(makeDeviceImage(10, 10, dpi, dpi)), painter(&image), dc(&painter, dpi, dpi)
    {
        dc.setPrinting(true);
        dc.setPage({m.sizePaper, m.sizePrintable, m.sizeOffset});
    }
};

}  // namespace

class TestPageLayout : public QObject {
    Q_OBJECT
private slots:
    void margins_data();
    void margins();
    void pagination_data();
    void pagination();
    void itemsLeaveTheirLayout();
    void screenDrawTracksExtent();
    void printProtocol();
};

void TestPageLayout::margins_data()
{
    QTest::addColumn<PrinterPageMetrics>("page");
    QTest::addColumn<int>("dpi");
    QTest::addColumn<GdiRect>("body");
    QTest::addColumn<GdiRect>("header");
    QTest::addColumn<GdiRect>("footer");
    QTest::newRow("letter 600 dpi, offset 100")
        << metrics({5100, 6600}, {4900, 6400}, {100, 100}) << 600 << GdiRect(350, 200, 4850, 6050)
        << GdiRect(350, 0, 4850, 200) << GdiRect(350, 6050, 4850, 6400);
    QTest::newRow("no printer") << LetterFallbackMetrics(PAGE_UNITS_DEVICE) << 300 << GdiRect(150, 75, 2400, 3000)
                                << GdiRect(150, 0, 2400, 75) << GdiRect(150, 3000, 2400, 3150);
    QTest::newRow("no paper: unchanged") << PrinterPageMetrics{} << 300 << GdiRect() << GdiRect() << GdiRect();
}

void TestPageLayout::margins()
{
    QFETCH(PrinterPageMetrics, page);
    QFETCH(int, dpi);
    CPageLayout layout;
    layout.SetPageMetrics(page, dpi, dpi);
    layout.SetMargins(0.75, 0.5, 0.25, 0.75);
    QFETCH(GdiRect, body);
    QFETCH(GdiRect, header);
    QFETCH(GdiRect, footer);
    QCOMPARE(layout.GetBody(), body);
    QCOMPARE(layout.GetHeader(), header);
    QCOMPARE(layout.GetFooter(), footer);
}

void TestPageLayout::pagination_data()
{
    // Items (top, height) on a body 250 high; expected page tops and the
    // page each item lands on.
    QTest::addColumn<QList<QPoint>>("items");
    QTest::addColumn<QList<int>>("pageTops");
    QTest::addColumn<QList<int>>("pageOfItem");
    QTest::newRow("empty: one page") << QList<QPoint>{} << QList<int>{0} << QList<int>{};
    QTest::newRow("rows of 100 with a gap of 1")
        << QList<QPoint>{{0, 100}, {101, 100}, {202, 100}, {303, 100}, {404, 100}} << QList<int>{0, 202, 404}
        << QList<int>{0, 0, 1, 1, 2};
    QTest::newRow("exactly the band") << QList<QPoint>{{0, 250}, {250, 250}} << QList<int>{0, 250}
                                      << QList<int>{0, 1};
    QTest::newRow("one pixel taller than the body") << QList<QPoint>{{0, 251}} << QList<int>{0} << QList<int>{0};
    QTest::newRow("taller than the body, starting in the band")
        << QList<QPoint>{{0, 100}, {101, 600}} << QList<int>{0, 101} << QList<int>{0, 1};
    QTest::newRow("taller than the body, below the band")
        << QList<QPoint>{{0, 200}, {201, 600}, {900, 100}} << QList<int>{0, 201, 900} << QList<int>{0, 1, 2};
    QTest::newRow("side by side moves together")
        << QList<QPoint>{{0, 200}, {0, 200}, {201, 200}, {201, 200}} << QList<int>{0, 201}
        << QList<int>{0, 0, 1, 1};
}

void TestPageLayout::pagination()
{
    QFETCH(QList<QPoint>, items);
    QFETCH(QList<int>, pageTops);
    QFETCH(QList<int>, pageOfItem);
    const PrinterPageMetrics page = metrics({1000, 250}, {1000, 250}, {0, 0});
    CPageLayout layout;
    layout.SetPageMetrics(page, 100, 100);
    layout.SetMargins(0, 0, 0, 0);
    std::vector<std::unique_ptr<Box>> boxes;
    for (const QPoint& it : items) {
        boxes.push_back(std::make_unique<Box>(0, it.x(), 50, it.y()));
        layout.AddItem(boxes.back().get());
    }
    PrintContext pc(page, 100);
    QCOMPARE(layout.Paginate(pc.dc), int(pageTops.size()));
    for (int p = 0; p < pageTops.size(); ++p) {
        QCOMPARE(layout.pageTop(p), pageTops[p]);
        for (CLayoutItem* item : layout.pageItems(p)) {
            const auto at = std::find_if(boxes.begin(), boxes.end(), [&](auto& b) { return b.get() == item; });
            QCOMPARE(pageOfItem[int(at - boxes.begin())], p);
        }
    }
    int listed = 0;
    for (int p = 0; p < pageTops.size(); ++p) listed += int(layout.pageItems(p).size());
    QCOMPARE(listed, int(items.size()));

    // A screen context does not paginate.
    QImage image(1, 1, QImage::Format_RGB32);
    QPainter painter(&image);
    DeviceContext screen(&painter, 96, 96);
    QCOMPARE(layout.Paginate(screen), 0);
    QCOMPARE(layout.pageCount(), int(pageTops.size()));
}

void TestPageLayout::itemsLeaveTheirLayout()
{
    CPageLayout layout;
    Box a(0, 0, 10, 10);
    layout.AddItem(&a);
    layout.AddItem(&a);
    QCOMPARE(layout.items().size(), size_t(1));
    {
        // An item leaves its layout when it is destroyed; attaching it
        // elsewhere moves it.
        Box b(0, 0, 10, 10);
        layout.AddItem(&b);
        CPageLayout other;
        other.AddItem(&b);
        QCOMPARE(layout.items().size(), size_t(1));
        QCOMPARE(b.owner(), &other);
    }
}

void TestPageLayout::screenDrawTracksExtent()
{
    CPageLayout layout;
    Box in(0, 0, 50, 50), out(0, 500, 60, 40);
    layout.AddItem(&in);
    layout.AddItem(&out);
    QImage image = makeDeviceImage(100, 100, 96, 96);
    QPainter painter(&image);
    painter.setClipRect(0, 0, 100, 100);
    DeviceContext dc(&painter, 96, 96);
    layout.BeginDraw(dc);
    QCOMPARE(layout.Draw(dc), QSize(60, 540));
    layout.EndDraw(dc);
    QCOMPARE(in.drawnAt.size(), size_t(1));
    QVERIFY(out.drawnAt.empty());
}

void TestPageLayout::printProtocol()
{
    struct Calls {
        QStringList log;
        static void layOut(DeviceContext& dc, void* data)
        {
            static_cast<Calls*>(data)->log << QStringLiteral("layout %1").arg(dc.isPrinting());
        }
        static void page(DeviceContext&, const GdiRect& r, int page, int count, void* data)
        {
            static_cast<Calls*>(data)->log << QStringLiteral("%1 %2/%3").arg(r.top).arg(page).arg(count);
        }
    } calls;
    const PrinterPageMetrics page = metrics({1000, 400}, {1000, 400}, {0, 0});
    CPageLayout layout;
    layout.SetLayoutCallback(&Calls::layOut, &calls);
    layout.SetHeaderCallback(&Calls::page, &calls);
    layout.SetFooterCallback(&Calls::page, &calls);
    layout.SetPageMetrics(page, 100, 100);
    layout.SetMargins(0.5, 0.5, 0.5, 0.5);
    Box a(0, 0, 50, 200), b(0, 201, 50, 200);
    layout.AddItem(&a);
    layout.AddItem(&b);

    PrintContext pc(page, 100);
    CPrintInfo info;
    layout.BeginPrinting(pc.dc, info);
    QCOMPARE(info.maxPage, 2);
    info.currentPage = 2;
    layout.PrintPage(pc.dc, info);
    layout.Draw(pc.dc);
    // Page 2's band starts at the second box, printed at the body's corner,
    // and the box is back at its sheet place afterwards.
    QCOMPARE(b.drawnAt, (std::vector<QPoint>{QPoint(50, 50)}));
    QCOMPARE(b.rect().top, 201);
    QVERIFY(a.drawnAt.empty());
    layout.EndPrinting();

    // The next screen paint lays out for the screen again.
    QImage image = makeDeviceImage(10, 10, 96, 96);
    QPainter painter(&image);
    DeviceContext screen(&painter, 96, 96);
    layout.BeginDraw(screen);
    layout.EndDraw(screen);
    QCOMPARE(calls.log, (QStringList{QStringLiteral("layout 1"), QStringLiteral("0 2/2"), QStringLiteral("350 2/2"),
                                     QStringLiteral("layout 0")}));
}

QTEST_MAIN(TestPageLayout)
#include "tst_pagelayout.moc"
