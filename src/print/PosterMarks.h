#pragma once

#include <QPoint>
#include <QString>

#include <vector>

#include "platform/DeviceContext.h"
#include "print/TargetLayout.h"

// What one sheet of a poster says about its place: its label, its
// neighbours' labels on the sides that join (empty where there is none), in
// the order left, above, right, below.
struct SheetPlace {
    QString label;
    QString neighbours[4];
};
SheetPlace PlaceOfSheet(int sheet, int rows, int cols);

// The points where four sheets meet, in the layout's pixels: the middle of
// the square the four sheets share (a corner when they do not overlap).
std::vector<QPoint> FourSheetPoints(const TargetLayout& layout);

// On the printed sheet layout.m_nCurSheet: its place and its neighbours in
// the label band with a small map of the whole poster (this sheet black,
// the sheets left out grey), and an alignment cross at every point where
// four sheets meet.
void DrawSheetMarks(DeviceContext& dc, const TargetLayout& layout);
