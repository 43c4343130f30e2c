#pragma once

#include <QString>

#include <QStringList>

#include <cstdint>

#include "platform/Units.h"

class CTargetDesign;

// The scale-for-distance model: two distances, each in its own unit, and the
// factor s / t by which a target made for distance t is reduced so that from
// distance s it looks the same size.

// Unit codes: the identifiers of the dialog's radio buttons, also the values
// kept in the settings file.
enum DistanceUnitCode : int {
    IDC_SHOOTER_YARDS = 3030,
    IDC_SHOOTER_FEET = 3031,
    IDC_SHOOTER_METERS = 3032,
    IDC_TARGET_YARDS = 3040,
    IDC_TARGET_FEET = 3041,
    IDC_TARGET_METERS = 3042,
};

enum class DistanceUnit { Yards, Feet, Meters };

// The unit of a shooter or target code; false for any other code.
bool UnitOfCode(int code, DistanceUnit* unit);
int ShooterUnitCode(DistanceUnit unit);
int TargetUnitCode(DistanceUnit unit);
double MetersPerUnit(DistanceUnit unit);

// The caption suffix of a unit code: "yds.", "ft" or "m"; any other code
// leaves the text as it was.
void UnitSuffixOfCode(int code, QString& suffix);

// A distance as the captions show it.
QString FormatDistance(double x);

// The text a distance combo box gets for a stored distance: "%lf" without its
// trailing zeros and then without a trailing point (25.0 gives 25).
QString FormatComboDistance(double x);

// The calibre a reduced ring target is corrected for (see
// designer/CalibreCorrection.h): a diameter in millimetres (kept to 0.01 mm)
// or inches (to 0.001 in); 0 means none, and the target scales by k alone.
struct Calibre {
    double value = 0.0;
    bool inches = false;

    bool isSet() const { return value > 0.0; }
    double Inches() const { return inches ? value : Units::MmToInches(value); }
    bool operator==(const Calibre&) const = default;
};

// The largest calibre taken, in inches.
constexpr double MAX_CALIBRE_INCHES = 1.0;

// "5.6 mm", "0.224 in" (trailing zeros dropped); empty for none.
QString FormatCalibre(const Calibre& calibre);
// What the distance captions gain at their end: ", CALIBRE 5.6 mm"; empty
// for none.
QString CalibreCaptionSuffix(const Calibre& calibre);
// "5.6mm", "0.224in": the command line's and the settings file's form; empty
// for none.
QString EncodeCalibre(const Calibre& calibre);
// Reads "5.6mm", "5.6 mm", "0.224in", or a bare number in the unit given by
// bareInches; anything after the unit (a list entry's note) is ignored. Empty
// text, "none" and 0 give none. False for anything else, or a calibre beyond
// MAX_CALIBRE_INCHES.
bool ParseCalibre(const QString& text, bool bareInches, Calibre* calibre);

// The checks the OK button makes, in their order.
enum class DistanceCheck { Ok, InvalidHeight, TargetNotBeyondShooter, RingVanishes, TooSmall };

struct DistanceInput {
    double shooterDistance = 0.0;  // in its own unit
    int shooterUnits = IDC_SHOOTER_YARDS;
    double targetDistance = 0.0;
    int targetUnits = IDC_TARGET_YARDS;
    double targetHeight = 0.0;  // hundredths of a millimetre
    // A ring design is corrected for the calibre; pictures (design null) and
    // no calibre scale by k alone.
    Calibre calibre;
    const CTargetDesign* design = nullptr;
};

struct DistanceResult {
    DistanceCheck check = DistanceCheck::Ok;
    double scale = 1.0;
    // RingVanishes: the shortest shooter distance, in the shooter's unit and
    // rounded up to one decimal, at which the outermost scoring ring remains.
    double shortestShooterDistance = 0.0;
    // Scoring diameters (in the calibre's unit, as text) of the rings that
    // print as the centre dot.
    QStringList dots;
    // The outermost scoring ring as it prints, corrected and proportionally
    // (in the calibre's unit, as text); empty without a correction.
    QString outermostCorrected;
    QString outermostProportional;
};

DistanceResult EvaluateDistanceScale(const DistanceInput& input);
// Checks the input and, when it passes, gives the scale s / t.
DistanceCheck CheckDistanceScale(const DistanceInput& input, double* scale);
// The message of a failed result, for the dialog and the command line.
QString DistanceResultMessage(const DistanceResult& result, const DistanceInput& input);

// The message and caption of a failed check (empty for Ok).
QString DistanceCheckMessage(DistanceCheck check);
QString DistanceCheckCaption(DistanceCheck check);

// Section "ScaleForDistance" of the settings file.
struct DistanceSettings {
    int shooterUnits = IDC_SHOOTER_YARDS;
    int targetUnits = IDC_TARGET_YARDS;
    // 0 means not set: the dialog then preselects "25" and "100".
    double shooterDistance = 0.0;
    double targetDistance = 0.0;
    Calibre calibre;  // key "Calibre" in EncodeCalibre's form; missing means none
};

extern const char* const kDistanceSection;

// The values read from the file (absent keys already replaced by 3030, 3040,
// 25 and 100) are taken over only where they are valid: a unit code in its
// group's range, and both distances together when both lie within 5..1000.
void AcceptStoredDistanceSettings(DistanceSettings& settings, std::uint16_t shooterUnits, std::uint16_t targetUnits,
                                  double shooterDistance, double targetDistance);
