#pragma once

#include <QString>

#include "platform/Profile.h"

class QWidget;

// The placement of a top-level or child window in the settings file.
WindowPlacementRecord GetWindowPlacement(const QWidget* window);
void SetWindowPlacement(QWidget* window, const WindowPlacementRecord& placement);

// Writes "left", "right", "top", "bottom" and "showCmd" of the window's
// normal rectangle and state.
void SaveWindowPlacement(const QWidget* window, const QString& section,
                         const QString& fileName = QLatin1String(PROFILE_FILE));
// Applies a saved placement that passes every check; false when the window
// was left as it is.
bool RestoreWindowPlacement(QWidget* window, const QString& section, bool allowMinimised,
                            const QString& fileName = QLatin1String(PROFILE_FILE));
