#pragma once

#include <functional>

class CTileSpacingDlg;
class QWidget;
class TargetViewState;
struct TileGrid;

// "Tile Target to Page" (32926) on a target view's state. The view calls the
// command and then refreshes (scroll to the origin, lay out, redraw).

// Runs the dialog; by default DoModal. Tests and headless callers pass their
// own runner, which returns IDOK or IDCANCEL.
using TileDialogRunner = std::function<int(CTileSpacingDlg&)>;

// The command: toggles the grid off when it is shown; otherwise asks for
// rows, columns and gaps (or, with m_bAskTileSpacing false, takes the
// proposal silently) and enters the grid mode when more than one copy is
// chosen. m_bAskTileSpacing is TRUE again afterwards.
void RunTileTargetToPage(TargetViewState& view, QWidget* parent = nullptr, const TileDialogRunner& run = {});

// What OK in the dialog does with a grid already checked against the limits
// (rows, columns, gaps in hundredths of a millimetre): the gaps are taken,
// and a grid of more than one copy enters the grid mode.
void ApplyTileGrid(TargetViewState& view, const TileGrid& chosen);

// The silent recompute after a change of target, scale or printer: the
// stored grid is clamped to what fits now, without a dialog.
void RecomputeTileSilently(TargetViewState& view);

bool TileTargetToPageEnabled(const TargetViewState& view);
bool TileTargetToPageChecked(const TargetViewState& view);
