#pragma once

#include <QBuffer>

#include <cstddef>
#include <cstdint>

#include "document/RasterImage.h"

// One run of a raster decoder on the fuzzer's input: a picture that loads has
// every byte of its pixel block read, so a short block shows up under the
// sanitizers.
inline void FuzzRasterLoad(int type, const uint8_t* data, size_t size)
{
    QBuffer buffer;
    buffer.setData(reinterpret_cast<const char*>(data), qsizetype(size));
    buffer.open(QIODevice::ReadOnly);
    RasterImage image(type);
    if (!image.Load(buffer)) return;
    volatile unsigned sum = 0;
    for (size_t i = 0; i < image.BlockSize(); ++i) sum += image.Block()[i];
    (void)image.ToImage();
}
