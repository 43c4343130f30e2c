#pragma once

#include "platform/GdiRect.h"

// Integer rectangle operations used to fit a design into a device rectangle.
// All divisions truncate toward zero, products truncate toward zero.

// Each coordinate becomes trunc(factor * coordinate).
GdiRect ScaleRect(const GdiRect& r, double factor);

// source moved so that its centre lies on target's centre.
GdiRect CentreRect(const GdiRect& source, const GdiRect& target);

// source scaled by the largest factor that fits it into target, keeping its
// proportions, and centred there. The factor goes to *scale. source must have
// a positive width and height.
GdiRect FitRect(const GdiRect& source, const GdiRect& target, double* scale);

// r moved by (dx, dy), each coordinate kept within the int range.
GdiRect OffsetRect(const GdiRect& r, long long dx, long long dy);
