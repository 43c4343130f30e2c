#include <QtTest>

#include "print/TargetLayout.h"

Q_DECLARE_METATYPE(GdiRect)

namespace {

// A printer with a 4800 x 6300 printable area at 600 dpi on letter paper.
PrinterPageMetrics printer600()
{
    return {QSize(5100, 6600), QSize(4800, 6300), QSize(150, 150)};
}

TargetLayoutInput target(double wInches, double hInches, int tile = TILE_NONE, int scale = SCALE_ACTUAL)
{
    TargetLayoutInput in;
    in.sizeTarget = QSize(qRound(wInches * 2540), qRound(hInches * 2540));
    in.nTileMode = tile;
    in.nScaleMode = scale;
    return in;
}

// A Letter sheet printable to its edges.
PrinterPageMetrics wholeLetter()
{
    PrinterPageMetrics m;
    m.sizePaper = m.sizePrintable = QSize(21589, 27939);
    return m;
}

}  // namespace

class TestTargetLayout : public QObject {
    Q_OBJECT
private slots:
    void himetricToPixelsRounds_data();
    void himetricToPixelsRounds();
    void pagesAcross_data();
    void pagesAcross();
    void posterPages_data();
    void posterPages();
    void posterColumnsAtExactWidth_data();
    void posterColumnsAtExactWidth();
    void scaleToPage();
    void singleTargetCentred_data();
    void singleTargetCentred();
    void tileGrid();
    void pageRangeClamp_data();
    void pageRangeClamp();
    void screenSizesAtZoom_data();
    void screenSizesAtZoom();
    void screenFitFillsClient_data();
    void screenFitFillsClient();
    void screenPoster();
    void screenTileGridKeepsGaps();
};

void TestTargetLayout::himetricToPixelsRounds_data()
{
    QTest::addColumn<int>("himetric");
    QTest::addColumn<int>("ppi");
    QTest::addColumn<int>("pixels");
    QTest::newRow("10 in at 96") << 25400 << 96 << 960;
    QTest::newRow("letter width at 96") << 21589 << 96 << 816;
    QTest::newRow("letter height at 96") << 27939 << 96 << 1056;
    QTest::newRow("10 in at 600") << 25400 << 600 << 6000;
    QTest::newRow("half pixel rounds up") << 127 << 10 << 1;   // 0.5 px
    QTest::newRow("below half rounds down") << 126 << 10 << 0;
    QTest::newRow("negative half away from zero") << -127 << 10 << -1;
}

void TestTargetLayout::himetricToPixelsRounds()
{
    QFETCH(int, himetric);
    QFETCH(int, ppi);
    QFETCH(int, pixels);
    QCOMPARE(HimetricToPixels(himetric, ppi), pixels);
}

void TestTargetLayout::pagesAcross_data()
{
    QTest::addColumn<int>("extent");
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("count");
    QTest::newRow("smaller") << 100 << 4800 << 1;
    QTest::newRow("exact") << 4800 << 4800 << 1;
    QTest::newRow("one more") << 4801 << 4800 << 2;
    QTest::newRow("twice exact") << 9600 << 4800 << 2;
    QTest::newRow("twice and one") << 9601 << 4800 << 3;
    QTest::newRow("no page") << 9601 << 0 << 1;
}

void TestTargetLayout::pagesAcross()
{
    QFETCH(int, extent);
    QFETCH(int, page);
    QFETCH(int, count);
    QCOMPARE(PagesAcross(extent, page), count);
}

void TestTargetLayout::posterPages_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<GdiRect>("targetRect");
    QTest::addColumn<GdiRect>("printable");
    // 10 x 12 in is 6000 x 7200 pixels on a 9600 x 12600 assembly, at (1800, 2700).
    QTest::newRow("page 1") << 1 << GdiRect(1800, 2700, 7800, 9900) << GdiRect(0, 0, 9600, 12600);
    QTest::newRow("page 2 top right") << 2 << GdiRect(-3000, 2700, 3000, 9900) << GdiRect(-4800, 0, 4800, 12600);
    QTest::newRow("page 3 bottom left") << 3 << GdiRect(1800, -3600, 7800, 3600) << GdiRect(0, -6300, 9600, 6300);
    QTest::newRow("page 4") << 4 << GdiRect(-3000, -3600, 3000, 3600) << GdiRect(-4800, -6300, 4800, 6300);
    QTest::newRow("page 5 outside: not shifted") << 5 << GdiRect(1800, 2700, 7800, 9900) << GdiRect(0, 0, 9600, 12600);
    QTest::newRow("page 0 outside: not shifted") << 0 << GdiRect(1800, 2700, 7800, 9900) << GdiRect(0, 0, 9600, 12600);
}

void TestTargetLayout::posterPages()
{
    QFETCH(int, page);
    QFETCH(GdiRect, targetRect);
    QFETCH(GdiRect, printable);
    TargetLayout L;
    LayoutPrintPage(L, target(10, 12, TILE_PAGES_TO_TARGET), printer600(), 600, 600, page);
    QCOMPARE(L.m_nPageCols, 2);
    QCOMPARE(L.m_nPageRows, 2);
    QCOMPARE(L.PageCount(), 4);
    QCOMPARE(int(L.m_arrPages.size()), 4);
    QCOMPARE(L.m_arrTargets.front(), targetRect);
    QCOMPARE(L.m_rcTargets, targetRect);
    QCOMPARE(L.m_rcPrintable, printable);
    QCOMPARE(L.m_rcPaper, printable);
    // Pages are numbered row by row; the current one lies on the printable area.
    const int dx = printable.left;
    const int dy = printable.top;
    QCOMPARE(L.m_arrPages[1], GdiRect(4800, 0, 9600, 6300).offsetted(dx, dy));
    QCOMPARE(L.m_arrPages[2], GdiRect(0, 6300, 4800, 12600).offsetted(dx, dy));
    if (page >= 1 && page <= 4) QCOMPARE(L.m_arrPages[size_t(page - 1)], GdiRect(0, 0, 4800, 6300));
}

void TestTargetLayout::posterColumnsAtExactWidth_data()
{
    QTest::addColumn<int>("widthPixels");
    QTest::addColumn<int>("columns");
    QTest::newRow("exactly the printable width") << 4800 << 1;
    QTest::newRow("one pixel wider") << 4801 << 2;
}

void TestTargetLayout::posterColumnsAtExactWidth()
{
    QFETCH(int, widthPixels);
    QFETCH(int, columns);
    TargetLayoutInput in;
    in.nTileMode = TILE_PAGES_TO_TARGET;
    // At 254 pixels per inch one pixel is exactly 10 HIMETRIC.
    in.sizeTarget = QSize(widthPixels * 10, 1000);
    const PrinterPageMetrics dev{QSize(5000, 6600), QSize(4800, 6300), QSize(100, 150)};
    TargetLayout L;
    LayoutPrintPage(L, in, dev, 254, 254, 1);
    QCOMPARE(L.m_nPageCols, columns);
    QCOMPARE(L.m_nPageRows, 1);
}

void TestTargetLayout::scaleToPage()
{
    // 16 x 20 in on an 8 x 10.5 in printable area: factor 0.5.
    TargetLayout L;
    LayoutPrintPage(L, target(16, 20, TILE_NONE, SCALE_TO_PAGE), printer600(), 600, 600, 1);
    QCOMPARE(L.m_dFitScale, 0.5);
    QCOMPARE(L.m_rcTargets, GdiRect(0, 150, 4800, 6150));
    QCOMPARE(L.m_rcPaper, GdiRect(0, 0, 5100, 6600));
    QCOMPARE(L.m_rcPrintable, GdiRect(0, 0, 4800, 6300));
    QCOMPARE(L.PageCount(), 1);
}

void TestTargetLayout::singleTargetCentred_data()
{
    QTest::addColumn<double>("w");
    QTest::addColumn<double>("h");
    QTest::addColumn<GdiRect>("expected");
    QTest::newRow("7 x 9 in") << 7.0 << 9.0 << GdiRect(300, 450, 4500, 5850);
    // Larger than the printable area: hangs over equally on both sides.
    QTest::newRow("10 x 12 in overhangs") << 10.0 << 12.0 << GdiRect(-600, -450, 5400, 6750);
    QTest::newRow("odd difference truncates") << 7.0 + 1.0 / 600 << 9.0 << GdiRect(299, 450, 4500, 5850);
}

void TestTargetLayout::singleTargetCentred()
{
    QFETCH(double, w);
    QFETCH(double, h);
    QFETCH(GdiRect, expected);
    TargetLayout L;
    LayoutPrintPage(L, target(w, h), printer600(), 600, 600, 1);
    QCOMPARE(L.m_arrTargets.size(), size_t(1));
    QCOMPARE(L.m_rcTargets, expected);
    QCOMPARE(L.m_dFitScale, 1.0);
}

void TestTargetLayout::tileGrid()
{
    // 3 x 3 in copies, 3 rows and 2 columns, gaps of 1 in across and 0.5 in down.
    TargetLayoutInput in = target(3, 3, TILE_TARGET_TO_PAGE);
    in.nTileRows = 3;
    in.nTileCols = 2;
    in.nColSpacing = 2540;
    in.nRowSpacing = 1270;
    TargetLayout L;
    LayoutPrintPage(L, in, printer600(), 600, 600, 1);
    QCOMPARE(L.m_nTargetRows, 3);
    QCOMPARE(L.m_nTargetCols, 2);
    QCOMPARE(L.m_arrTargets.size(), size_t(6));
    // Grid 1800 + 600 + 1800 = 4200 wide, 3 x 1800 + 2 x 300 = 6000 tall.
    QCOMPARE(L.m_rcTargets, GdiRect(300, 150, 4500, 6150));
    QCOMPARE(L.m_arrTargets[1], GdiRect(2700, 150, 4500, 1950));
    QCOMPARE(L.m_arrTargets[4], GdiRect(300, 4350, 2100, 6150));
}

void TestTargetLayout::pageRangeClamp_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<int>("maxPage");
    QTest::addColumn<int>("newFrom");
    QTest::addColumn<int>("newTo");
    QTest::newRow("3..5 of 2") << 3 << 5 << 2 << 1 << 2;
    QTest::newRow("inside") << 1 << 4 << 4 << 1 << 4;
    QTest::newRow("2..2 of 1") << 2 << 2 << 1 << 1 << 1;
    QTest::newRow("4..9 of 6") << 4 << 9 << 6 << 1 << 6;
    QTest::newRow("1..3 of 1") << 1 << 3 << 1 << 1 << 1;
    QTest::newRow("no pages keeps 1") << 1 << 1 << 0 << 1 << 1;
}

void TestTargetLayout::pageRangeClamp()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(int, maxPage);
    ClampPageRange(from, to, maxPage);
    QTEST(from, "newFrom");
    QTEST(to, "newTo");
}

void TestTargetLayout::screenSizesAtZoom_data()
{
    QTest::addColumn<double>("zoom");
    QTest::addColumn<int>("targetWidth");
    QTest::addColumn<int>("paperWidth");
    QTest::newRow("100 %") << 1.0 << 960 << 816;
    QTest::newRow("25 %") << 0.25 << 240 << 204;
    QTest::newRow("50 %") << 0.5 << 480 << 408;
}

void TestTargetLayout::screenSizesAtZoom()
{
    QFETCH(double, zoom);
    QFETCH(int, targetWidth);
    QFETCH(int, paperWidth);
    TargetLayout L;
    const GdiRect total = LayoutScreen(L, target(10, 10), wholeLetter(), 96, 96, zoom, false, QSize(500, 400));
    QCOMPARE(L.m_rcTargets.width(), targetWidth);
    QCOMPARE(L.m_rcPaper.width(), paperWidth);
    // The wider target pushes the sheet right so both share their centre.
    QCOMPARE(L.m_rcTargets.left, 16);
    QVERIFY(qAbs((L.m_rcPaper.left + L.m_rcPaper.right) - (L.m_rcTargets.left + L.m_rcTargets.right)) <= 1);
    QCOMPARE(L.m_rcPaper.top, 16);
    QVERIFY(qAbs((L.m_rcPaper.top + L.m_rcPaper.bottom) - (L.m_rcTargets.top + L.m_rcTargets.bottom)) <= 1);
    // A 16-pixel margin all round the scroll area.
    QCOMPARE(total.width(), targetWidth + 32);
    QCOMPARE(total.height(), L.m_rcPaper.height() + 32);
}

void TestTargetLayout::screenFitFillsClient_data()
{
    QTest::addColumn<QSize>("client");
    QTest::addColumn<double>("w");
    QTest::addColumn<double>("h");
    QTest::addColumn<bool>("heightBound");
    QTest::newRow("tall window, wide target") << QSize(600, 900) << 12.0 << 4.0 << false;
    QTest::newRow("wide window, letter sheet") << QSize(1000, 500) << 4.0 << 4.0 << true;
    QTest::newRow("square target larger than sheet") << QSize(800, 600) << 10.0 << 10.0 << true;
}

void TestTargetLayout::screenFitFillsClient()
{
    QFETCH(QSize, client);
    QFETCH(double, w);
    QFETCH(double, h);
    QFETCH(bool, heightBound);
    TargetLayout L;
    const GdiRect total = LayoutScreen(L, target(w, h), wholeLetter(), 96, 96, 1.0, true, client);
    const GdiRect all = L.m_rcTargets.united(L.m_rcPaper);
    QCOMPARE(total, all);
    if (heightBound) {
        QVERIFY2(qAbs(all.height() - (client.height() - 32)) <= 1, qPrintable(QString::number(all.height())));
        QVERIFY(qAbs(all.top - 16) <= 1);
        QVERIFY(qAbs((all.left + all.right) - client.width()) <= 2);
    } else {
        QVERIFY2(qAbs(all.width() - (client.width() - 32)) <= 1, qPrintable(QString::number(all.width())));
        QVERIFY(qAbs(all.left - 16) <= 1);
        QVERIFY(qAbs((all.top + all.bottom) - client.height()) <= 2);
    }
    QVERIFY(all.right <= client.width() && all.bottom <= client.height());
}

void TestTargetLayout::screenPoster()
{
    // 10 x 12 in poster on the letter fallback at 100 %: 2 x 2 sheets of 816 x 1056.
    TargetLayout L;
    const GdiRect total =
        LayoutScreen(L, target(10, 12, TILE_PAGES_TO_TARGET), wholeLetter(), 96, 96, 1.0, false, QSize());
    QCOMPARE(L.PageCount(), 4);
    QCOMPARE(L.m_arrPages[0], GdiRect(21, 21, 837, 1077));
    QCOMPARE(L.m_arrPages[3], GdiRect(837, 1077, 1653, 2133));
    QCOMPARE(L.m_rcPrintable, GdiRect(21, 21, 1653, 2133));
    // The white sheet is 10 pixels larger than the union, 5 on each side.
    QCOMPARE(L.m_rcPaper, GdiRect(16, 16, 1658, 2138));
    // Target 960 x 1152 centred on the union.
    QCOMPARE(L.m_rcTargets, GdiRect(21 + 336, 21 + 480, 21 + 336 + 960, 21 + 480 + 1152));
    QCOMPARE(total.width(), 1642 + 32);
}

void TestTargetLayout::screenTileGridKeepsGaps()
{
    TargetLayoutInput in = target(3, 3, TILE_TARGET_TO_PAGE);
    in.nTileRows = 3;
    in.nTileCols = 2;
    in.nColSpacing = 2540;
    in.nRowSpacing = 1270;
    TargetLayout L;
    LayoutScreen(L, in, wholeLetter(), 96, 96, 1.0, false, QSize());
    QCOMPARE(L.m_arrTargets.size(), size_t(6));
    // 288-pixel copies, 96 across and 48 down between them.
    QCOMPARE(L.m_arrTargets[1].left - L.m_arrTargets[0].right, 96);
    QCOMPARE(L.m_arrTargets[2].top - L.m_arrTargets[0].bottom, 48);
    QCOMPARE(L.m_rcTargets.width(), 2 * 288 + 96);
    // Centred on the printable area.
    QVERIFY(qAbs((L.m_rcTargets.left + L.m_rcTargets.right) - (L.m_rcPrintable.left + L.m_rcPrintable.right)) <= 1);
}

QTEST_GUILESS_MAIN(TestTargetLayout)
#include "tst_targetlayout.moc"
