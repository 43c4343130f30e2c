#pragma once

// Small target files of every kind, written into a test's folder.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QString>

#include "designer/TargetDesign.h"
#include "wmf/WmfWriter.h"

namespace TargetFiles {

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

inline bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// A placeable metafile of w x h inches with one filled circle.
inline bool writeMetafile(const QString& path, double w = 8.5, double h = 11.0)
{
    WmfWriter wmf(0, 0, int(w * 1440), int(h * 1440), 1440);
    wmf.selectObject(wmf.createBrush(0, 0x000000));
    wmf.ellipse(0, 0, int(w * 1440), int(h * 1440));
    return writeBytes(path, wmf.finish());
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
            return writeBytes(path, bytes);
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
        return writeBytes(path, noise);
    }
    if (ext == QLatin1String("bmp")) return discImage(96, 48, 96).save(path, "BMP");
    if (ext == QLatin1String("jpg") || ext == QLatin1String("jpeg")) return discImage(96, 96, 96).save(path, "JPG");
    if (ext == QLatin1String("wmf") || ext == QLatin1String("vnt")) return writeMetafile(path);
    if (ext == QLatin1String("rgd")) return writeDesign(path);
    return writeBytes(path, "plain text\n");
}

}  // namespace TargetFiles
