#pragma once

#include <functional>

#include "view/DistanceScale.h"

class CScaleForDistanceDlg;
class QString;
class QWidget;
class TargetViewState;

// "Scale Target for Distance" (32922) on a target view's state.

// Runs the dialog; by default DoModal. Returns IDOK or IDCANCEL.
using DistanceDialogRunner = std::function<int(CScaleForDistanceDlg&)>;

// The command. Switches the distance scaling off when it is on (restoring
// the tile mode saved when it was switched on, with a silent recompute of a
// grid of copies); otherwise asks for the distances and switches it on.
// Returns whether the view must refresh (false only after Cancel).
bool RunScaleForDistance(TargetViewState& view, QWidget* parent = nullptr, const DistanceDialogRunner& run = {});

// Switches the scaling on with the given scale and distances (the caption
// unit suffixes as the dialog gives them), as OK in the dialog does: the tile
// mode before the scaling is saved, and the modes the smaller target no
// longer allows are dropped. A calibre corrects a ring design's rings (the
// caller has checked that the outermost one remains).
void ApplyDistanceScale(TargetViewState& view, double scale, double shooterDistance, double targetDistance,
                        const QString& shooterUnit, const QString& targetUnit, const Calibre& calibre = Calibre());

// The update state: always enabled, checked while the scaling is on.
bool ScaleForDistanceChecked(const TargetViewState& view);
// Enabled for a target with a height to scale, and while the mode is on
// (choosing it again switches it off).
bool ScaleForDistanceEnabled(const TargetViewState& view);
