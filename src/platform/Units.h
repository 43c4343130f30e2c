#pragma once

// The lengths the program converts between: inches, millimetres, HIMETRIC
// (hundredths of a millimetre, the unit of picture and page sizes) and a
// device's pixels at its pixels per inch. Each conversion keeps one order
// of arithmetic, so a size comes out the same on screen and on paper.
namespace Units {

inline constexpr int HIMETRIC_PER_INCH = 2540;
inline constexpr double MM_PER_INCH = 25.4;
inline constexpr double CM_PER_INCH = 2.54;
inline constexpr double INCHES_PER_METRE = 39.37007874015748;

constexpr double HimetricToInches(double himetric) { return himetric / HIMETRIC_PER_INCH; }
constexpr double InchesToHimetric(double inches) { return inches * HIMETRIC_PER_INCH; }
constexpr double MmToInches(double mm) { return mm / MM_PER_INCH; }
constexpr double InchesToMm(double inches) { return inches * MM_PER_INCH; }

// Whole pixels at dpi and back, truncated toward zero; multiplied in 64
// bits, so large pictures at high resolutions do not overflow.
constexpr int HimetricToDevice(long long himetric, int dpi) { return int(himetric * dpi / HIMETRIC_PER_INCH); }
constexpr int DeviceToHimetric(long long pixels, int dpi) { return int(pixels * HIMETRIC_PER_INCH / dpi); }

}  // namespace Units
