#pragma once

#include <QLineF>
#include <QRectF>
#include <QString>

class QPainter;

// The scale check: a 100 mm and a 4 in bar with end ticks and their lengths
// written above them, at the bottom left of every printed sheet's printable
// area, so a ruler on the paper proves the page came out true. Off unless
// the user turns it on; the choice is kept in the settings file.

bool ScaleCheckEnabled();
void SetScaleCheckEnabled(bool enabled);

struct ScaleCheckBars {
    QLineF metric;  // 100 mm
    QLineF inches;  // 4 in
    QRectF box;     // the white ground under both
};

// Where the bars lie for a printable area (any device's pixels) at the given
// pixels per inch.
ScaleCheckBars LayoutScaleCheck(const QRectF& printable, double pxPerInchX, double pxPerInchY);

// Draws the check on its white ground.
void DrawScaleCheck(QPainter& painter, const QRectF& printable, double pxPerInchX, double pxPerInchY);
