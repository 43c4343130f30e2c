#pragma once

#include <QString>

// The units the Ringdesigner shows its lengths in. A design always stores
// inches; these only change what the fields show and take.

enum class LengthUnit { Inches = 0, Millimetres = 1 };

// The grid's spacing can also be given as an angle seen from a distance.
enum class SpacingUnit {
    Inches = 0,
    Millimetres = 1,
    Moa = 2,         // true minutes of angle: d tan(1/60 degree), 1.047 in at 100 yd
    ShooterMoa = 3,  // 1 in at 100 yd
    Mil = 4,         // d / 1000
};
constexpr int SPACING_UNIT_COUNT = 5;

enum class RangeUnit { Yards = 0, Metres = 1 };

double LengthUnitInches(LengthUnit unit);
bool IsAngleUnit(SpacingUnit unit);
double RangeInches(double distance, RangeUnit unit);
// The inches one unit of spacing stands for, the angles at distanceInches.
double SpacingUnitInches(SpacingUnit unit, double distanceInches);

// Names as the dialog's lists show them and the settings file keeps them.
QString LengthUnitName(LengthUnit unit);          // "in", "mm"
QString SpacingUnitName(SpacingUnit unit);        // "in", "mm", "MOA", "SMOA", "MIL"
QString RangeUnitName(RangeUnit unit);            // "yd", "m"
// The note under the rows: "NOTE: All measurements are in inches." or the
// millimetre form.
QString MeasurementNote(LengthUnit unit);
