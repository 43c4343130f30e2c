#pragma once

#include <QRect>

// A rectangle with Windows meaning: (left, top, right, bottom), the right and
// bottom edges excluded, so (0, 0, 10, 10) covers 10 x 10 pixels. Layout code
// keeps its values in this type and converts only at the QPainter call.
struct GdiRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    constexpr GdiRect() = default;
    constexpr GdiRect(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}

    constexpr int width() const { return right - left; }
    constexpr int height() const { return bottom - top; }
    constexpr bool isEmpty() const { return right <= left || bottom <= top; }
    constexpr bool isNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }

    constexpr void offset(int dx, int dy) { left += dx; right += dx; top += dy; bottom += dy; }
    constexpr GdiRect offsetted(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    constexpr void inflate(int dx, int dy) { left -= dx; right += dx; top -= dy; bottom += dy; }

    // Normalised copy: left <= right and top <= bottom.
    constexpr GdiRect normalized() const {
        GdiRect r = *this;
        if (r.left > r.right) { int t = r.left; r.left = r.right; r.right = t; }
        if (r.top > r.bottom) { int t = r.top; r.top = r.bottom; r.bottom = t; }
        return r;
    }

    // Union with empty rectangles ignored, as UnionRect does.
    constexpr GdiRect united(const GdiRect& o) const {
        if (isEmpty()) return o;
        if (o.isEmpty()) return *this;
        return {left < o.left ? left : o.left, top < o.top ? top : o.top,
                right > o.right ? right : o.right, bottom > o.bottom ? bottom : o.bottom};
    }

    constexpr bool operator==(const GdiRect&) const = default;

    QRect toQRect() const { return QRect(left, top, right - left, bottom - top); }
    static GdiRect fromQRect(const QRect& r) { return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }
};
