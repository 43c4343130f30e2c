#pragma once

#include <QString>

#include <optional>

class QPrinter;
struct PrinterSettings;

// How much a print queue's pages must be stretched so that they measure true:
// the factor per axis that the whole page is scaled by about the printable
// area's origin. Each queue, paper and orientation has its own, measured by
// the user on the calibration sheet and kept in section "Calibration" of the
// settings file. PDF output is exact and never corrected.
struct PageCorrection {
    double x = 1.0;
    double y = 1.0;

    bool isIdentity() const { return x == 1.0 && y == 1.0; }
};

// What a stored or measured correction may be: printers feed within a per
// cent or so; anything beyond these bounds is a mistyped measure.
constexpr double MIN_CORRECTION = 0.8;
constexpr double MAX_CORRECTION = 1.25;

// The correction that makes a ruler of nominal length, measured as measured,
// come out true: nominal / measured. Nothing when the measure is not a
// positive number or the factor falls outside the bounds above.
std::optional<double> CorrectionFromMeasure(double nominal, double measured);

// "X 100.42 %, Y 99.81 %".
QString CorrectionText(const PageCorrection& correction);

// The settings file's key of a queue's paper and orientation; empty for PDF
// output, which has none.
QString CalibrationKey(const PrinterSettings& settings);

// The stored correction of a printer; nothing for PDF output, for a printer
// never calibrated and for a stored value out of bounds.
std::optional<PageCorrection> LoadCalibration(const PrinterSettings& settings);
// Stores a correction (false for PDF output or a factor out of bounds).
bool SaveCalibration(const PrinterSettings& settings, const PageCorrection& correction);
void ResetCalibration(const PrinterSettings& settings);

// The correction a job on this printer is printed with: the stored one of its
// queue, paper and orientation, the identity for PDF output.
PageCorrection PrinterCorrection(const QPrinter& printer);

// The status bar's line for the printer, empty when no correction is stored.
QString CalibrationStatusText(const PrinterSettings& settings);
