#include "platform/Profile.h"

#include <QDir>
#include <QSize>
#include <QStandardPaths>

#include <cmath>
#include <limits>

#include "platform/IniFile.h"
#include "platform/NumberText.h"

QString ProfilePath(const QString& fileName)
{
    if (QDir::isAbsolutePath(fileName)) return fileName;
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + QLatin1Char('/') + fileName;
}

QString GetPrivateProfileString(const QString& section, const QString& key, const QString& def, int size,
                                const QString& fileName)
{
    if (size <= 0) return QString();
    const IniFile ini(ProfilePath(fileName));
    return ini.value(section, key, def).left(size - 1);
}

bool WritePrivateProfileString(const QString& section, const QString& key, const QString& value,
                               const QString& fileName)
{
    if (section.isEmpty() || fileName.isEmpty()) return false;
    IniFile ini(ProfilePath(fileName));
    if (key.isNull()) ini.removeSection(section);
    else if (value.isNull()) ini.removeKey(section, key);
    else ini.setValue(section, key, value);
    return ini.save();
}

int ReadProfileText(const QString& section, const QString& key, const QString& def, QString* out,
                    const QString& fileName)
{
    if (!out) return 0;
    *out = GetPrivateProfileString(section, key, def, PROFILE_TEXT_BUFFER, fileName);
    return int(out->size());
}

namespace {

// The text of a number key, cut as the 40-byte buffer cuts it.
QString readNumberText(const QString& section, const QString& key, const QString& fileName)
{
    return GetPrivateProfileString(section, key, QLatin1String(PROFILE_NO_PARM), PROFILE_NUMBER_BUFFER - 1,
                                   fileName);
}

bool isAbsent(const QString& text) { return text == QLatin1String(PROFILE_NO_PARM); }

}  // namespace

// A real setting is never infinite: a number beyond the double range reads as
// 0, as the settings file has always read it, so callers' range checks hold.
static double settingReal(const QString& text)
{
    const double value = NumberText::ToReal(text);
    return std::isfinite(value) ? value : 0.0;
}

QString ProfileRealToText(double value)
{
    QString text = QString::number(value, 'g', 12);
    if (!std::isfinite(value)) return text;
    // The decimal point always stays: 25 is "25.", 1e+20 is "1.e+20".
    const int e = int(text.indexOf(QLatin1Char('e')));
    const QString mantissa = e < 0 ? text : text.left(e);
    if (!mantissa.contains(QLatin1Char('.'))) text.insert(e < 0 ? text.size() : e, QLatin1Char('.'));
    return text;
}

int ReadProfileInt(const QString& section, const QString& key, int def, int* out, const QString& fileName)
{
    const QString text = readNumberText(section, key, fileName);
    if (out) *out = isAbsent(text) ? def : NumberText::ToInt32(text);
    return int(text.size());
}

int ReadProfileShort(const QString& section, const QString& key, short def, short* out, const QString& fileName)
{
    const QString text = readNumberText(section, key, fileName);
    if (out) *out = isAbsent(text) ? def : static_cast<short>(static_cast<quint16>(NumberText::ToInt32(text)));
    return int(text.size());
}

int ReadProfileReal(const QString& section, const QString& key, double def, double* out, const QString& fileName)
{
    const QString text = readNumberText(section, key, fileName);
    if (out) *out = isAbsent(text) ? def : settingReal(text);
    return int(text.size());
}

bool WriteProfileInt(const QString& section, const QString& key, int value, const QString& fileName)
{
    return WritePrivateProfileString(section, key, QString::number(value), fileName);
}

bool WriteProfileUnsigned(const QString& section, const QString& key, unsigned value, const QString& fileName)
{
    return WritePrivateProfileString(section, key, QString::number(value & 0xFFFFu), fileName);
}

bool WriteProfileReal(const QString& section, const QString& key, double value, const QString& fileName)
{
    return WritePrivateProfileString(section, key, ProfileRealToText(value), fileName);
}

void WriteWindowPlacement(const QString& section, const WindowPlacementRecord& placement, const QString& fileName)
{
    if (section.isEmpty() || fileName.isEmpty()) return;
    WriteProfileInt(section, QStringLiteral("left"), placement.normal.left, fileName);
    WriteProfileInt(section, QStringLiteral("right"), placement.normal.right, fileName);
    WriteProfileInt(section, QStringLiteral("top"), placement.normal.top, fileName);
    WriteProfileInt(section, QStringLiteral("bottom"), placement.normal.bottom, fileName);
    WriteProfileInt(section, QStringLiteral("showCmd"), placement.showCmd, fileName);
}

bool ReadWindowPlacement(const QString& section, bool allowMinimised, const QSize& screen,
                         WindowPlacementRecord* placement, const QString& fileName)
{
    if (section.isEmpty() || fileName.isEmpty() || !placement) return false;
    GdiRect r;
    int show = 1;
    ReadProfileInt(section, QStringLiteral("left"), 0, &r.left, fileName);
    ReadProfileInt(section, QStringLiteral("right"), 0, &r.right, fileName);
    ReadProfileInt(section, QStringLiteral("top"), 0, &r.top, fileName);
    ReadProfileInt(section, QStringLiteral("bottom"), 0, &r.bottom, fileName);
    ReadProfileInt(section, QStringLiteral("showCmd"), 1, &show, fileName);
    r = r.normalized();
    // The edge checks come first so the width and height cannot overflow.
    if (r.left < 0 || r.top < 0 || r.right > screen.width() || r.bottom > screen.height()) return false;
    if (r.isEmpty() || r.width() <= 30 || r.height() <= 20) return false;
    const bool accepted = show == SW_SHOWNORMAL || show == SW_SHOWMAXIMIZED || show == SW_SHOW || show == SW_RESTORE
                          || (show == SW_SHOWMINIMIZED && allowMinimised);
    if (!accepted) return false;
    placement->normal = r;
    placement->showCmd = show;
    return true;
}
