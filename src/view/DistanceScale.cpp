#include "view/DistanceScale.h"

#include "designer/CalibreCorrection.h"
#include "designer/TargetDesign.h"
#include "platform/NumberText.h"
#include "platform/Units.h"

#include <QRegularExpression>

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

namespace {

// A length in millimetres to 0.01 mm or inches to 0.001 in, without trailing
// zeros.
QString lengthText(double value, bool inches)
{
    QString text = QString::number(value, 'f', inches ? 3 : 2);
    while (text.endsWith(QLatin1Char('0'))) text.chop(1);
    if (text.endsWith(QLatin1Char('.'))) text.chop(1);
    return text + (inches ? QStringLiteral(" in") : QStringLiteral(" mm"));
}

}  // namespace

QString FormatCalibre(const Calibre& calibre)
{
    return calibre.isSet() ? lengthText(calibre.value, calibre.inches) : QString();
}

QString CalibreCaptionSuffix(const Calibre& calibre)
{
    return calibre.isSet() ? QStringLiteral(", CALIBRE ") + FormatCalibre(calibre) : QString();
}

QString EncodeCalibre(const Calibre& calibre)
{
    return FormatCalibre(calibre).remove(QLatin1Char(' '));
}

bool ParseCalibre(const QString& text, bool bareInches, Calibre* calibre)
{
    const QString t = text.trimmed();
    Calibre parsed;
    if (!t.isEmpty() && t.compare(QLatin1String("none"), Qt::CaseInsensitive) != 0) {
        static const QRegularExpression form(QStringLiteral("^(\\d+(?:\\.\\d*)?|\\.\\d+)\\s*(mm|in)?(?:\\s+.*|\\(.*)?$"),
                                             QRegularExpression::CaseInsensitiveOption);
        const QRegularExpressionMatch m = form.match(t);
        if (!m.hasMatch()) return false;
        const QString unit = m.captured(2).toLower();
        parsed.inches = unit.isEmpty() ? bareInches : unit == QLatin1String("in");
        const double v = m.captured(1).toDouble();
        // Kept to what the dialog shows: 0.01 mm or 0.001 in.
        const double step = parsed.inches ? 1000.0 : 100.0;
        parsed.value = std::round(v * step) / step;
        if (!std::isfinite(parsed.value) || parsed.Inches() > MAX_CALIBRE_INCHES + 1e-9) return false;
    }
    if (calibre) *calibre = parsed;
    return true;
}

DistanceCheck CheckDistanceScale(const DistanceInput& input, double* scale)
{
    const DistanceResult result = EvaluateDistanceScale(input);
    if (result.check == DistanceCheck::Ok && scale)
        *scale = result.scale;
    return result.check;
}

DistanceResult EvaluateDistanceScale(const DistanceInput& input)
{
    DistanceResult result;
    auto fail = [&result](DistanceCheck check) {
        result.check = check;
        return result;
    };
    if (!(input.targetHeight > 0.0))
        return fail(DistanceCheck::InvalidHeight);

    DistanceUnit shooterUnit = DistanceUnit::Yards;
    DistanceUnit targetUnit = DistanceUnit::Yards;
    UnitOfCode(input.shooterUnits, &shooterUnit);
    UnitOfCode(input.targetUnits, &targetUnit);
    const double s = input.shooterDistance * MetersPerUnit(shooterUnit);
    const double t = input.targetDistance * MetersPerUnit(targetUnit);
    // Written so that a distance that is not a number fails.
    if (!(t > s) || !(t - s > kRelativeTolerance * std::fabs(t)))
        return fail(DistanceCheck::TargetNotBeyondShooter);

    const double h = input.targetHeight * 0.01 * 0.001;
    // The scaled height subtends at s the half-angle the full height subtends
    // at t: 2 s (h / 2t), which over h is s / t.
    const double ratio = s / t;
    double scaledInches = ratio * h * Units::INCHES_PER_METRE;

    if (input.design && input.calibre.isSet()) {
        CTargetDesign corrected;
        const CalibreCorrection c = CorrectForCalibre(*input.design, ratio, input.calibre.Inches(), corrected);
        for (const VanishedRing& dot : c.dots) {
            const QString size = lengthText(input.calibre.inches ? dot.diameter : Units::InchesToMm(dot.diameter),
                                            input.calibre.inches);
            result.dots << (dot.label.isEmpty() ? size : QStringLiteral("%1 (%2)").arg(size, dot.label));
        }
        auto inUnit = [&input](double inches) {
            return lengthText(input.calibre.inches ? inches : Units::InchesToMm(inches), input.calibre.inches);
        };
        if (c.hasScoringRing) {
            result.outermostCorrected = inUnit(c.outermostPrinted);
            result.outermostProportional = inUnit(ratio * c.outermostDiameter);
        }
        if (c.outermostVanishes) {
            // Rounded up to one decimal, and past the distance where the ring
            // is exactly zero.
            const double perUnit = MetersPerUnit(shooterUnit);
            double shortest = std::ceil(c.minimumRatio * t / perUnit * 10.0 - 1e-9) / 10.0;
            if (shortest * perUnit / t <= c.minimumRatio * (1.0 + 1e-9)) shortest += 0.1;
            result.shortestShooterDistance = shortest;
            return fail(DistanceCheck::RingVanishes);
        }
        scaledInches = ratio * corrected.OverallDiameter();
    }
    if (!(scaledInches >= 0.5 - kInchTolerance))
        return fail(DistanceCheck::TooSmall);

    result.scale = ratio;
    return result;
}

QString DistanceResultMessage(const DistanceResult& result, const DistanceInput& input)
{
    if (result.check != DistanceCheck::RingVanishes)
        return DistanceCheckMessage(result.check);
    QString unit;
    UnitSuffixOfCode(input.shooterUnits, unit);
    QString text = QStringLiteral("The outermost scoring ring vanishes at this distance with a calibre of %1. The "
                                  "shortest shooter distance at which it remains is %2 %3")
                       .arg(FormatCalibre(input.calibre),
                            NumberText::FormatPrecision(result.shortestShooterDistance, 1), unit);
    // "yds." already ends the sentence.
    if (!text.endsWith(QLatin1Char('.'))) text += QLatin1Char('.');
    return text;
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
    case DistanceCheck::RingVanishes: break;  // needs the numbers: DistanceResultMessage
    }
    return QString();
}

QString DistanceCheckCaption(DistanceCheck check)
{
    switch (check) {
    case DistanceCheck::Ok: break;
    case DistanceCheck::InvalidHeight: return QStringLiteral("Error");
    case DistanceCheck::TargetNotBeyondShooter:
    case DistanceCheck::RingVanishes:
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
