#include "designer/DesignGeometry.h"

#include <algorithm>
#include <limits>

#include "designer/DesignTypes.h"

static int clampToInt(long long v)
{
    return static_cast<int>(
        std::clamp<long long>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

GdiRect ScaleRect(const GdiRect& r, double factor)
{
    return {TruncToInt(factor * r.left), TruncToInt(factor * r.top), TruncToInt(factor * r.right),
            TruncToInt(factor * r.bottom)};
}

GdiRect CentreRect(const GdiRect& s, const GdiRect& t)
{
    // 64-bit sums: the coordinates may come from any file.
    const long long dx = (static_cast<long long>(t.right) + s.left - s.right - t.left) / 2 + t.left - s.left;
    const long long dy = (static_cast<long long>(t.bottom) + s.top - s.bottom - t.top) / 2 + t.top - s.top;
    return {clampToInt(s.left + dx), clampToInt(s.top + dy), clampToInt(s.right + dx), clampToInt(s.bottom + dy)};
}

GdiRect FitRect(const GdiRect& s, const GdiRect& t, double* scale)
{
    const double e = std::min((double(t.right) - t.left) / (double(s.right) - s.left),
                              (double(t.bottom) - t.top) / (double(s.bottom) - s.top));
    const long long h = TruncToInt(e * (double(s.bottom) - s.top));
    const long long w = TruncToInt(e * (double(s.right) - s.left));
    const long long left = t.left + (static_cast<long long>(t.right) - t.left - w) / 2;
    const long long top = t.top + (static_cast<long long>(t.bottom) - t.top - h) / 2;
    if (scale) *scale = e;
    return {clampToInt(left), clampToInt(top), clampToInt(left + w), clampToInt(top + h)};
}

GdiRect OffsetRect(const GdiRect& r, long long dx, long long dy)
{
    return {clampToInt(r.left + dx), clampToInt(r.top + dy), clampToInt(r.right + dx), clampToInt(r.bottom + dy)};
}
