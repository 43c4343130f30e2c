#pragma once

#include <QSize>

#include <memory>

#include "platform/DeviceContext.h"
#include "platform/GdiRect.h"

class QIODevice;
class QImage;

namespace wmf { struct Picture; }

// A picture target: a placeable Windows metafile read from a stream, decoded
// once into a display list and played into any device context.
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

    bool isLoaded() const { return m_picture != nullptr; }
    const wmf::Picture* picture() const { return m_picture.get(); }
    // Result of the last size query: 0 when it succeeded, -1 without a picture.
    int lastSizeResult() const { return m_sizeResult; }

    // Largest picture stream accepted, in bytes.
    static constexpr qint64 MAX_STREAM_SIZE = 256LL * 1024 * 1024;

private:
    std::unique_ptr<wmf::Picture> m_picture;
    mutable int m_sizeResult = -1;
};
