#pragma once

#include "view/DistanceScale.h"
#include "view/TileLayout.h"

#include <QString>

// The command-line forms of "Scale Target for Distance" and "Tile Target to
// Page" for printing without a window:
//   --distance SHOOTER:TARGET, each a number with its unit yd, ft or m
//       (25yd:100yd, 25yd:50m);
//   --calibre C with --distance, a diameter with its unit mm or in (5.6mm,
//       0.224in): a ring design's rings are corrected for it;
//   --tile ROWSxCOLS or ROWSxCOLS@ROWGAP,COLGAP with the gaps in inches
//       (3x2, 3x2@0.5,0.25).
// Every function returns the message for the user, empty when all is well.
// The checks are those of the dialogs, with the dialogs' messages where the
// dialogs have one.

struct DistanceOption {
    double shooterDistance = 0.0;
    int shooterUnits = IDC_SHOOTER_YARDS;
    double targetDistance = 0.0;
    int targetUnits = IDC_TARGET_YARDS;
};

QString ParseDistanceOption(const QString& value, DistanceOption* option);

QString ParseCalibreOption(const QString& value, Calibre* calibre);

// The dialog's checks for a target of the given height (hundredths of a
// millimetre), with the ring design to correct for the calibre (null for a
// picture: a calibre is then refused); on success the scale s / t.
QString CheckDistanceOption(const DistanceOption& option, double targetHeight, double* scale,
                            const Calibre& calibre = Calibre(), const CTargetDesign* design = nullptr);

// The caption suffixes of the option's units, as the view keeps them.
QString ShooterSuffix(const DistanceOption& option);
QString TargetSuffix(const DistanceOption& option);

struct TileOption {
    int rows = 0;
    int cols = 0;
    bool hasSpacing = false;
    double rowSpacing = 0.0;  // inches
    double colSpacing = 0.0;
};

QString ParseTileOption(const QString& value, TileOption* option);

// Checks the grid against a target of w by h as laid out (scaled for distance
// when that applies) on a printable area of PW by PH, all in hundredths of a
// millimetre; on success the grid as the view keeps it.
QString CheckTileOption(const TileOption& option, int w, int h, int PW, int PH, TileGrid* grid);
