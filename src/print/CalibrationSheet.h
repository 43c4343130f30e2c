#pragma once

#include <QPointF>
#include <QSizeF>
#include <QString>

#include "platform/Units.h"

class QPainter;
class QPrinter;

// The page a user measures a printer with: a horizontal and a vertical
// ruler, each as long as the printable area allows, graduated in millimetres
// on one side and sixteenths of an inch on the other, with an instruction
// line. It is drawn as vectors and never corrected, so what the user measures
// is the printer's own error.

// One ruler: where its zero lies (inches from the printable area's top-left
// corner), its direction, and the lengths of its two scales.
struct CalibrationRuler {
    QPointF origin;
    bool vertical = false;
    int centimetres = 0;
    int halfInches = 0;

    double metricInches() const { return centimetres / Units::CM_PER_INCH; }
    double inchInches() const { return halfInches / 2.0; }
};

struct CalibrationSheetLayout {
    CalibrationRuler horizontal;
    CalibrationRuler vertical;
};

// The rulers for a printable area of the given size in inches.
CalibrationSheetLayout LayoutCalibrationSheet(const QSizeF& printableInches);

// Tick lengths in millimetres; an end tick is longer than any other, so the
// ends of a scale can be found on the paper.
constexpr double CAL_END_TICK_MM = 12.0;
constexpr double CAL_MAJOR_TICK_MM = 4.5;

// The labels at a scale's far end: "17 cm", "6.5 in".
QString MetricEndLabel(const CalibrationRuler& ruler);
QString InchEndLabel(const CalibrationRuler& ruler);

constexpr const char* CAL_INSTRUCTION = "Measure from 0 to the last number with a steel rule and enter what you measure";

// Draws the sheet with the painter's origin at the printable area's top-left
// corner, at dpi pixels per inch; printerLine names the printer under the
// instruction.
void DrawCalibrationSheet(QPainter& painter, const QSizeF& printableInches, double dpi, const QString& printerLine);

// Prints the sheet as one page on printer, uncorrected. False when the
// printer could not be started.
bool PrintCalibrationSheet(QPrinter& printer, const QString& printerLine);
