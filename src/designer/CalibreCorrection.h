#pragma once

#include <QString>

#include <vector>

#include "platform/Units.h"

class CDesignElement;
class CTargetDesign;

// A reduced ring target a scorer can trust.
//
// A shot scores the ring its hole touches, and the hole does not shrink with
// the target: the scoring room of a ring is its diameter plus one calibre, and
// that is what scales with the distance ratio k. A ring of diameter D becomes
//     D' = k (D + f c) - f c,
// f = 1 for circles and squares (diameter or side) and sqrt 2 for diamonds,
// whose diameter runs vertex to vertex: a hole touching a diamond's edge
// reaches c / 2 past it square to the edge, c sqrt 2 / 2 along the diagonal.
//
// The scoring edge of a drawn ring is the OUTER edge of its line. The line is
// centred on the ring's path (its stored diameter), so the edge lies at the
// stored diameter plus the line's thickness, and a shot touching the line
// scores the ring (the shipped rulebook targets put the rule diameter there).
// The line itself scales by k like everything that is not a scoring edge, so
// the correction moves the whole line, inside the corrected edge.

// The centre dot a ring becomes when its corrected diameter is smaller: the
// smallest mark that prints, in inches (0.5 mm).
inline constexpr double CENTRE_DOT_INCHES = Units::MmToInches(0.5);

// Enabled circles, squares and diamonds; the bull's-eye mark and the grid are
// aiming aids, not scoring edges.
bool IsScoringRing(const CDesignElement& element);
// The outer edge of the ring's line: stored diameter plus thickness.
double ScoringDiameter(const CDesignElement& ring);
// f of the rule: sqrt 2 for a diamond, 1 otherwise.
double CalibreFactor(int elementType);
// k (D + f c) - f c; zero or less means the ring vanishes.
double CorrectedDiameter(double diameter, double ratio, double calibre, int elementType);
// The ratio at which the ring's corrected diameter reaches zero: f c / (D + f c).
double VanishingRatio(double diameter, double calibre, int elementType);

struct VanishedRing {
    double diameter = 0.0;  // scoring diameter, inches
    QString label;
};

struct CalibreCorrection {
    // Rings whose corrected diameter is zero or less, largest first: they
    // print as the centre dot.
    std::vector<VanishedRing> dots;
    // The outermost scoring ring vanishes too: the correction is refused.
    bool outermostVanishes = false;
    // The smallest ratio k at which the outermost scoring ring remains.
    double minimumRatio = 0.0;
    bool hasScoringRing = false;
    // The outermost scoring ring's scoring diameter in inches, as the rule
    // gives it and as it prints.
    double outermostDiameter = 0.0;
    double outermostPrinted = 0.0;
};

// Fills out with source corrected for a calibre (inches) at ratio k, in the
// source's own units: drawn reduced by k, as every design scaled for distance
// is, each scoring edge prints at k (D + f c) - f c and everything else at k
// times its size. A ring that would print smaller than the centre dot prints
// as the dot, filled with the colour its line (or, without a line, its fill)
// shows, and without its label.
CalibreCorrection CorrectForCalibre(const CTargetDesign& source, double ratio, double calibre, CTargetDesign& out);
