#pragma once

#include <QString>

#include <optional>

class QScreen;

// How many of a screen's pixels make an inch, so that "100% (Full Size)" is
// the size a ruler measures. Screens report their physical size, often
// wrongly; the user may measure it once (Screen Calibration), and the
// measure is kept per screen, by its name and size in device pixels, in
// section "Screen Calibration" of the settings file as device pixels per
// inch. Everything here is in the window's pixels (device pixels divided by
// the desktop's scale), the pixels a widget draws in.

// What a measure or a report may be: anything else is a mistake.
constexpr double MIN_SCREEN_PPI = 30.0;
constexpr double MAX_SCREEN_PPI = 1000.0;
// A screen that reports nothing believable is taken as 96 pixels per inch.
constexpr double FALLBACK_SCREEN_PPI = 96.0;

// "HDMI-1 1920x1080"; characters the settings file cannot hold in a key
// become "_".
QString ScreenCalibrationKey(const QScreen* screen);
// What the screen reports: its physical pixels per inch in window pixels.
double ReportedScreenPixelsPerInch(const QScreen* screen);
// The stored measure of the screen, if any, in window pixels.
std::optional<double> LoadScreenCalibration(const QScreen* screen);
bool SaveScreenCalibration(const QScreen* screen, double pixelsPerInch);
void ResetScreenCalibration(const QScreen* screen);
// The measure, else the report, else 96; for no screen 96.
double ScreenPixelsPerInch(const QScreen* screen);
