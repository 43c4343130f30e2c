// libFuzzer target for the bitmap decoder: any input must decode or fail
// with a text, within the buffer it was given.
#include <cstdint>
#include <cstdlib>

#include "RasterFuzz.h"

namespace {

qint64 readLe(const uint8_t* p, int bytes, bool isSigned)
{
    quint64 v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | p[i];
    if (isSigned && bytes == 4) return qint32(quint32(v));
    return qint64(v);
}

// Huge pictures are legal but make each run slow; the size bounds have their
// own tests, so the fuzzer leaves pictures beyond 16 megapixels alone.
bool tooLarge(const uint8_t* data, size_t size)
{
    const size_t info = size >= 2 && data[0] == 'B' && data[1] == 'M' ? 14 : 0;
    if (size < info + 12) return false;
    const bool core = readLe(data + info, 4, false) == 12;
    qint64 w, h;
    if (core) {
        w = readLe(data + info + 4, 2, false);
        h = readLe(data + info + 6, 2, false);
    } else {
        w = readLe(data + info + 4, 4, true);
        h = readLe(data + info + 8, 4, true);
    }
    return std::llabs(w) * std::llabs(h) > (qint64(1) << 24);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!tooLarge(data, size)) FuzzRasterLoad(RasterImage::TYPE_BMP, data, size);
    return 0;
}
