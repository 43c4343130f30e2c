#include "view/TargetStatus.h"

#include "platform/Units.h"
#include "view/TargetViewState.h"

namespace {

QString sheets(int count)
{
    return count == 1 ? QStringLiteral("1 sheet") : QStringLiteral("%1 sheets").arg(count);
}

// Whole per cent, cut as the captions cut them.
long percent(double factor) { return static_cast<long>(factor * 100.0); }

}  // namespace

QString TargetStatusText(const TargetViewState& view)
{
    if (!view.HasPicture()) return QString();
    const QSize size = view.TargetSizeHimetric();
    QString text = QStringLiteral("%1 x %2 mm (%3 x %4 in)")
                       .arg(size.width() / 100.0, 0, 'f', 1)
                       .arg(size.height() / 100.0, 0, 'f', 1)
                       .arg(Units::HimetricToInches(size.width()), 0, 'f', 2)
                       .arg(Units::HimetricToInches(size.height()), 0, 'f', 2);
    const TargetLayout& layout = view.m_layoutScreen;
    switch (view.m_modes.Scale()) {
    case SCALE_TO_PAGE: text += QStringLiteral(", SCALED TO FIT %1 %").arg(percent(layout.m_dFitScale)); break;
    case SCALE_FOR_DISTANCE:
        text += QStringLiteral(", SCALED FOR DISTANCE %1 %").arg(percent(view.m_dDistanceScale));
        break;
    default: break;
    }
    if (view.m_modes.Tile() == TILE_TARGET_TO_PAGE)
        text += QStringLiteral(", %1 x %2 copies").arg(layout.m_nTargetRows).arg(layout.m_nTargetCols);
    return text + QStringLiteral(", ") + sheets(layout.PageCount());
}
