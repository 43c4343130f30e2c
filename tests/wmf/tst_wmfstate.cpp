// The drawing-state machine without a device: object table, SaveDC stack,
// window mapping, and extents that would divide by zero or overflow.
#include <QTest>

#include "wmf/WmfDecoder.h"
#include "wmf/WmfPlayer.h"
#include "wmf/writer/WmfWriter.h"

using namespace wmf;

namespace {

Picture decoded(WmfWriter& w)
{
    Picture pic;
    if (!decode(w.finish(), pic)) qFatal("test file does not decode");
    return pic;
}

const QRectF FRAME(0, 0, 400, 300);

} // namespace

class TestWmfState : public QObject {
    Q_OBJECT
private slots:
    void lowestFreeSlot();
    void selectOutOfRange();
    void deletedSelectedObjectStaysSelected();
    void saveRestore_data();
    void saveRestore();
    void deepSaveNesting();
    void mapping_data();
    void mapping();
    void ignoredExtents_data();
    void ignoredExtents();
};

void TestWmfState::lowestFreeSlot()
{
    WmfWriter w(0, 0, 1000, 1000, 1000);
    w.createPen(PS_SOLID, 1, 0x000001);      // slot 0
    w.createBrush(BS_SOLID, 0x000002);       // slot 1
    w.createFont(-10, 400, "Arial");         // slot 2
    w.deleteObject(1);
    w.createBrush(BS_SOLID, 0x000003);       // takes slot 1 again
    w.createPen(PS_DASH, 2, 0x000004);       // slot 3
    w.selectObject(1);
    w.selectObject(3);
    const Picture pic = decoded(w);
    Player p(pic, nullptr, FRAME);
    p.play();
    QCOMPARE(p.objects().size(), 4);
    QCOMPARE(p.objects().get(1)->kind, ObjectTable::BrushObject);
    QCOMPARE(p.state().brush.color, quint32(3));
    QCOMPARE(p.state().pen.style, int(PS_DASH));
    QCOMPARE(p.state().pen.color, quint32(4));
}

void TestWmfState::selectOutOfRange()
{
    WmfWriter w(0, 0, 1000, 1000, 1000);
    w.createPen(PS_SOLID, 5, 0x0000FF);
    w.selectObject(0);
    w.selectObject(7);
    w.selectObject(-1);
    w.deleteObject(40000);
    const Picture pic = decoded(w);
    Player p(pic, nullptr, FRAME);
    p.play();
    QCOMPARE(p.state().pen.width, 5);
}

void TestWmfState::deletedSelectedObjectStaysSelected()
{
    WmfWriter w(0, 0, 1000, 1000, 1000);
    w.createBrush(BS_HATCHED, 0x00FF00, 3);
    w.selectObject(0);
    w.deleteObject(0);
    const Picture pic = decoded(w);
    Player p(pic, nullptr, FRAME);
    p.play();
    QVERIFY(!p.objects().get(0));
    QCOMPARE(p.state().brush.style, int(BS_HATCHED));
}

void TestWmfState::saveRestore_data()
{
    QTest::addColumn<int>("restore");
    QTest::addColumn<quint32>("colour");
    QTest::addColumn<int>("depth");
    // Text colours 1, 2, 3 are current when the three saves are made; 4 is current at the end.
    QTest::newRow("-1") << -1 << quint32(3) << 2;
    QTest::newRow("-2") << -2 << quint32(2) << 1;
    QTest::newRow("-3") << -3 << quint32(1) << 0;
    QTest::newRow("-4 too far") << -4 << quint32(4) << 3;
    QTest::newRow("1 absolute") << 1 << quint32(1) << 0;
    QTest::newRow("3 absolute") << 3 << quint32(3) << 2;
    QTest::newRow("4 absolute past") << 4 << quint32(4) << 3;
    QTest::newRow("0") << 0 << quint32(4) << 3;
}

void TestWmfState::saveRestore()
{
    QFETCH(int, restore);
    QFETCH(quint32, colour);
    QFETCH(int, depth);
    WmfWriter w(0, 0, 1000, 1000, 1000);
    for (quint32 c = 1; c <= 3; ++c) {
        w.setTextColor(c);
        w.saveDc();
    }
    w.setTextColor(4);
    w.restoreDc(restore);
    const Picture pic = decoded(w);
    Player p(pic, nullptr, FRAME);
    p.play();
    QCOMPARE(p.state().textColor, colour);
    QCOMPARE(p.saveDepth(), depth);
}

void TestWmfState::deepSaveNesting()
{
    WmfWriter w(0, 0, 1000, 1000, 1000);
    for (int i = 0; i < 100000; ++i) w.saveDc();
    w.restoreDc(-1);
    const Picture pic = decoded(w);
    Player p(pic, nullptr, FRAME);
    p.play();
    QCOMPARE(p.saveDepth(), Player::MAX_SAVE_DEPTH - 1);
}

void TestWmfState::mapping_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QPointF>("logical");
    QTest::addColumn<QPointF>("frame");
    auto make = [](auto write) {
        WmfWriter w(0, 0, 4000, 3000, 1000);
        write(w);
        return w.finish();
    };
    QTest::newRow("placeable box") << make([](WmfWriter&) {}) << QPointF(4000, 3000) << QPointF(400, 300);
    QTest::newRow("window") << make([](WmfWriter& w) { w.setWindowOrg(100, 100); w.setWindowExt(800, 600); })
                            << QPointF(500, 400) << QPointF(200, 150);
    QTest::newRow("y up") << make([](WmfWriter& w) { w.setWindowOrg(0, 3000); w.setWindowExt(4000, -3000); })
                          << QPointF(1000, 3000) << QPointF(100, 0);
    QTest::newRow("offset origin") << make([](WmfWriter& w) { w.record(OFFSETWINDOWORG, {-1000, 2000}); })
                                   << QPointF(2000, -1000) << QPointF(0, 0);
    QTest::newRow("scale ext") << make([](WmfWriter& w) { w.record(SCALEWINDOWEXT, {2, 1, 2, 1}); })
                               << QPointF(2000, 1500) << QPointF(400, 300);
    QTest::newRow("isotropic") << make([](WmfWriter& w) { w.setMapMode(MM_ISOTROPIC); w.setWindowExt(1000, 1000); })
                               << QPointF(1000, 1000) << QPointF(300, 300);
    // The file's own viewport does not move the picture off the frame.
    QTest::newRow("viewport ignored") << make([](WmfWriter& w) { w.setViewportOrg(500, 500); w.setViewportExt(2, 2); })
                                      << QPointF(4000, 3000) << QPointF(400, 300);
}

void TestWmfState::mapping()
{
    QFETCH(QByteArray, file);
    QFETCH(QPointF, logical);
    QFETCH(QPointF, frame);
    Picture pic;
    QVERIFY(decode(file, pic));
    Player p(pic, nullptr, FRAME);
    p.play();
    const QPointF got = p.logicalToFrame().map(logical);
    QVERIFY2(std::abs(got.x() - frame.x()) < 1e-6 && std::abs(got.y() - frame.y()) < 1e-6,
             qPrintable(QStringLiteral("%1,%2").arg(got.x()).arg(got.y())));
}

void TestWmfState::ignoredExtents_data()
{
    QTest::addColumn<QByteArray>("file");
    auto make = [](auto write) {
        WmfWriter w(0, 0, 4000, 3000, 1000);
        write(w);
        return w.finish();
    };
    QTest::newRow("zero x") << make([](WmfWriter& w) { w.setWindowExt(0, 100); });
    QTest::newRow("zero y") << make([](WmfWriter& w) { w.setWindowExt(100, 0); });
    QTest::newRow("scale by zero denominator") << make([](WmfWriter& w) { w.record(SCALEWINDOWEXT, {0, 1, 0, 1}); });
    QTest::newRow("scale to zero") << make([](WmfWriter& w) { w.record(SCALEWINDOWEXT, {1, 0, 1, 0}); });
}

void TestWmfState::ignoredExtents()
{
    QFETCH(QByteArray, file);
    Picture pic;
    QVERIFY(decode(file, pic));
    Player p(pic, nullptr, FRAME);
    p.play();
    QCOMPARE(p.state().windowExt, QPoint(4000, 3000));
    QCOMPARE(p.logicalToFrame().map(QPointF(4000, 3000)), QPointF(400, 300));
}

QTEST_MAIN(TestWmfState)
#include "tst_wmfstate.moc"
