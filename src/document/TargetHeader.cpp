// The target document's header check, apart from TargetImage so that the
// desktop thumbnailer, which needs only this, links none of the other loaders.
#include "document/TargetImage.h"

bool CheckTargetHeader(const unsigned char* header, int size, bool acceptMarker1F)
{
    if (size < TARGET_HEADER_SIZE) return false;
    int n = -1;
    for (int i = 0; i < TARGET_HEADER_SIZE; ++i) {
        if (header[i] == 0) { n = i; break; }
    }
    if (n < 0 || n >= TARGET_HEADER_SIZE - 1) return false;
    const int k = static_cast<signed char>(header[n + 1]);
    if (k < 0 || k > 98) return false;
    const unsigned char marker = header[k];
    return (acceptMarker1F && marker == 0x1F) || marker == 0x1E || marker == 0x17 || marker == 0x16;
}
