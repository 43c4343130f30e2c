#include "platform/ui/ScreenCalibration.h"

#include <QScreen>

#include "platform/Profile.h"

namespace {

const QString SECTION = QStringLiteral("Screen Calibration");

bool believable(double ppi) { return ppi >= MIN_SCREEN_PPI && ppi <= MAX_SCREEN_PPI; }

double scale(const QScreen* screen)
{
    const double ratio = screen->devicePixelRatio();
    return ratio > 0 ? ratio : 1.0;
}

}  // namespace

QString ScreenCalibrationKey(const QScreen* screen)
{
    if (!screen) return QString();
    const QSize device = (QSizeF(screen->size()) * scale(screen)).toSize();
    QString name = screen->name().isEmpty() ? QStringLiteral("screen") : screen->name();
    for (QChar& c : name)
        if (c == QLatin1Char('=') || c == QLatin1Char('[') || c == QLatin1Char(']') || c == QLatin1Char(';')
            || c.category() == QChar::Other_Control)
            c = QLatin1Char('_');
    return QStringLiteral("%1 %2x%3").arg(name).arg(device.width()).arg(device.height());
}

double ReportedScreenPixelsPerInch(const QScreen* screen)
{
    if (!screen) return FALLBACK_SCREEN_PPI;
    // The physical figure counts device pixels.
    const double ppi = screen->physicalDotsPerInch() / scale(screen);
    return believable(ppi) ? ppi : FALLBACK_SCREEN_PPI;
}

std::optional<double> LoadScreenCalibration(const QScreen* screen)
{
    if (!screen) return std::nullopt;
    QString text;
    ReadProfileText(SECTION, ScreenCalibrationKey(screen), QString(), &text);
    bool ok = false;
    const double device = text.toDouble(&ok);
    if (!ok) return std::nullopt;
    const double ppi = device / scale(screen);
    if (!believable(ppi)) return std::nullopt;
    return ppi;
}

bool SaveScreenCalibration(const QScreen* screen, double pixelsPerInch)
{
    if (!screen || !believable(pixelsPerInch)) return false;
    return WritePrivateProfileString(SECTION, ScreenCalibrationKey(screen),
                                     QString::number(pixelsPerInch * scale(screen), 'f', 3),
                                     QLatin1String(PROFILE_FILE));
}

void ResetScreenCalibration(const QScreen* screen)
{
    if (screen)
        WritePrivateProfileString(SECTION, ScreenCalibrationKey(screen), QString(), QLatin1String(PROFILE_FILE));
}

double ScreenPixelsPerInch(const QScreen* screen)
{
    return LoadScreenCalibration(screen).value_or(ReportedScreenPixelsPerInch(screen));
}
