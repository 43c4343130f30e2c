#pragma once

#include <QImage>
#include <QString>

#include "document/RasterBitmap.h"
#include "platform/DeviceContext.h"

class QIODevice;

// A raster target (".bmp" type 0, ".jpg"/".jpeg" type 1, ".png" type 2) held
// as one packed bitmap, and how it is drawn on screens and paper.
class RasterImage : public RasterBitmap {
public:
    enum Type { TYPE_BMP = 0, TYPE_JPEG = 1, TYPE_PNG = 2 };

    explicit RasterImage(int type);
    ~RasterImage() override;

    // Decodes the file with the decoder of this image's type. On failure the
    // previous content stays and LastError() says why (empty when the file
    // could not be opened).
    bool Load(const QString& path);
    // The same for an open device, read from its current position.
    bool Load(QIODevice& device);

    // Stretches the whole bitmap into (x, y, width, height). With the
    // HALFTONE stretch mode (a window's view asks for it) a picture made
    // smaller on screen is averaged over the area each device pixel covers,
    // so thin lines stay visible; the result is kept for the size last drawn,
    // so repaints at one zoom only copy it. Otherwise the mode becomes
    // COLORONCOLOR and each device pixel takes the source pixel under its
    // centre. On a printer the image goes out at its own pixels and the
    // device scales it, unless it has more pixels than the sheet shows: then
    // only what the sheet shows goes out, at the device's resolution.
    bool Draw(DeviceContext& dc, int x, int y, int width, int height);

    int Type() const { return m_type; }

    // The whole picture fitted to width x height for a thumbnail whose
    // device has dpiX x dpiY: averaged over the area under each pixel when it
    // shrinks both ways (a thin ring stays a line), else each pixel takes the
    // source pixel under its centre. Null without a bitmap.
    QImage Thumbnail(int width, int height, int dpiX, int dpiY);

protected:
    void BitmapReplaced() override;

private:
    bool drawSampled(DeviceContext& dc, int x, int y, int width, int height);
    // The screen path for pictures drawn smaller than the bitmap, from
    // m_screenImage; false when it does not apply.
    bool drawScreenAveraged(DeviceContext& dc, int x, int y, int width, int height);
    bool drawPrinted(DeviceContext& dc, int x, int y, int width, int height);
    // What drawPrinted hands the device when the bitmap is too large to go
    // out whole.
    QImage printPart(qint64 u0, qint64 v0, qint64 cw, qint64 ch, const QSizeF& destOnDevice, double maxPixels) const;

    int m_type;
    // What printers are given, made at the first print and kept with the
    // bitmap.
    QImage m_printImage;
    // What screens are given when the picture is drawn smaller: the whole
    // picture averaged down to the size last drawn.
    QImage m_screenImage;
};
