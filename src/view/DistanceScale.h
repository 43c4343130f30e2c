#pragma once

#include <QString>

#include <cstdint>

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

// The checks the OK button makes, in their order.
enum class DistanceCheck { Ok, InvalidHeight, TargetNotBeyondShooter, TooSmall };

struct DistanceInput {
    double shooterDistance = 0.0;  // in its own unit
    int shooterUnits = IDC_SHOOTER_YARDS;
    double targetDistance = 0.0;
    int targetUnits = IDC_TARGET_YARDS;
    double targetHeight = 0.0;  // hundredths of a millimetre
};

// Checks the input and, when it passes, gives the scale s / t.
DistanceCheck CheckDistanceScale(const DistanceInput& input, double* scale);

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
};

extern const char* const kDistanceSection;

// The values read from the file (absent keys already replaced by 3030, 3040,
// 25 and 100) are taken over only where they are valid: a unit code in its
// group's range, and both distances together when both lie within 5..1000.
void AcceptStoredDistanceSettings(DistanceSettings& settings, std::uint16_t shooterUnits, std::uint16_t targetUnits,
                                  double shooterDistance, double targetDistance);
