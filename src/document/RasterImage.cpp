#include "document/RasterImage.h"

// Raster decoding is not built yet: every load fails, so ".bmp" and ".jpg"
// files report the invalid-file message.
RasterImage::RasterImage(int type) : m_type(type) {}
RasterImage::~RasterImage() = default;
bool RasterImage::Load(const QString&) { return false; }
void RasterImage::Draw(DeviceContext&, int, int, int, int) {}
quint32 RasterImage::Width() const { return 0; }
quint32 RasterImage::Height() const { return 0; }
int RasterImage::DpiX() const { return 0; }
int RasterImage::DpiY() const { return 0; }
