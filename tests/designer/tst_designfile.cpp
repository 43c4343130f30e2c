#include <QBuffer>
#include <QTest>

#include <cstring>

#include "designer/TargetDesign.h"

// The ".rgd" format byte for byte: layout, round trips, markers, bad type
// codes, early ends and labels without a terminator.
class TestDesignFile : public QObject {
    Q_OBJECT

    static QByteArray write(const CTargetDesign& d)
    {
        QByteArray bytes;
        QBuffer buf(&bytes);
        buf.open(QIODevice::WriteOnly);
        if (d.Write(buf) != 1) return QByteArray();
        return bytes;
    }
    static int read(CTargetDesign& d, const QByteArray& bytes, qint64* consumed = nullptr)
    {
        QBuffer buf;
        buf.setData(bytes);
        buf.open(QIODevice::ReadOnly);
        const int r = d.Read(buf);
        if (consumed) *consumed = buf.pos();
        return r;
    }
    static quint16 le16(const QByteArray& b, int at) { return quint16(quint8(b[at]) | (quint8(b[at + 1]) << 8)); }
    static double le64(const QByteArray& b, int at)
    {
        quint64 bits = 0;
        for (int i = 7; i >= 0; --i) bits = (bits << 8) | quint8(b[at + i]);
        double v;
        std::memcpy(&v, &bits, 8);
        return v;
    }
    static QByteArray header(quint16 fontSize, quint16 count)
    {
        QByteArray b(RGD_MAGIC, RGD_MAGIC_SIZE);
        b.append(char(1));
        b.append(char(fontSize & 0xFF)).append(char(fontSize >> 8));
        b.append(char(count & 0xFF)).append(char(count >> 8));
        return b;
    }
    static QByteArray ringRecord(quint8 type, const QByteArray& label5)
    {
        CTargetDesign d;
        d.AddCircle(2.0, 0x010203, 0.25, true, 0x0A0B0C, "", false);
        QByteArray rec = write(d).mid(45 + 1, 57);
        rec[0] = char(type);
        rec.replace(51, 5, label5);
        return rec;
    }

private slots:
    void defaultLayout()
    {
        CTargetDesign d;
        d.LoadDefault();
        const QByteArray b = write(d);
        QCOMPARE(b.size(), 807);
        QCOMPARE(b.left(40), QByteArray("Qel Technologies, Inc. Ringdesigner File"));
        QCOMPARE(int(b[40]), 1);
        QCOMPARE(le16(b, 41), quint16(140));
        QCOMPARE(le16(b, 43), quint16(12));
        // Bull's-eye entry: code, record code, base marker, enabled, bounds.
        QCOMPARE(int(b[45]), 1);
        QCOMPARE(int(b[46]), 1);
        QCOMPARE(int(b[47]), 1);
        QCOMPARE(int(b[48]), 1);
        QCOMPARE(le64(b, 49), -0.25);
        QCOMPARE(le64(b, 73), 0.25);
        QCOMPARE(le64(b, 85), 0.04);
        QCOMPARE(int(b[45 + 57]), 1);  // extension marker
        QCOMPARE(int(b[45 + 58]), 1);  // style: Cross
        // First circle right after: fill colour red, little-endian.
        const int c = 45 + 59;
        QCOMPARE(int(b[c]), 2);
        QCOMPARE(QByteArray(b.constData() + c + 1 + 47, 4), QByteArray("\xFF\x00\x00\x00", 4));
        // Grid record: code 5, design bounds, colour 0x606060, spacing 1.0.
        const int g = 807 - 65;
        QCOMPARE(int(b[g]), 5);
        QCOMPARE(int(b[g + 2]), 0);
        QCOMPARE(le64(b, g + 3), -3.5);
        QCOMPARE(QByteArray(b.constData() + g + 35, 4), QByteArray("\x60\x60\x60\x00", 4));
        QCOMPARE(le64(b, g + 57), 1.0);
    }

    void roundTrip_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        CTargetDesign d;
        d.LoadDefault();
        QTest::newRow("default") << write(d);
        d.SetGrid(0x123456, 0.01, true, 0.25);
        d.AddSquare(12.0, 0x00FF00, 0.0, true, 0x808080, "SQ", false);
        d.AddDiamond(13.0, 0xFF0000, 0.1, false, 0x010101, "DIAM", false);
        d.AddBullseye(0.2, 0x000000, 0.01, true, BULLSEYE_X, false);
        d.SetLabelFontSize(65535);
        d.Rebuild();
        QTest::newRow("every type, grid on") << write(d);
        CTargetDesign empty;
        empty.Rebuild();
        QTest::newRow("no elements") << write(empty);
    }
    void roundTrip()
    {
        QFETCH(QByteArray, bytes);
        QVERIFY(!bytes.isEmpty());
        CTargetDesign d;
        QVERIFY(read(d, bytes));
        QCOMPARE(write(d), bytes);
        CTargetDesign copy;
        copy.CopyFrom(d);
        QVERIFY(copy.Equals(d));
        QCOMPARE(write(copy), bytes);
    }

    void readsExactlyItsRecords()
    {
        CTargetDesign d;
        d.LoadDefault();
        qint64 consumed = 0;
        CTargetDesign r;
        QVERIFY(read(r, write(d) + QByteArray(100, 'z'), &consumed));
        QCOMPARE(consumed, qint64(807));
        QCOMPARE(r.OverallDiameter(), 7.0);
        QVERIFY(r.Equals(d));
    }

    void designMarkerZero()
    {
        QByteArray b(RGD_MAGIC, RGD_MAGIC_SIZE);
        b.append(char(0));
        CTargetDesign d;
        qint64 consumed = 0;
        QVERIFY(read(d, b + QByteArray("trailing"), &consumed));
        QCOMPARE(consumed, qint64(41));
        QCOMPARE(d.GetElementCount(), 0);
        QCOMPARE(d.GetLabelFontSize(), 240);
        QCOMPARE(d.Grid().OutlineColor(), 0u);
        QCOMPARE(d.Grid().Thickness(), 0.03);
        QCOMPARE(d.Grid().Spacing(), 1.0);
        QVERIFY(!d.Grid().IsEnabled());
        QCOMPARE(d.OverallDiameter(), 0.0);
    }

    void rejects_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("elementsKept");
        CTargetDesign d;
        d.LoadDefault();
        const QByteArray good = write(d);
        QByteArray b = good;
        b[0] = 'q';
        QTest::newRow("wrong magic") << b << 0;
        QTest::newRow("empty file") << QByteArray() << 0;
        for (int code : {0, 5, 200}) {
            b = good;
            b[45 + 59 * 1 + 58 * 2] = char(code);  // the fourth entry
            QTest::addRow("type code %d", code) << b << 3;
        }
        b = good;
        b[45 + 59 + 1] = 4;  // a circle entry whose record says diamond
        QTest::newRow("record type differs from entry") << b << 1;
        b = good;
        b[807 - 65] = 2;
        QTest::newRow("grid record type") << b << 12;
    }
    void rejects()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, elementsKept);
        CTargetDesign d;
        QCOMPARE(read(d, bytes), 0);
        QCOMPARE(d.GetElementCount(), elementsKept);
        QVERIFY(!d.GetFirstEnabledElement());  // no rebuild after a failure
    }

    void everyEarlyEndFails()
    {
        CTargetDesign d;
        d.LoadDefault();
        d.SetGrid(0, 0.01, true, 0.5);
        const QByteArray good = write(d);
        for (int n = 0; n < good.size(); ++n) {
            CTargetDesign r;
            qint64 consumed = 0;
            QVERIFY2(!read(r, good.left(n), &consumed), qPrintable(QString::number(n)));
            QVERIFY(consumed <= n);
        }
    }

    void labelWithoutTerminator()
    {
        QByteArray b = header(140, 1) + char(2) + ringRecord(2, "ABCDE");
        CTargetDesign g;
        b += write(g).right(65);
        CTargetDesign d;
        QVERIFY(read(d, b));
        QCOMPARE(d.GetElement(0)->Label(), QStringLiteral("ABCD"));
        QCOMPARE(d.GetElement(0)->OutlineColor(), 0x010203u);
        QCOMPARE(d.GetElement(0)->FillColor(), 0x0A0B0Cu);
        QCOMPARE(d.GetElement(0)->Thickness(), 0.25);
        // Written back with its terminator, as every file this program writes.
        const QByteArray out = write(d);
        QCOMPARE(out.mid(45 + 1 + 51, 5), QByteArray("ABCD\0", 5));
    }

    void absentFieldsKeepDefaults()
    {
        // Bull's-eye: base marker 0, extension marker 0; grid: extension 0.
        QByteArray b = header(100, 1);
        b += char(1);
        b += char(1);
        b += char(0);
        b += char(0);
        CTargetDesign g;
        QByteArray grid = write(g).right(65);
        grid[56] = 0;
        b += grid.left(57);
        CTargetDesign d;
        d.SetGrid(0xABCDEF, 0.5, false, 3.0);
        qint64 consumed = 0;
        QVERIFY(read(d, b + "rest", &consumed));
        QCOMPARE(consumed, qint64(b.size()));
        auto* bull = dynamic_cast<CBullseyeElement*>(d.GetElement(0));
        QVERIFY(bull);
        QCOMPARE(bull->Style(), int(BULLSEYE_CROSS));
        QVERIFY(!bull->IsEnabled());
        QCOMPARE(bull->Thickness(), 0.0625);
        QCOMPARE(d.Grid().Spacing(), 3.0);
        QCOMPARE(d.GetLabelFontSize(), 100);
        QCOMPARE(write(d).size(), 45 + 59 + 65);
    }

    void writeFailures()
    {
        CTargetDesign d;
        d.LoadDefault();
        QBuffer closed;
        QCOMPARE(d.Write(closed), 0);
        QByteArray bytes;
        QBuffer readOnly(&bytes);
        readOnly.open(QIODevice::ReadOnly);
        QCOMPARE(d.Write(readOnly), 0);
    }
};

QTEST_GUILESS_MAIN(TestDesignFile)
#include "tst_designfile.moc"
