#include "designer/DesignUnits.h"

#include <cmath>
#include <numbers>

#include "platform/Units.h"

double LengthUnitInches(LengthUnit unit)
{
    return unit == LengthUnit::Millimetres ? Units::MmToInches(1.0) : 1.0;
}

bool IsAngleUnit(SpacingUnit unit)
{
    return unit == SpacingUnit::Moa || unit == SpacingUnit::ShooterMoa || unit == SpacingUnit::Mil;
}

double RangeInches(double distance, RangeUnit unit)
{
    return unit == RangeUnit::Metres ? distance / 0.0254 : distance * 36.0;
}

double SpacingUnitInches(SpacingUnit unit, double distanceInches)
{
    switch (unit) {
    case SpacingUnit::Inches: break;
    case SpacingUnit::Millimetres: return Units::MmToInches(1.0);
    case SpacingUnit::Moa: return distanceInches * std::tan(std::numbers::pi / (180.0 * 60.0));
    case SpacingUnit::ShooterMoa: return distanceInches / 3600.0;
    case SpacingUnit::Mil: return distanceInches / 1000.0;
    }
    return 1.0;
}

QString LengthUnitName(LengthUnit unit)
{
    return unit == LengthUnit::Millimetres ? QStringLiteral("mm") : QStringLiteral("in");
}

QString SpacingUnitName(SpacingUnit unit)
{
    static const char* const names[SPACING_UNIT_COUNT] = {"in", "mm", "MOA", "SMOA", "MIL"};
    const int i = int(unit);
    return QString::fromLatin1(names[i >= 0 && i < SPACING_UNIT_COUNT ? i : 0]);
}

QString RangeUnitName(RangeUnit unit)
{
    return unit == RangeUnit::Metres ? QStringLiteral("m") : QStringLiteral("yd");
}

QString MeasurementNote(LengthUnit unit)
{
    return unit == LengthUnit::Millimetres ? QStringLiteral("NOTE: All measurements are in millimetres.")
                                           : QStringLiteral("NOTE: All measurements are in inches.");
}
