#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include "designer/TargetDesign.h"
#include "document/TargetImage.h"

// TargetImage holding a design: opening ".rgd" files, the physical size,
// saving with its status codes, and thumbnails.
class TestDesignerTarget : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    static QByteArray bytesOf(const CTargetDesign& d)
    {
        QByteArray b;
        QBuffer buf(&b);
        buf.open(QIODevice::WriteOnly);
        d.Write(buf);
        return b;
    }
    QString writeFile(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly)) return QString();
        f.write(bytes);
        return path;
    }
    static QByteArray fileBytes(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private slots:
    void load_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("side");
        CTargetDesign d;
        d.LoadDefault();
        QTest::newRow("default") << "default.rgd" << bytesOf(d) << true << 17780;
        QTest::newRow("extension in capitals") << "DEFAULT.RGD" << bytesOf(d) << true << 17780;
        d.GetElement(10)->SetEnabled(true);
        d.Rebuild();
        QTest::newRow("10-inch ring") << "ten.rgd" << bytesOf(d) << true << 25400;
        CTargetDesign none;
        none.AddCircle(4.0, 0, 0.03, false, 0xFFFFFF, "", true);
        QTest::newRow("nothing enabled: no size") << "none.rgd" << bytesOf(none) << true << 0;
        QByteArray bad = bytesOf(d);
        bad[3] = '?';
        QTest::newRow("wrong magic") << "bad.rgd" << bad << false << 0;
        QTest::newRow("cut short") << "short.rgd" << bytesOf(d).left(300) << false << 0;
    }
    void load()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, ok);
        QFETCH(int, side);
        const QString path = writeFile(name, bytes);
        TargetImage image;
        QCOMPARE(image.Load(path), ok);
        QCOMPARE(image.kind(), int(TARGET_KIND_DESIGNER));
        QVERIFY(image.designer());
        if (ok) QCOMPARE(image.GetSizeHimetric(), QSize(side, side));
    }

    void missingFileLeavesEmptyDesign()
    {
        TargetImage image;
        QVERIFY(!image.Load(m_dir.filePath(QStringLiteral("absent.rgd"))));
        QCOMPARE(image.kind(), int(TARGET_KIND_DESIGNER));
        QCOMPARE(image.designer()->GetElementCount(), 0);
        QCOMPARE(image.GetSizeHimetric(), QSize(0, 0));
    }

    void setDesignerCopies()
    {
        CTargetDesign d;
        d.LoadDefault();
        TargetImage image;
        QVERIFY(image.SetDesigner(d));
        QCOMPARE(image.kind(), int(TARGET_KIND_DESIGNER));
        QVERIFY(image.designer() != &d);
        QVERIFY(image.designer()->Equals(d));
        d.SetLabelFontSize(100);
        QVERIFY(!image.designer()->Equals(d));
        QCOMPARE(image.GetSizeHimetric(), QSize(17780, 17780));
    }

    void save_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<int>("status");
        QTest::newRow("new file") << "new" << int(SAVE_OK);
        QTest::newRow("over a writable file") << "existing" << int(SAVE_OK);
        QTest::newRow("read-only file") << "readonly" << int(SAVE_READ_ONLY);
        QTest::newRow("folder without write permission") << "lockeddir" << int(SAVE_DIR_NOT_WRITABLE);
        QTest::newRow("missing folder") << "nodir" << int(SAVE_DIR_NOT_WRITABLE);
        QTest::newRow("name of a folder") << "isdir" << int(SAVE_CANNOT_CREATE);
    }
    void save()
    {
        QFETCH(QString, setup);
        QFETCH(int, status);
        QTemporaryDir dir;
        QString path = dir.filePath(QStringLiteral("target.rgd"));
        const QByteArray old("previous contents");
        if (setup == QLatin1String("existing") || setup == QLatin1String("readonly")) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(old);
            f.close();
            if (setup == QLatin1String("readonly"))
                QVERIFY(f.setPermissions(QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        } else if (setup == QLatin1String("lockeddir")) {
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("locked")));
            path = dir.filePath(QStringLiteral("locked/target.rgd"));
            QVERIFY(QFile::setPermissions(dir.filePath(QStringLiteral("locked")),
                                          QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther));
        } else if (setup == QLatin1String("nodir")) {
            path = dir.filePath(QStringLiteral("absent/target.rgd"));
        } else if (setup == QLatin1String("isdir")) {
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("target.rgd")));
        }

        CTargetDesign d;
        d.LoadDefault();
        TargetImage image;
        image.SetDesigner(d);
        QCOMPARE(image.Save(path), status);
        if (status == SAVE_OK) {
            QCOMPARE(fileBytes(path), bytesOf(d));
            TargetImage back;
            QVERIFY(back.Load(path));
            QVERIFY(back.designer()->Equals(d));
        } else if (setup == QLatin1String("readonly")) {
            QCOMPARE(fileBytes(path), old);
        } else if (setup != QLatin1String("isdir")) {
            QVERIFY(!QFile::exists(path));
        }
        QFile::setPermissions(dir.filePath(QStringLiteral("locked")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void saveWithNothingToSave()
    {
        TargetImage image;
        const QString path = m_dir.filePath(QStringLiteral("nothing.rgd"));
        QCOMPARE(image.Save(path), int(SAVE_OK));
        QVERIFY(!QFile::exists(path));
    }

    void thumbnail_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("dpi");
        QTest::newRow("wide box") << 300 << 200 << 96;
        QTest::newRow("tall box") << 120 << 400 << 96;
        QTest::newRow("printer resolution") << 600 << 600 << 600;
    }
    void thumbnail()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, dpi);
        CTargetDesign d;
        d.LoadDefault();
        TargetImage image;
        image.SetDesigner(d);
        QImage screen = makeDeviceImage(1, 1, dpi, dpi);
        QPainter p(&screen);
        DeviceContext dc(&p);
        QImage thumb;
        QVERIFY(image.MakeBitmap(dc, thumb, width, height));
        QCOMPARE(thumb.size(), QSize(width, height));
        QCOMPARE(thumb.dotsPerMeterX(), screen.dotsPerMeterX());
        // White around the fitted design, red at its centre off the cross.
        QCOMPARE(thumb.pixel(0, 0) & 0xFFFFFF, 0xFFFFFFu);
        QCOMPARE(thumb.pixel(width - 1, height - 1) & 0xFFFFFF, 0xFFFFFFu);
        const int side = std::min(width, height);
        const int off = side / 40;
        QCOMPARE(thumb.pixel(width / 2 + off, height / 2 + off) & 0xFFFFFF, 0xFF0000u);
        if (width > height) QCOMPARE(thumb.pixel((width - side) / 2 - 2, height / 2) & 0xFFFFFF, 0xFFFFFFu);
        else if (height > width) QCOMPARE(thumb.pixel(width / 2, (height - side) / 2 - 2) & 0xFFFFFF, 0xFFFFFFu);
        QVERIFY(!image.MakeBitmap(dc, thumb, 0, 10));
    }
};

QTEST_MAIN(TestDesignerTarget)
#include "tst_designer_target.moc"
