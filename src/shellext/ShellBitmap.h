#pragma once
// What an HBITMAP from the thumbnail server is on this platform: a QImage of
// the display's depth, allocated with new. Host and server share one Qt, so
// the host reads it and deletes it with these helpers.

#include <QImage>

#include "shellext/ComTypes.h"

inline HBITMAP BitmapFromImage(QImage image) { return reinterpret_cast<HBITMAP>(new QImage(std::move(image))); }

inline const QImage& ImageOfBitmap(HBITMAP bitmap) { return *reinterpret_cast<const QImage*>(bitmap); }

// As GDI's DeleteObject for a bitmap: the holder frees what Extract handed over.
inline void DeleteBitmap(HBITMAP bitmap) { delete reinterpret_cast<QImage*>(bitmap); }
