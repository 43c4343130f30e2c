#pragma once

#include <QString>

#include <vector>

class CTargetDesign;

// One standard ring target as its rulebook gives it. Diameters are those of
// the outer edge of each scoring ring, in the rule's own unit; the ring lines
// are drawn inside them, so a shot touching a line scores the higher ring.
struct StandardTarget {
    const char* name;       // file name without ".rgd"
    const char* rule;       // the rule and its edition
    bool inches;            // dimensions in inches, else millimetres
    int outerScore;         // value of the outermost ring
    std::vector<double> rings;  // outermost first, down to the 10 ring
    double innerTen;        // 0 when the target has none
    double black;           // diameter of the black aiming mark
    bool tenIsDot;          // the 10 is a white dot without a line
    double line;            // width of the ring lines
    int numberedTo;         // rings outerScore..numberedTo carry their number
    int labelFontSize;      // tenths of a point
    const char* note;       // what the reader should know; may be empty
    const char* checked;    // what the numbers were checked against
};

// The shipped table, in the order of the README.
const std::vector<StandardTarget>& StandardTargets();

// Diameter of ring `score` (outerScore..10).
double RingDiameter(const StandardTarget& t, int score);

// Millimetres per unit of the row.
inline double UnitMillimetres(const StandardTarget& t) { return t.inches ? 25.4 : 1.0; }

// Writes the design of a row: at most eleven rings and one bull's-eye, as
// the Ringdesigner holds them.
void BuildStandardDesign(const StandardTarget& t, CTargetDesign& d);

// The README of the "Standard Targets" folder: every row with its numbers.
QString StandardTargetsReadme();
