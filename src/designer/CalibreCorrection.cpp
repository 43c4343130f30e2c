#include "designer/CalibreCorrection.h"

#include <algorithm>
#include <cmath>

#include "designer/TargetDesign.h"

bool IsScoringRing(const CDesignElement& element)
{
    const int type = element.Type();
    return element.IsEnabled() && (type == ELEMENT_CIRCLE || type == ELEMENT_SQUARE || type == ELEMENT_DIAMOND);
}

double ScoringDiameter(const CDesignElement& ring)
{
    return ring.Diameter() + ring.Thickness();
}

double CalibreFactor(int elementType)
{
    return elementType == ELEMENT_DIAMOND ? std::sqrt(2.0) : 1.0;
}

double CorrectedDiameter(double diameter, double ratio, double calibre, int elementType)
{
    const double fc = CalibreFactor(elementType) * calibre;
    return ratio * (diameter + fc) - fc;
}

double VanishingRatio(double diameter, double calibre, int elementType)
{
    const double fc = CalibreFactor(elementType) * calibre;
    return fc / (diameter + fc);
}

CalibreCorrection CorrectForCalibre(const CTargetDesign& source, double ratio, double calibre, CTargetDesign& out)
{
    CalibreCorrection result;
    out.Clear();
    const CDesignElement* outermost = nullptr;
    for (int i = 0; i < source.GetElementCount(); ++i) {
        const CDesignElement& e = *source.GetElement(i);
        if (e.Type() == ELEMENT_BULLSEYE) {
            const auto& mark = static_cast<const CBullseyeElement&>(e);
            out.AddBullseye(e.Diameter(), e.OutlineColor(), e.Thickness(), e.IsEnabled(), mark.Style(), false);
            continue;
        }
        double diameter = e.Diameter();
        double thickness = e.Thickness();
        DesignColor outline = e.OutlineColor();
        DesignColor fill = e.FillColor();
        QString label = e.Label();
        if (IsScoringRing(e) && ratio > 0.0) {
            const double edge = ScoringDiameter(e);
            if (!outermost || edge > ScoringDiameter(*outermost)) outermost = &e;
            const double printed = CorrectedDiameter(edge, ratio, calibre, e.Type());
            if (printed <= 0.0) result.dots.push_back({edge, label});
            if (printed < CENTRE_DOT_INCHES) {
                // The dot in the colour that shows: the line's, or without a
                // line the fill's.
                const DesignColor dot = thickness > 0.0 ? outline : fill;
                diameter = CENTRE_DOT_INCHES / ratio;
                thickness = 0.0;
                outline = fill = dot;
                label.clear();
            } else {
                // Drawn reduced by k: the edge at printed / k, the line inside.
                const double edgeUnits = printed / ratio;
                diameter = edgeUnits - thickness;
                if (diameter < edgeUnits / 2) {
                    // A line wider than the ring's radius fills it.
                    diameter = edgeUnits / 2;
                    thickness = edgeUnits / 2;
                }
            }
        }
        switch (e.Type()) {
        case ELEMENT_SQUARE: out.AddSquare(diameter, outline, thickness, e.IsEnabled(), fill, label, false); break;
        case ELEMENT_DIAMOND: out.AddDiamond(diameter, outline, thickness, e.IsEnabled(), fill, label, false); break;
        default: out.AddCircle(diameter, outline, thickness, e.IsEnabled(), fill, label, false); break;
        }
    }
    const CGridElement& grid = source.Grid();
    out.SetGrid(grid.OutlineColor(), grid.Thickness(), grid.IsEnabled(), grid.Spacing());
    out.SetLabelFontSize(source.GetLabelFontSize());
    out.Rebuild();

    std::sort(result.dots.begin(), result.dots.end(),
              [](const VanishedRing& a, const VanishedRing& b) { return a.diameter > b.diameter; });
    if (outermost) {
        result.hasScoringRing = true;
        const double edge = ScoringDiameter(*outermost);
        result.minimumRatio = VanishingRatio(edge, calibre, outermost->Type());
        result.outermostDiameter = edge;
        result.outermostPrinted = CorrectedDiameter(edge, ratio, calibre, outermost->Type());
        result.outermostVanishes = CorrectedDiameter(edge, ratio, calibre, outermost->Type()) <= 0.0;
    }
    return result;
}
