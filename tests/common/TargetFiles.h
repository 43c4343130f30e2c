#pragma once
// Small target files made on the fly, and the ink a rendering of them shows.
// Needs vantric_wmf linked.
#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QRect>
#include <QString>

#include <algorithm>

#include "wmf/WmfFormat.h"
#include "wmf/WmfWriter.h"

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

}  // namespace targetfiles
