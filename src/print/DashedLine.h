#pragma once

#include <QColor>

#include <functional>
#include <vector>

#include "platform/DeviceContext.h"
#include "platform/GdiRect.h"

// A line drawn with a dash pattern by stepping it pixel by pixel, so the
// pattern has exactly the lengths asked for on every device and carries on
// from one segment to the next. Even entries of the pattern are dashes, odd
// ones gaps. MoveTo restarts the pattern at its first entry.
class CDashedLine {
public:
    // The pen operations the stepping produces: a move ends a gap, a line
    // ends a dash.
    using MoveFn = std::function<void(int x, int y)>;
    using LineFn = std::function<void(int x, int y)>;

    CDashedLine(std::vector<int> patternPixels, MoveFn moveTo, LineFn lineTo);

    void MoveTo(int x, int y);
    void LineTo(int x, int y);

    int CurrentEntry() const { return m_nEntry; }
    int PixelsLeft() const { return m_nLeft; }

    // trunc(pixels per inch x inches + 0.5), at least 1.
    static int InchesToPixels(int pixelsPerInch, double inches);

private:
    std::vector<int> m_pattern;
    MoveFn m_move;
    LineFn m_line;
    int m_nEntry = 0;
    int m_nLeft = 1;
    int m_x = 0;
    int m_y = 0;
};

// A dashed border of the rectangle drawn n = thickness times (each pass one
// pixel further inside) with a solid pen n pixels wide in the given colour;
// the pattern lengths and the thickness are in inches, converted with the
// context's horizontal pixels per inch.
void DrawDashedBorder(DeviceContext& dc, GdiRect rect, QColor color, const std::vector<double>& patternInches,
                      double thicknessInches);

// The cut border of a poster sheet: 0.03 in drawn, 0.12 in blank, 1/150 in
// thick, in black.
void DrawCutBorder(DeviceContext& dc, const GdiRect& rect);
