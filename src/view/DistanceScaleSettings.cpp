#include "view/DistanceScaleSettings.h"

#include "platform/Profile.h"

void ReadDistanceSettings(DistanceSettings& settings)
{
    const QString section = QLatin1String(kDistanceSection);
    short shooterUnits = 0;
    short targetUnits = 0;
    double shooterDistance = 0.0;
    double targetDistance = 0.0;
    ReadProfileShort(section, QStringLiteral("ShooterUnits"), short(IDC_SHOOTER_YARDS), &shooterUnits);
    ReadProfileShort(section, QStringLiteral("TargetUnits"), short(IDC_TARGET_YARDS), &targetUnits);
    ReadProfileReal(section, QStringLiteral("ShooterDistance"), 25.0, &shooterDistance);
    ReadProfileReal(section, QStringLiteral("TargetDistance"), 100.0, &targetDistance);
    AcceptStoredDistanceSettings(settings, std::uint16_t(shooterUnits), std::uint16_t(targetUnits), shooterDistance,
                                 targetDistance);
    // A missing or unreadable key means no calibre.
    QString calibre;
    ReadProfileText(section, QStringLiteral("Calibre"), QString(), &calibre);
    if (!ParseCalibre(calibre, false, &settings.calibre) || calibre.trimmed().isEmpty())
        settings.calibre = Calibre();
}

void WriteDistanceSettings(const DistanceSettings& settings)
{
    const QString section = QLatin1String(kDistanceSection);
    WriteProfileUnsigned(section, QStringLiteral("ShooterUnits"), unsigned(settings.shooterUnits));
    WriteProfileReal(section, QStringLiteral("ShooterDistance"), settings.shooterDistance);
    WriteProfileUnsigned(section, QStringLiteral("TargetUnits"), unsigned(settings.targetUnits));
    WriteProfileReal(section, QStringLiteral("TargetDistance"), settings.targetDistance);
    const QString calibre = EncodeCalibre(settings.calibre);
    WritePrivateProfileString(section, QStringLiteral("Calibre"), calibre.isEmpty() ? QStringLiteral("none") : calibre,
                              QLatin1String(PROFILE_FILE));
}
