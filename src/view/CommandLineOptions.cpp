#include "view/CommandLineOptions.h"

#include "platform/NumberText.h"

#include <QRegularExpression>

#include <cmath>

namespace {

// The distance fields take 0 to 1000.
constexpr double kMaxDistance = 1000.0;

bool parseNumber(const QString& text, double* value)
{
    static const QRegularExpression number(QStringLiteral("^(\\d+(\\.\\d*)?|\\.\\d+)$"));
    if (!number.match(text).hasMatch())
        return false;
    bool ok = false;
    *value = text.toDouble(&ok);
    return ok && std::isfinite(*value);
}

bool parseDistance(const QString& text, bool shooter, double* distance, int* code)
{
    static const QRegularExpression form(QStringLiteral("^([0-9.]+)(yd|ft|m)$"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = form.match(text.trimmed());
    if (!match.hasMatch() || !parseNumber(match.captured(1), distance))
        return false;
    const QString unit = match.captured(2).toLower();
    const DistanceUnit u = unit == QLatin1String("yd")   ? DistanceUnit::Yards
                           : unit == QLatin1String("ft") ? DistanceUnit::Feet
                                                         : DistanceUnit::Meters;
    *code = shooter ? ShooterUnitCode(u) : TargetUnitCode(u);
    return true;
}

QString gapText(double inches)
{
    return NumberText::FormatPrecision(inches, 2);
}

}  // namespace

QString ParseDistanceOption(const QString& value, DistanceOption* option)
{
    const QString usage = QStringLiteral(
        "--distance expects SHOOTER:TARGET, each a distance with its unit yd, ft or m, for example 25yd:100yd.");
    const QStringList parts = value.split(QLatin1Char(':'));
    DistanceOption parsed;
    if (parts.size() != 2 || !parseDistance(parts[0], true, &parsed.shooterDistance, &parsed.shooterUnits)
        || !parseDistance(parts[1], false, &parsed.targetDistance, &parsed.targetUnits))
        return usage;
    if (parsed.shooterDistance > kMaxDistance || parsed.targetDistance > kMaxDistance)
        return QStringLiteral("--distance: each distance must lie between 0 and 1000.");
    if (option)
        *option = parsed;
    return QString();
}

QString ParseCalibreOption(const QString& value, Calibre* calibre)
{
    static const QRegularExpression form(QStringLiteral("^[0-9.]+(mm|in)$"), QRegularExpression::CaseInsensitiveOption);
    Calibre parsed;
    if (!form.match(value.trimmed()).hasMatch() || !ParseCalibre(value, false, &parsed) || !parsed.isSet())
        return QStringLiteral("--calibre expects a diameter with its unit mm or in, at most 1 in, for example 5.6mm "
                              "or 0.224in.");
    if (calibre) *calibre = parsed;
    return QString();
}

QString CheckDistanceOption(const DistanceOption& option, double targetHeight, double* scale,
                            const Calibre& calibre, const CTargetDesign* design)
{
    if (calibre.isSet() && !design)
        return QStringLiteral("--calibre needs a ring design: the rings of a picture are not known, so it can only "
                              "be scaled proportionally.");
    DistanceInput input;
    input.shooterDistance = option.shooterDistance;
    input.shooterUnits = option.shooterUnits;
    input.targetDistance = option.targetDistance;
    input.targetUnits = option.targetUnits;
    input.targetHeight = targetHeight;
    input.calibre = calibre;
    input.design = design;
    const DistanceResult result = EvaluateDistanceScale(input);
    if (result.check == DistanceCheck::Ok && scale) *scale = result.scale;
    return DistanceResultMessage(result, input);
}

QString ShooterSuffix(const DistanceOption& option)
{
    QString suffix;
    UnitSuffixOfCode(option.shooterUnits, suffix);
    return suffix;
}

QString TargetSuffix(const DistanceOption& option)
{
    QString suffix;
    UnitSuffixOfCode(option.targetUnits, suffix);
    return suffix;
}

QString ParseTileOption(const QString& value, TileOption* option)
{
    static const QRegularExpression form(QStringLiteral("^(\\d{1,4})[xX](\\d{1,4})(@([0-9.]+),([0-9.]+))?$"));
    const QString usage = QStringLiteral(
        "--tile expects ROWSxCOLS or ROWSxCOLS@ROWGAP,COLGAP with the gaps in inches, for example 3x2@0.5,0.25.");
    const QRegularExpressionMatch match = form.match(value.trimmed());
    if (!match.hasMatch())
        return usage;
    TileOption parsed;
    parsed.rows = match.captured(1).toInt();
    parsed.cols = match.captured(2).toInt();
    if (parsed.rows < 1 || parsed.cols < 1)
        return QStringLiteral("--tile: rows and columns must be at least 1.");
    if (match.hasCaptured(3)) {
        parsed.hasSpacing = true;
        if (!parseNumber(match.captured(4), &parsed.rowSpacing) || !parseNumber(match.captured(5), &parsed.colSpacing))
            return usage;
    }
    if (option)
        *option = parsed;
    return QString();
}

QString CheckTileOption(const TileOption& option, int w, int h, int PW, int PH, TileGrid* grid)
{
    // The test that enables the command, for a target that has a size.
    if (w <= 0 || h <= 0 || !TargetFitsTwice(w, h, PW, PH))
        return QStringLiteral("--tile: the target does not fit more than once on the printable area.");
    TileSpacingModel model;
    model.SetLimits(w, h, PW, PH);
    if (option.rows > model.m_nMaxRows || option.cols > model.m_nMaxCols)
        return QStringLiteral("--tile: at most %1 rows and %2 columns of this target fit on the printable area.")
            .arg(model.m_nMaxRows)
            .arg(model.m_nMaxCols);
    const double maxRow = std::max(model.MaxRowSpacingFor(option.rows), 0.0);
    const double maxCol = std::max(model.MaxColSpacingFor(option.cols), 0.0);
    // The dialog shows the gaps with two decimals: a gap that shows as the
    // largest one is accepted.
    if (option.rowSpacing > maxRow + 0.005)
        return QStringLiteral("--tile: with %1 rows the row gap can be at most %2 inches.")
            .arg(option.rows)
            .arg(gapText(maxRow));
    if (option.colSpacing > maxCol + 0.005)
        return QStringLiteral("--tile: with %1 columns the column gap can be at most %2 inches.")
            .arg(option.cols)
            .arg(gapText(maxCol));
    model.Choose(option.rows, option.cols, option.rowSpacing, option.colSpacing);
    if (grid)
        model.GetValues(grid->rows, grid->cols, grid->rowSpacing, grid->colSpacing);
    return QString();
}
