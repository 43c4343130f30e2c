// Reads arbitrary bytes as a designer file. A design that reads must write
// back to bytes that read again to the same design and the same bytes, and
// must draw into a small bitmap without fault.
#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdint>
#include <cstdlib>

#include "designer/TargetDesign.h"

static QByteArray writeDesign(const CTargetDesign& d)
{
    QByteArray out;
    QBuffer buf(&out);
    buf.open(QIODevice::WriteOnly);
    if (d.Write(buf) != 1) std::abort();
    return out;
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QBuffer in;
    in.setData(reinterpret_cast<const char*>(data), int(size));
    in.open(QIODevice::ReadOnly);
    CTargetDesign d;
    if (!d.Read(in)) return 0;
    if (in.pos() > qint64(size)) std::abort();

    const QByteArray first = writeDesign(d);
    QBuffer again;
    again.setData(first);
    again.open(QIODevice::ReadOnly);
    CTargetDesign e;
    if (!e.Read(again) || writeDesign(e) != first) std::abort();

    QImage image = makeDeviceImage(48, 32, 96, 96);
    QPainter painter(&image);
    DeviceContext dc(&painter);
    d.Draw(dc, GdiRect(0, 0, 48, 32));
    d.SetGrid(d.Grid().OutlineColor(), d.Grid().Thickness(), !d.Grid().IsEnabled(), d.Grid().Spacing());
    d.Draw(dc, GdiRect(2, 2, 40, 30));
    return 0;
}
