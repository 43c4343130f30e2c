#include "view/TileLayoutCommand.h"

#include "platform/MessageBox.h"
#include "view/TargetViewState.h"
#include "view/TileLayout.h"
#include "view/TileSpacingDlg.h"

namespace {

void takeGrid(TargetViewState& view, const TileGrid& chosen)
{
    TileGrid grid{view.m_nTileRows, view.m_nTileCols, view.m_nRowSpacing, view.m_nColSpacing};
    if (TakeTileValues(chosen, grid))
        view.m_modes.SetGrid(true);
    view.m_nTileRows = grid.rows;
    view.m_nTileCols = grid.cols;
    view.m_nRowSpacing = grid.rowSpacing;
    view.m_nColSpacing = grid.colSpacing;
}

}  // namespace

void RunTileTargetToPage(TargetViewState& view, QWidget* parent, const TileDialogRunner& run)
{
    if (view.m_modes.Tile() == TILE_TARGET_TO_PAGE) {
        view.m_modes.SetGrid(false);
    } else {
        const QSize size = view.GetLayoutSize();
        const int w = size.width(), h = size.height();
        const int PW = view.m_sizePrintable.width(), PH = view.m_sizePrintable.height();
        if (TileDialogApplies(w, h, PW, PH)) {
            CTileSpacingDlg dlg(parent);
            dlg.SetLimits(w, h, PW, PH);
            dlg.SetValues(view.m_nTileRows, view.m_nTileCols, view.m_nRowSpacing, view.m_nColSpacing);
            if (!view.m_bAskTileSpacing || (run ? run(dlg) : dlg.DoModal()) == IDOK) {
                TileGrid chosen;
                dlg.GetValues(chosen.rows, chosen.cols, chosen.rowSpacing, chosen.colSpacing);
                takeGrid(view, chosen);
            }
        }
        view.m_bAskTileSpacing = true;
    }
    view.m_modes.RememberTile();
}

void ApplyTileGrid(TargetViewState& view, const TileGrid& chosen)
{
    takeGrid(view, chosen);
    view.m_bAskTileSpacing = true;
    view.m_modes.RememberTile();
}

void RecomputeTileSilently(TargetViewState& view)
{
    view.m_modes.SetGrid(false);
    view.m_bAskTileSpacing = false;
    RunTileTargetToPage(view);
}

bool TileTargetToPageEnabled(const TargetViewState& view)
{
    return view.CanTileTarget() && view.m_modes.Scale() != SCALE_TO_PAGE;
}

bool TileTargetToPageChecked(const TargetViewState& view)
{
    return view.m_modes.Tile() == TILE_TARGET_TO_PAGE;
}
