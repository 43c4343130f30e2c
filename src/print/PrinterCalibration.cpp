#include "print/PrinterCalibration.h"

#include <QPrinter>
#include <QStringList>

#include <cmath>

#include "platform/Profile.h"
#include "print/PrinterSettings.h"

namespace {

const QString SECTION = QStringLiteral("Calibration");

bool inBounds(double factor)
{
    return std::isfinite(factor) && factor >= MIN_CORRECTION && factor <= MAX_CORRECTION;
}

}  // namespace

std::optional<double> CorrectionFromMeasure(double nominal, double measured)
{
    if (!(nominal > 0.0) || !(measured > 0.0)) return std::nullopt;
    const double factor = nominal / measured;
    if (!inBounds(factor)) return std::nullopt;
    return factor;
}

QString CorrectionText(const PageCorrection& correction)
{
    return QStringLiteral("X %1 %, Y %2 %")
        .arg(correction.x * 100.0, 0, 'f', 2)
        .arg(correction.y * 100.0, 0, 'f', 2);
}

QString CalibrationKey(const PrinterSettings& settings)
{
    if (settings.isPdfOutput()) return QString();
    const QString orientation =
        settings.orientation == QPageLayout::Landscape ? QStringLiteral("Landscape") : QStringLiteral("Portrait");
    return QStringLiteral("%1/%2/%3").arg(settings.printerName, PaperToText(settings.pageSize), orientation);
}

std::optional<PageCorrection> LoadCalibration(const PrinterSettings& settings)
{
    const QString key = CalibrationKey(settings);
    if (key.isEmpty()) return std::nullopt;
    QString text;
    ReadProfileText(SECTION, key, QString(), &text);
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 2) return std::nullopt;
    bool okX = false;
    bool okY = false;
    PageCorrection c;
    c.x = parts[0].trimmed().toDouble(&okX);
    c.y = parts[1].trimmed().toDouble(&okY);
    if (!okX || !okY || !inBounds(c.x) || !inBounds(c.y)) return std::nullopt;
    return c;
}

bool SaveCalibration(const PrinterSettings& settings, const PageCorrection& correction)
{
    const QString key = CalibrationKey(settings);
    if (key.isEmpty() || !inBounds(correction.x) || !inBounds(correction.y)) return false;
    const QString value =
        QStringLiteral("%1,%2").arg(correction.x, 0, 'f', 6).arg(correction.y, 0, 'f', 6);
    return WritePrivateProfileString(SECTION, key, value, QLatin1String(PROFILE_FILE));
}

void ResetCalibration(const PrinterSettings& settings)
{
    const QString key = CalibrationKey(settings);
    if (!key.isEmpty()) WritePrivateProfileString(SECTION, key, QString(), QLatin1String(PROFILE_FILE));
}

PageCorrection PrinterCorrection(const QPrinter& printer)
{
    if (printer.outputFormat() != QPrinter::NativeFormat) return {};
    return LoadCalibration(PrinterSettings::fromPrinter(printer)).value_or(PageCorrection{});
}

QString CalibrationStatusText(const PrinterSettings& settings)
{
    const std::optional<PageCorrection> c = LoadCalibration(settings);
    if (!c) return QString();
    return QStringLiteral("Printer calibrated: %1").arg(CorrectionText(*c));
}
