#include "view/DistanceScaleCommand.h"

#include "document/TargetImage.h"
#include "platform/MessageBox.h"
#include "view/ScaleForDistanceDlg.h"
#include "view/TargetViewState.h"
#include "view/TileLayoutCommand.h"

bool RunScaleForDistance(TargetViewState& view, QWidget* parent, const DistanceDialogRunner& run)
{
    if (view.m_modes.Scale() == SCALE_FOR_DISTANCE) {
        view.m_modes.EndDistanceScale();
        // The grid was chosen for the smaller target: fit it to the full size.
        if (view.m_modes.Tile() == TILE_TARGET_TO_PAGE)
            RecomputeTileSilently(view);
        return true;
    }

    const QSize size = view.HasPicture() ? view.TargetSizeHimetric() : QSize(0, 0);
    CScaleForDistanceDlg dlg(parent);
    dlg.m_dTargetHeight = size.height();
    // Only a ring design's rings are known; every other kind scales
    // proportionally.
    if (view.TargetKind() == TARGET_KIND_DESIGNER && view.Target())
        dlg.m_pDesign = view.Target()->designer();
    if ((run ? run(dlg) : dlg.DoModal()) != IDOK)
        return false;

    QString shooterUnit;
    QString targetUnit;
    dlg.GetShooterUnitSuffix(shooterUnit);
    dlg.GetTargetUnitSuffix(targetUnit);
    ApplyDistanceScale(view, dlg.m_dScale, dlg.m_dShooterDistance, dlg.m_dTargetDistance, shooterUnit, targetUnit,
                       dlg.m_pDesign ? dlg.m_calibre : Calibre());
    return true;
}

void ApplyDistanceScale(TargetViewState& view, double scale, double shooterDistance, double targetDistance,
                        const QString& shooterUnit, const QString& targetUnit, const Calibre& calibre)
{
    view.m_modes.StartDistanceScale();
    view.m_dDistanceScale = scale;
    view.m_dTargetDistance = targetDistance;
    view.m_dShooterDistance = shooterDistance;
    view.m_strShooterUnit = shooterUnit;
    view.m_strTargetUnit = targetUnit;
    view.m_calibre = calibre;

    // The modes the smaller target no longer allows.
    bool exceeds = false;
    view.ExceedsPrintable(&exceeds);
    if (!exceeds)
        view.m_modes.DropPoster();
    if (!view.CanTileTarget())
        view.m_modes.DropGrid();
}

bool ScaleForDistanceEnabled(const TargetViewState& view)
{
    return ScaleForDistanceChecked(view) || (view.HasPicture() && view.TargetSizeHimetric().height() > 0);
}

bool ScaleForDistanceChecked(const TargetViewState& view)
{
    return view.m_modes.Scale() == SCALE_FOR_DISTANCE;
}
