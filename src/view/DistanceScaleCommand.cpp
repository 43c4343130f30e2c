#include "view/DistanceScaleCommand.h"

#include "platform/MessageBox.h"
#include "view/ScaleForDistanceDlg.h"
#include "view/TargetViewState.h"
#include "view/TileLayoutCommand.h"

bool RunScaleForDistance(TargetViewState& view, QWidget* parent, const DistanceDialogRunner& run)
{
    if (view.m_nScaleMode == SCALE_FOR_DISTANCE) {
        view.m_nScaleMode = SCALE_ACTUAL;
        view.m_nTileMode = view.m_nSavedTileMode;
        // The grid was chosen for the smaller target: fit it to the full size.
        if (view.m_nTileMode == TILE_TARGET_TO_PAGE)
            RecomputeTileSilently(view);
        return true;
    }

    const QSize size = view.HasPicture() ? view.TargetSizeHimetric() : QSize(0, 0);
    CScaleForDistanceDlg dlg(parent);
    dlg.m_dTargetHeight = size.height();
    if ((run ? run(dlg) : dlg.DoModal()) != IDOK)
        return false;

    view.m_nSavedTileMode = view.m_nTileMode;
    view.m_dDistanceScale = dlg.m_dScale;
    view.m_dTargetDistance = dlg.m_dTargetDistance;
    view.m_dShooterDistance = dlg.m_dShooterDistance;
    view.m_nScaleMode = SCALE_FOR_DISTANCE;
    dlg.GetShooterUnitSuffix(view.m_strShooterUnit);
    dlg.GetTargetUnitSuffix(view.m_strTargetUnit);

    // The modes the smaller target no longer allows.
    bool exceeds = false;
    view.ExceedsPrintable(&exceeds);
    if (!exceeds && view.m_nTileMode == TILE_PAGES_TO_TARGET)
        view.m_nTileMode = TILE_NONE;
    if (!view.CanTileTarget() && view.m_nTileMode == TILE_TARGET_TO_PAGE)
        view.m_nTileMode = TILE_NONE;
    return true;
}

bool ScaleForDistanceChecked(const TargetViewState& view)
{
    return view.m_nScaleMode == SCALE_FOR_DISTANCE;
}
