#pragma once

#include <QString>

class TargetViewState;

// The status bar's pane for the active target window: the target's size in
// millimetres and inches and what the window will print, such as
// "254.0 x 304.8 mm (10.00 x 12.00 in), 20 sheets" or
// "431.8 x 558.8 mm (17.00 x 22.00 in), SCALED TO FIT 45 %, 1 sheet".
// Empty without a target.
QString TargetStatusText(const TargetViewState& view);
