// VNTThumbView through its exports only, as a shell drives it: the
// interfaces, GetLocation, Extract over the kinds of file, and the module count.
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include "TargetFiles.h"
#include "helper_shellext.h"
#include "shellext/ShellBitmap.h"

using namespace targetfiles;

Q_DECLARE_METATYPE(GUID)

class TestVNTView : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void interfaces_data();
    void interfaces();
    void notImplemented();
    void getLocation_data();
    void getLocation();
    void extract_data();
    void extract();
    void canUnloadNow();

private:
    QImage thumbnail(const QString& path, SIZE size, HRESULT* hr = nullptr);

    ServerLibrary m_lib;
    QTemporaryDir m_dir;
};

void TestVNTView::initTestCase()
{
    QVERIFY2(m_lib.isOpen(), dlerror());
    QVERIFY(m_dir.isValid());
    const QByteArray picture = quadrantPicture();
    QVERIFY(writeFile(m_dir.filePath("quadrant.wmf"), picture));
    QVERIFY(writeFile(m_dir.filePath("UPPER.WMF"), picture));
    for (unsigned char marker : {0x1E, 0x17, 0x16, 0x1F})
        QVERIFY(writeFile(m_dir.filePath(QStringLiteral("marker%1.vnt").arg(marker, 2, 16)), targetHeader(marker) + picture));
    QVERIFY(writeFile(m_dir.filePath("UPPER.VNT"), targetHeader(0x1E) + picture));
    QVERIFY(writeFile(m_dir.filePath("short.vnt"), targetHeader(0x1E).left(60)));
    QVERIFY(writeFile(m_dir.filePath("broken.vnt"), targetHeader(0x1E) + QByteArray(500, 'x')));
    for (const char* other : {"picture.rgd", "picture.bmp", "picture.jpg", "picture"})
        QVERIFY(writeFile(m_dir.filePath(other), picture));
    // A path longer than Windows' 259 bytes.
    QString deep = m_dir.path();
    while (deep.size() < 400) deep += QLatin1Char('/') + QString(60, QLatin1Char('d'));
    QVERIFY(QDir().mkpath(deep));
    QVERIFY(writeFile(deep + "/quadrant.vnt", targetHeader(0x1E) + picture));
}

QImage TestVNTView::thumbnail(const QString& path, SIZE size, HRESULT* hr)
{
    IPersistFile* view = m_lib.createView();
    if (!view) return QImage();
    IExtractImage* extractor = extractorOf(view);
    loadName(view, path);
    DWORD priority = 0, flags = 0;
    extractor->GetLocation(nullptr, 0, &priority, &size, 32, &flags);
    HBITMAP sentinel = reinterpret_cast<HBITMAP>(0x5A5A);
    HBITMAP bitmap = sentinel;
    const HRESULT result = extractor->Extract(&bitmap);
    if (hr) *hr = result;
    QImage image;
    if (result == S_OK && bitmap != sentinel) {
        image = ImageOfBitmap(bitmap);
        DeleteBitmap(bitmap);
    } else if (bitmap != sentinel) {
        image = QImage(1, 1, QImage::Format_Mono);  // an output written on failure: caught by the caller
    }
    extractor->Release();
    view->Release();
    return image;
}

void TestVNTView::interfaces_data()
{
    QTest::addColumn<GUID>("iid");
    QTest::addColumn<HRESULT>("expected");
    QTest::newRow("IUnknown") << IID_IUnknown << S_OK;
    QTest::newRow("IPersistFile") << IID_IPersistFile << S_OK;
    QTest::newRow("IExtractImage") << IID_IExtractImage << S_OK;
    QTest::newRow("IPersist") << IID_IPersist << E_NOINTERFACE;
    QTest::newRow("IClassFactory") << IID_IClassFactory << E_NOINTERFACE;
}

void TestVNTView::interfaces()
{
    QFETCH(GUID, iid);
    QFETCH(HRESULT, expected);
    IPersistFile* view = m_lib.createView();
    QVERIFY(view);
    void* answer = reinterpret_cast<void*>(1);
    QCOMPARE(view->QueryInterface(iid, &answer), expected);
    if (expected == S_OK) {
        QVERIFY(answer);
        // Every interface leads back to the one identity.
        IUnknown* identity = nullptr;
        static_cast<IUnknown*>(answer)->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity));
        QCOMPARE(static_cast<void*>(identity), static_cast<void*>(view));
        identity->Release();
        static_cast<IUnknown*>(answer)->Release();
    } else {
        QCOMPARE(answer, nullptr);
    }
    QCOMPARE(view->Release(), ULONG(0));

    void* factory = reinterpret_cast<void*>(1);
    const GUID other = {0x12345678, 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}};
    QCOMPARE(m_lib.getClassObject(other, IID_IClassFactory, &factory), CLASS_E_CLASSNOTAVAILABLE);
    QCOMPARE(factory, nullptr);
}

void TestVNTView::notImplemented()
{
    IPersistFile* view = m_lib.createView();
    QVERIFY(view);
    CLSID clsid{};
    LPOLESTR name = nullptr;
    QCOMPARE(view->GetClassID(&clsid), E_NOTIMPL);
    QCOMPARE(view->IsDirty(), E_NOTIMPL);
    QCOMPARE(view->Save(u"x.vnt", 1), E_NOTIMPL);
    QCOMPARE(view->SaveCompleted(u"x.vnt"), E_NOTIMPL);
    QCOMPARE(view->GetCurFile(&name), E_NOTIMPL);
    QCOMPARE(loadName(view, QStringLiteral("x.vnt")), S_OK);
    view->Release();
}

void TestVNTView::getLocation_data()
{
    QTest::addColumn<DWORD>("flags");
    QTest::addColumn<HRESULT>("expected");
    QTest::addColumn<DWORD>("priority");
    QTest::newRow("no flags") << DWORD(0) << S_OK << DWORD(7);
    QTest::newRow("cache, aspect") << (IEIFLAG_CACHE | IEIFLAG_ASPECT) << S_OK << DWORD(7);
    QTest::newRow("async") << IEIFLAG_ASYNC << E_PENDING << DWORD(0xF0000000);
    QTest::newRow("async, offline") << (IEIFLAG_ASYNC | IEIFLAG_OFFLINE) << E_PENDING << DWORD(0xF0000000);
}

void TestVNTView::getLocation()
{
    QFETCH(DWORD, flags);
    QFETCH(HRESULT, expected);
    QFETCH(DWORD, priority);
    IPersistFile* view = m_lib.createView();
    QVERIFY(view);
    IExtractImage* extractor = extractorOf(view);
    QVERIFY(extractor);
    QCOMPARE(loadName(view, m_dir.filePath("quadrant.wmf")), S_OK);
    char16_t buffer[8] = {u'k', 0};
    DWORD gotPriority = 7, gotFlags = flags;
    const SIZE size{96, 96};
    QCOMPARE(extractor->GetLocation(buffer, 8, &gotPriority, &size, 32, &gotFlags), expected);
    QCOMPARE(gotPriority, priority);
    QCOMPARE(gotFlags, flags);
    QCOMPARE(buffer[0], u'k');
    // The size was kept either way.
    HBITMAP bitmap = nullptr;
    QCOMPARE(extractor->Extract(&bitmap), S_OK);
    QCOMPARE(ImageOfBitmap(bitmap).size(), QSize(96, 72));
    DeleteBitmap(bitmap);
    extractor->Release();
    view->Release();
}

void TestVNTView::extract_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<QSize>("expected");  // empty: no thumbnail
    const QString dir = m_dir.path() + QLatin1Char('/');
    QTest::newRow("wmf 4:3 at 96") << dir + "quadrant.wmf" << 96 << 96 << QSize(96, 72);
    QTest::newRow("wmf 4:3 at 300x120") << dir + "quadrant.wmf" << 300 << 120 << QSize(160, 120);
    QTest::newRow("upper-case WMF") << dir + "UPPER.WMF" << 96 << 96 << QSize(96, 72);
    QTest::newRow("vnt marker 1E") << dir + "marker1e.vnt" << 96 << 96 << QSize(96, 72);
    QTest::newRow("vnt marker 17") << dir + "marker17.vnt" << 256 << 256 << QSize(256, 192);
    QTest::newRow("vnt marker 16") << dir + "marker16.vnt" << 96 << 96 << QSize(96, 72);
    QTest::newRow("upper-case VNT") << dir + "UPPER.VNT" << 96 << 96 << QSize(96, 72);
    QString deep = m_dir.path();
    while (deep.size() < 400) deep += QLatin1Char('/') + QString(60, QLatin1Char('d'));
    QTest::newRow("name beyond 259 bytes") << deep + "/quadrant.vnt" << 96 << 96 << QSize(96, 72);
    QTest::newRow("vnt marker 1F") << dir + "marker1f.vnt" << 96 << 96 << QSize();
    QTest::newRow("vnt shorter than its header") << dir + "short.vnt" << 96 << 96 << QSize();
    QTest::newRow("vnt with an undecodable picture") << dir + "broken.vnt" << 96 << 96 << QSize();
    QTest::newRow("rgd") << dir + "picture.rgd" << 96 << 96 << QSize();
    QTest::newRow("bmp") << dir + "picture.bmp" << 96 << 96 << QSize();
    QTest::newRow("jpg") << dir + "picture.jpg" << 96 << 96 << QSize();
    QTest::newRow("no extension") << dir + "picture" << 96 << 96 << QSize();
    QTest::newRow("missing file") << dir + "missing.wmf" << 96 << 96 << QSize();
    QTest::newRow("no name") << QString() << 96 << 96 << QSize();
    QTest::newRow("no size asked") << dir + "quadrant.wmf" << 0 << 0 << QSize();
    QTest::newRow("size beyond any thumbnail") << dir + "quadrant.wmf" << 100000 << 100000 << QSize();
    QTest::newRow("name beyond 4095 bytes") << dir + QString(4100, QLatin1Char('n')) + ".wmf" << 96 << 96 << QSize();
}

void TestVNTView::extract()
{
    QFETCH(QString, name);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(QSize, expected);
    HRESULT hr = S_OK;
    const QImage image = thumbnail(name, SIZE{width, height}, &hr);
    if (expected.isEmpty()) {
        QCOMPARE(hr, E_FAIL);
        QVERIFY2(image.isNull(), "the output was written on failure");
        return;
    }
    QCOMPARE(hr, S_OK);
    QVERIFY(qAbs(image.width() - expected.width()) <= 1 && qAbs(image.height() - expected.height()) <= 1);
    QCOMPARE(image.depth(), 32);
    // White but for the black right-bottom quadrant.
    const QRect ink = inkedBox(image);
    const int w = image.width(), h = image.height();
    QVERIFY2(qAbs(ink.left() - w / 2) <= 1 && qAbs(ink.top() - h / 2) <= 1, qPrintable(QString("ink at %1,%2").arg(ink.left()).arg(ink.top())));
    QVERIFY(ink.right() >= w - 2 && ink.bottom() >= h - 2);
    QCOMPARE(image.pixel(1, 1), qRgb(255, 255, 255));
    QCOMPARE(image.pixel(w - 2, 1), qRgb(255, 255, 255));
    QCOMPARE(image.pixel(1, h - 2), qRgb(255, 255, 255));
    QCOMPARE(qGray(image.pixel(w * 3 / 4, h * 3 / 4)), 0);
}

void TestVNTView::canUnloadNow()
{
    QCOMPARE(m_lib.canUnloadNow(), S_OK);
    IPersistFile* view = m_lib.createView();
    QVERIFY(view);
    QCOMPARE(m_lib.canUnloadNow(), S_FALSE);
    IClassFactory* factory = nullptr;
    QCOMPARE(m_lib.getClassObject(CLSID_VNTView, IID_IUnknown, reinterpret_cast<void**>(&factory)), S_OK);
    QCOMPARE(factory->LockServer(1), S_OK);
    view->Release();
    QCOMPARE(m_lib.canUnloadNow(), S_FALSE);
    QCOMPARE(factory->LockServer(0), S_OK);
    factory->Release();
    QCOMPARE(m_lib.canUnloadNow(), S_OK);
}

QTEST_MAIN(TestVNTView)
#include "tst_vntview.moc"
