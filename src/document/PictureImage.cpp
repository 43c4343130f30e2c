#include "document/PictureImage.h"

#include <QIODevice>
#include <QImage>

// Metafile pictures are not decoded yet: every load fails, so ".vnt" and
// ".wmf" files report the invalid-file message.
PictureImage::PictureImage() = default;
PictureImage::~PictureImage() = default;
void PictureImage::Clear() {}
bool PictureImage::Load(QIODevice&) { return false; }
void PictureImage::Render(DeviceContext&, int, int, int, int, const GdiRect*) {}
QSize PictureImage::GetSizeDevice(const DeviceContext*) const { return QSize(); }
QSize PictureImage::GetSizeHimetric() const { return QSize(); }
bool PictureImage::MakeBitmap(DeviceContext&, QImage&, int, int) { return false; }
