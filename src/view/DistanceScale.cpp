#include "view/DistanceScale.h"

#include "platform/NumberText.h"

#include <cmath>

const char* const kDistanceSection = "ScaleForDistance";

namespace {

// Distances are typed with one decimal; equal lengths in different units
// (25 yards and 75 feet) must compare equal despite the conversion's rounding.
constexpr double kRelativeTolerance = 1e-9;

// The scaled height in inches is compared with half an inch with this margin
// so that exactly half an inch is not lost to rounding.
constexpr double kInchTolerance = 1e-9;

}  // namespace

bool UnitOfCode(int code, DistanceUnit* unit)
{
    DistanceUnit u;
    switch (code) {
    case IDC_SHOOTER_YARDS:
    case IDC_TARGET_YARDS: u = DistanceUnit::Yards; break;
    case IDC_SHOOTER_FEET:
    case IDC_TARGET_FEET: u = DistanceUnit::Feet; break;
    case IDC_SHOOTER_METERS:
    case IDC_TARGET_METERS: u = DistanceUnit::Meters; break;
    default: return false;
    }
    if (unit)
        *unit = u;
    return true;
}

int ShooterUnitCode(DistanceUnit unit)
{
    return IDC_SHOOTER_YARDS + int(unit);
}

int TargetUnitCode(DistanceUnit unit)
{
    return IDC_TARGET_YARDS + int(unit);
}

double MetersPerUnit(DistanceUnit unit)
{
    switch (unit) {
    case DistanceUnit::Yards: return 0.9144;
    case DistanceUnit::Feet: return 0.3048;
    case DistanceUnit::Meters: break;
    }
    return 1.0;
}

void UnitSuffixOfCode(int code, QString& suffix)
{
    DistanceUnit unit;
    if (!UnitOfCode(code, &unit))
        return;
    switch (unit) {
    case DistanceUnit::Meters: suffix = QStringLiteral("m"); break;
    case DistanceUnit::Yards: suffix = QStringLiteral("yds."); break;
    case DistanceUnit::Feet: suffix = QStringLiteral("ft"); break;
    }
}

QString FormatDistance(double x)
{
    if (x >= 100.0)
        return NumberText::FormatFixed(x, 0);
    if (x >= 20.0)
        return NumberText::FormatPrecision(x, 1);
    return NumberText::FormatPrecision(x, 2);
}

QString FormatComboDistance(double x)
{
    QString text = NumberText::FormatLf(x);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text;
}

DistanceCheck CheckDistanceScale(const DistanceInput& input, double* scale)
{
    if (!(input.targetHeight > 0.0))
        return DistanceCheck::InvalidHeight;

    DistanceUnit shooterUnit = DistanceUnit::Yards;
    DistanceUnit targetUnit = DistanceUnit::Yards;
    UnitOfCode(input.shooterUnits, &shooterUnit);
    UnitOfCode(input.targetUnits, &targetUnit);
    const double s = input.shooterDistance * MetersPerUnit(shooterUnit);
    const double t = input.targetDistance * MetersPerUnit(targetUnit);
    // Written so that a distance that is not a number fails.
    if (!(t > s) || !(t - s > kRelativeTolerance * std::fabs(t)))
        return DistanceCheck::TargetNotBeyondShooter;

    const double h = input.targetHeight * 0.01 * 0.001;
    // The scaled height subtends at s the half-angle the full height subtends
    // at t: 2 s (h / 2t), which over h is s / t.
    const double ratio = s / t;
    if (!(ratio * h * 39.37007874015748 >= 0.5 - kInchTolerance))
        return DistanceCheck::TooSmall;

    if (scale)
        *scale = ratio;
    return DistanceCheck::Ok;
}

QString DistanceCheckMessage(DistanceCheck check)
{
    switch (check) {
    case DistanceCheck::Ok: break;
    case DistanceCheck::InvalidHeight: return QStringLiteral("Current target has invalid heigth value.");
    case DistanceCheck::TargetNotBeyondShooter:
        return QStringLiteral("Distance to target must be greater than distance to shooter.");
    case DistanceCheck::TooSmall:
        return QStringLiteral("Scale distance is too large. The target will be less than 1/2 inch tall.");
    }
    return QString();
}

QString DistanceCheckCaption(DistanceCheck check)
{
    switch (check) {
    case DistanceCheck::Ok: break;
    case DistanceCheck::InvalidHeight: return QStringLiteral("Error");
    case DistanceCheck::TargetNotBeyondShooter:
    case DistanceCheck::TooSmall: return QStringLiteral("Warning");
    }
    return QString();
}

void AcceptStoredDistanceSettings(DistanceSettings& settings, std::uint16_t shooterUnits, std::uint16_t targetUnits,
                                  double shooterDistance, double targetDistance)
{
    if (shooterUnits >= IDC_SHOOTER_YARDS && shooterUnits <= IDC_SHOOTER_METERS)
        settings.shooterUnits = shooterUnits;
    if (targetUnits >= IDC_TARGET_YARDS && targetUnits <= IDC_TARGET_METERS)
        settings.targetUnits = targetUnits;
    auto inRange = [](double d) { return d >= 5.0 && d <= 1000.0; };
    if (inRange(shooterDistance) && inRange(targetDistance)) {
        settings.shooterDistance = shooterDistance;
        settings.targetDistance = targetDistance;
    }
}
