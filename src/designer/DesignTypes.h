#pragma once

#include <QColor>
#include <QtGlobal>

#include <cmath>
#include <limits>

// A Windows colour value: 0x00BBGGRR, red in the low byte.
using DesignColor = quint32;

inline QColor DesignQColor(DesignColor c)
{
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

enum ElementType {
    ELEMENT_BASE = 0,  // the abstract base; never in a design
    ELEMENT_BULLSEYE = 1,
    ELEMENT_CIRCLE = 2,
    ELEMENT_SQUARE = 3,
    ELEMENT_DIAMOND = 4,
    ELEMENT_GRID = 5,
};

enum BullseyeStyle {
    BULLSEYE_X = 0,      // a diagonal cross
    BULLSEYE_CROSS = 1,  // an upright cross
};

// A rectangle in inches about the design's centre, y growing downwards.
struct DesignRect {
    double left = 0.0;
    double top = 0.0;
    double right = 0.0;
    double bottom = 0.0;

    bool isZero() const { return left == 0.0 && top == 0.0 && right == 0.0 && bottom == 0.0; }
    bool operator==(const DesignRect&) const = default;
};

// The largest length a design may hold, in inches (25.4 m): anything beyond,
// or not a number at all, marks a damaged file, refused when it is read.
constexpr double MAX_DESIGN_INCHES = 1000.0;
inline bool IsDesignLength(double v) { return std::isfinite(v) && std::fabs(v) <= MAX_DESIGN_INCHES; }

// A double truncated toward zero into an int. Values a file can hold (NaN,
// infinities, 1e300) would make the plain conversion undefined, so they are
// clamped into the int range and NaN becomes 0.
inline int TruncToInt(double v)
{
    if (!(v == v)) return 0;
    if (v >= double(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
    if (v <= double(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
    return static_cast<int>(v);
}
