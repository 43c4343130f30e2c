#pragma once

#include <QString>

#include "platform/DeviceContext.h"

// A raster target (".bmp" type 0, ".jpg"/".jpeg" type 1).
class RasterImage {
public:
    explicit RasterImage(int type);
    ~RasterImage();

    bool Load(const QString& path);
    // Stretches the image into (x, y, width, height).
    void Draw(DeviceContext& dc, int x, int y, int width, int height);
    quint32 Width() const;
    quint32 Height() const;
    int DpiX() const;
    int DpiY() const;

private:
    int m_type;
};
