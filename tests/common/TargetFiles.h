#pragma once
// Small target files of every kind made on the fly, and the ink a rendering
// of them shows.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>

#include <algorithm>

#include "designer/TargetDesign.h"
#include "wmf/WmfFormat.h"
#include "wmf/writer/WmfWriter.h"

namespace targetfiles {

constexpr int INCH = 1440;

// A placeable metafile of 4 x 3 inches, white but for a black right-bottom
// quadrant: (2, 1.5) to (4, 3) inches.
inline QByteArray quadrantPicture()
{
    WmfWriter w(0, 0, 4 * INCH, 3 * INCH, INCH);
    w.selectObject(w.createPen(wmf::PS_NULL, 0, 0));
    w.selectObject(w.createBrush(wmf::BS_SOLID, 0));
    w.rectangle(2 * INCH, 3 * INCH / 2, 4 * INCH, 3 * INCH);
    return w.finish();
}

// A valid 100-byte target document header whose marker byte is the one given.
inline QByteArray targetHeader(unsigned char marker)
{
    QByteArray h(100, '\0');
    h.replace(0, 5, "title");
    h[6] = char(50);
    h[50] = char(marker);
    return h;
}

inline bool writeFile(const QString& path, const QByteArray& data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

// Bounding box of the pixels darker than mid-grey (null when there are none).
inline QRect inkedBox(const QImage& img)
{
    int l = img.width(), t = img.height(), r = -1, b = -1;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qGray(img.pixel(x, y)) < 128) {
                l = std::min(l, x); r = std::max(r, x); t = std::min(t, y); b = std::max(b, y);
            }
    return r < 0 ? QRect() : QRect(QPoint(l, t), QPoint(r, b));
}

// A white image with a black disc, of w x h pixels at dpi.
inline QImage discImage(int w, int h, int dpi)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setDotsPerMeterX(qRound(dpi / 0.0254));
    image.setDotsPerMeterY(qRound(dpi / 0.0254));
    QPainter p(&image);
    p.setBrush(Qt::black);
    p.drawEllipse(QRect(w / 4, h / 4, w / 2, h / 2));
    return image;
}


// A placeable metafile of w x h inches with one filled circle.
inline bool writeMetafile(const QString& path, double w = 8.5, double h = 11.0)
{
    WmfWriter wmf(0, 0, int(w * 1440), int(h * 1440), 1440);
    wmf.selectObject(wmf.createBrush(0, 0x000000));
    wmf.ellipse(0, 0, int(w * 1440), int(h * 1440));
    return writeFile(path, wmf.finish());
}

// A ring design of one square of the given side.
inline bool writeDesign(const QString& path, double inches = 2.0)
{
    CTargetDesign d;
    d.AddSquare(inches, 0x000000, 0.0, true, 0x000000, QString(), true);
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && d.Write(f) == 1;
}

// Writes one file whose kind follows its extension; garbage writes bytes that
// no loader takes for that kind.
inline bool write(const QDir& dir, const QString& name, bool garbage = false)
{
    const QString path = dir.filePath(name);
    const QString ext = name.section(QLatin1Char('.'), -1).toLower();
    if (garbage) {
        if (ext == QLatin1String("jpg")) {
            QByteArray bytes;
            QImage image = discImage(64, 64, 96);
            image.save(path, "JPG");
            QFile f(path);
            f.open(QIODevice::ReadOnly);
            bytes = f.read(300);  // cut inside the scan
            f.close();
            return writeFile(path, bytes);
        }
        if (ext == QLatin1String("rgd")) {
            writeDesign(path);
            QFile f(path);
            f.open(QIODevice::ReadWrite);
            QByteArray bytes = f.readAll();
            for (int i = 40; i < bytes.size(); ++i) bytes[i] = char(0xFF);  // counts past any end
            f.seek(0);
            return f.write(bytes) == bytes.size();
        }
        QByteArray noise(512, '\0');
        for (int i = 0; i < noise.size(); ++i) noise[i] = char((i * 7919 + 13) & 0xFF);
        return writeFile(path, noise);
    }
    if (ext == QLatin1String("bmp")) return discImage(96, 48, 96).save(path, "BMP");
    if (ext == QLatin1String("jpg") || ext == QLatin1String("jpeg")) return discImage(96, 96, 96).save(path, "JPG");
    if (ext == QLatin1String("wmf") || ext == QLatin1String("vnt")) return writeMetafile(path);
    if (ext == QLatin1String("rgd")) return writeDesign(path);
    return writeFile(path, "plain text\n");
}

}  // namespace targetfiles
