#pragma once

#include <QString>

#include "platform/GdiRect.h"

class QSize;

// The settings file and its typed operations. Every caller reads its keys
// when it needs them and writes them when they change; nothing is cached.
constexpr const char* PROFILE_FILE = "Vantric.ini";
// What the number readers pass as the default: reading it back means the
// key is absent.
constexpr const char* PROFILE_NO_PARM = "__NO_PARM__";
// Buffer sizes of the readers, in characters with the terminating zero.
constexpr int PROFILE_NUMBER_BUFFER = 40;  // a number reads at most 38 characters
constexpr int PROFILE_TEXT_BUFFER = 1024;  // a text reads at most 1023

// Where a settings file lies: a name without a folder goes into the user's
// configuration folder (QStandardPaths::AppConfigLocation); an absolute path
// is used as it is.
QString ProfilePath(const QString& fileName = QLatin1String(PROFILE_FILE));

// The private-profile primitives. Reading copies at most size - 1
// characters of the value (or of def when it is missing).
QString GetPrivateProfileString(const QString& section, const QString& key, const QString& def, int size,
                                const QString& fileName);
// Writes the value; a null value removes the key, a null key the section.
bool WritePrivateProfileString(const QString& section, const QString& key, const QString& value,
                               const QString& fileName);

// Typed reads: the number of characters read comes back, the value goes
// into out (left alone when out is null).
int ReadProfileText(const QString& section, const QString& key, const QString& def, QString* out,
                    const QString& fileName = QLatin1String(PROFILE_FILE));
int ReadProfileInt(const QString& section, const QString& key, int def, int* out,
                   const QString& fileName = QLatin1String(PROFILE_FILE));
int ReadProfileShort(const QString& section, const QString& key, short def, short* out,
                     const QString& fileName = QLatin1String(PROFILE_FILE));
int ReadProfileReal(const QString& section, const QString& key, double def, double* out,
                    const QString& fileName = QLatin1String(PROFILE_FILE));

bool WriteProfileInt(const QString& section, const QString& key, int value,
                     const QString& fileName = QLatin1String(PROFILE_FILE));
// Writes the low 16 bits with "%u".
bool WriteProfileUnsigned(const QString& section, const QString& key, unsigned value,
                          const QString& fileName = QLatin1String(PROFILE_FILE));
bool WriteProfileReal(const QString& section, const QString& key, double value,
                      const QString& fileName = QLatin1String(PROFILE_FILE));

// The conversions the readers and writers use.
QString ProfileRealToText(double value);          // 12 significant digits, "25."

// A window's placement as the settings keep it: the normal (restored)
// rectangle and the show command (1 normal, 2 minimised, 3 maximised, ...).
struct WindowPlacementRecord {
    GdiRect normal;
    int showCmd = 1;
};

enum ShowCommand { SW_HIDE = 0, SW_SHOWNORMAL = 1, SW_SHOWMINIMIZED = 2, SW_SHOWMAXIMIZED = 3,
                   SW_SHOW = 5, SW_MINIMIZE = 6, SW_RESTORE = 9 };

void WriteWindowPlacement(const QString& section, const WindowPlacementRecord& placement,
                          const QString& fileName = QLatin1String(PROFILE_FILE));
// Reads a saved placement and applies the rejection rules against the
// screen size; false when the window is to stay as it is.
bool ReadWindowPlacement(const QString& section, bool allowMinimised, const QSize& screen,
                         WindowPlacementRecord* placement, const QString& fileName = QLatin1String(PROFILE_FILE));
