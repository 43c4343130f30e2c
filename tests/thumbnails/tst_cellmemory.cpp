// The grid when memory for its cells is refused: the listing ends with the
// cells made so far, each whole and in the layout, and says so.
#include <QTest>

#include <atomic>
#include <cstdlib>
#include <new>

#include "thumbnails/ThumbGrid.h"

namespace {
// Allocations left before the next one is refused; negative: none refused.
std::atomic<long> g_allocationsLeft{-1};
}  // namespace

void* operator new(std::size_t size)
{
    if (g_allocationsLeft.load() >= 0 && g_allocationsLeft.fetch_sub(1) == 0) throw std::bad_alloc();
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

class TestCellMemory : public QObject {
    Q_OBJECT
private slots:
    void refusedCellEndsListing_data();
    void refusedCellEndsListing();
};

void TestCellMemory::refusedCellEndsListing_data()
{
    QTest::addColumn<int>("refused");  // the allocation refused, from the first of AddItems
    for (int n : {0, 1, 2, 40, 250}) QTest::newRow(qPrintable(QStringLiteral("allocation %1").arg(n))) << n;
}

void TestCellMemory::refusedCellEndsListing()
{
    QFETCH(int, refused);
    QStringList files;
    for (int i = 0; i < 300; ++i) files << QStringLiteral("/none/%1.bmp").arg(i, 3, 10, QLatin1Char('0'));
    ThumbGrid grid;
    g_allocationsLeft = refused;
    const bool made = grid.AddItems(files, 96, 96, grid.listing());
    g_allocationsLeft = -1;
    QVERIFY(!made);
    QVERIFY(grid.count() < files.size());
    QCOMPARE(int(grid.layout().items().size()), grid.count());
    for (int i = 0; i < grid.count(); ++i) {
        QCOMPARE(grid.cell(i)->path(), files[i]);
        QCOMPARE(grid.cell(i)->owner(), &grid.layout());
    }
    // What was made is a grid like any other: it lays out and lists again.
    QVERIFY(grid.AddItems(files.mid(grid.count()), 96, 96, grid.listing()));
    QCOMPARE(grid.count(), files.size());
}

QTEST_MAIN(TestCellMemory)
#include "tst_cellmemory.moc"
