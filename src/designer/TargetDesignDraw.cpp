#include "designer/TargetDesign.h"

#include <QPainter>

#include "designer/DesignGeometry.h"

void CTargetDesign::Draw(DeviceContext& dc, const GdiRect& target)
{
    if (!dc.painter()) return;
    const int ppi = dc.dpiX();
    const GdiRect extent(TruncToInt(ppi * m_bounds.left), TruncToInt(ppi * m_bounds.top),
                         TruncToInt(ppi * m_bounds.right), TruncToInt(ppi * m_bounds.bottom));
    // No enabled element, or one too small for a device unit: nothing to fit.
    if (extent.right <= extent.left || extent.bottom <= extent.top) return;

    dc.save();
    QPainter* painter = dc.painter();
    // Our integer coordinates name pixels as GDI's do; Qt's pixel centres lie
    // half a unit further, so odd-width lines stay on whole pixels.
    painter->translate(0.5, 0.5);

    double scale = 1.0;
    const GdiRect rect = FitRect(extent, target, &scale);
    const bool gridOn = m_grid.IsEnabled();
    const int fontSize = m_labelFontSize;
    for (CDesignElement* e : m_drawOrder)
        if (e->IsEnabled()) e->Draw(dc, rect, scale, ppi, fontSize, !gridOn, false);

    if (gridOn) {
        m_grid.Draw(dc, rect, scale, ppi, fontSize, false, true);
        for (CDesignElement* e : m_drawOrder)
            if (e->IsEnabled()) e->DrawLabel(dc, scale, ppi, fontSize, true);
        CDesignElement* smallest = GetLastEnabledElement();
        if (smallest && smallest->Type() == ELEMENT_BULLSEYE) smallest->Draw(dc, rect, scale, ppi, fontSize, false, false);
    }
    dc.restore();
}
