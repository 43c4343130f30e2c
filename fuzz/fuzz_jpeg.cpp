// libFuzzer target for the JPEG reader: libjpeg's errors must come back as a
// failed load, never end the process, and nothing may read past the input.
#include <cstdint>

#include "RasterFuzz.h"

namespace {

// Huge pictures are legal but make each run slow; the size bounds have their
// own tests, so the fuzzer leaves frames beyond 16 megapixels alone.
bool tooLarge(const uint8_t* data, size_t size)
{
    for (size_t i = 0; i + 9 <= size; ++i) {
        if (data[i] != 0xFF) continue;
        const uint8_t m = data[i + 1];
        if (m < 0xC0 || m > 0xCF || m == 0xC4 || m == 0xC8 || m == 0xCC) continue;
        const quint64 h = (quint64(data[i + 5]) << 8) | data[i + 6];
        const quint64 w = (quint64(data[i + 7]) << 8) | data[i + 8];
        if (w * h > (quint64(1) << 24)) return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!tooLarge(data, size)) FuzzRasterLoad(RasterImage::TYPE_JPEG, data, size);
    return 0;
}
