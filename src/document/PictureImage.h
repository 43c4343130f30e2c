#pragma once

#include <QSize>

#include "platform/DeviceContext.h"
#include "platform/GdiRect.h"

class QIODevice;
class QImage;

// A picture target: a Windows metafile read from a stream.
class PictureImage {
public:
    PictureImage();
    ~PictureImage();

    void Clear();
    // Reads the picture stream from the device's current position to its end.
    bool Load(QIODevice& file);
    // Draws into (left, top, right, bottom); all zeros means the natural size.
    void Render(DeviceContext& dc, int left, int top, int right, int bottom, const GdiRect* bounds);
    QSize GetSizeDevice(const DeviceContext* dc) const;
    QSize GetSizeHimetric() const;
    bool MakeBitmap(DeviceContext& dc, QImage& bitmap, int boxWidth, int boxHeight);
};
