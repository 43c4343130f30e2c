#pragma once

#include <QFont>
#include <QString>

#include "platform/DeviceContext.h"
#include "print/TargetLayout.h"

// Arial, or where it is missing its metric twin Liberation Sans: the face of
// every caption, label and scale the program prints or shows over a target.
QFont CaptionFont();
// The same at points for a device of dpi pixels per inch.
QFont CaptionFont(double points, double dpi);

// The maker's line, printed at the top right of every target page and at the
// bottom right of every contact sheet: a club's name or address, read from
// the settings, section "Printing", key "MakerLine". Empty by default, and
// then nothing is printed there.
QString MakerLine();
extern const char* const MAKER_LINE_SECTION;
extern const char* const MAKER_LINE_KEY;

// What the captions of one printed page say.
struct PrintCaptionInfo {
    QString strTitle;       // the document's title
    int nScaleMode = SCALE_ACTUAL;
    int nTileMode = TILE_NONE;
    int nCurPage = 1;
    int nPageCols = 1;
    double dFitScale = 1.0;  // of the print layout
    // Distances as already formatted for captions, with their unit suffixes.
    QString strShooterDistance;
    QString strShooterUnit;
    QString strTargetDistance;
    QString strTargetUnit;
    // ", CALIBRE 5.6 mm" after the distance table when a calibre corrected
    // the rings; empty otherwise.
    QString strCalibre;
    int nPrintableWidth = 0;  // device pixels
};

// Title line of a printout: the document's title followed by " - Vantric".
QString PrintTitleText(const QString& title);
// "SCALED TO FIT PAPER = 50%" for a factor of 0.5.
QString PrintFitCaption(double fitScale);
// The screen's caption in scale-to-page mode, "SCALED TO FIT = 50%".
QString ScreenFitCaption(double fitScale);
// The screen's caption in scaled-for-distance mode.
QString ScreenDistanceCaption(const QString& targetDistance, const QString& targetUnit,
                              const QString& shooterDistance, const QString& shooterUnit);

// Draws the title block, the maker's line and, on a poster, the cut borders
// of every page of the layout (only the current sheet's falls on paper).
// The text is drawn opaque on white over the targets.
void DrawPrintCaptions(DeviceContext& dc, const PrintCaptionInfo& info, const TargetLayout& layout);
