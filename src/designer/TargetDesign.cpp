#include "designer/TargetDesign.h"

#include <algorithm>
#include <cmath>

CTargetDesign::CTargetDesign()
{
    m_grid.SetOutline(0x000000, 0.03);
    m_grid.SetSpacing(1.0);
    m_grid.SetEnabled(false);
}

CTargetDesign::~CTargetDesign() = default;

void CTargetDesign::Clear()
{
    m_drawOrder.clear();
    m_elements.clear();
}

template <class T>
T* CTargetDesign::addElement(double diameter, DesignColor outline, double thickness, bool enabled, bool rebuild)
{
    auto element = std::make_unique<T>();
    T* raw = element.get();
    raw->SetDiameter(diameter);
    raw->SetOutline(outline, thickness);
    raw->SetEnabled(enabled);
    m_elements.push_back(std::move(element));
    if (rebuild) Rebuild();
    return raw;
}

template <class T>
T* CTargetDesign::addRing(double diameter, DesignColor outline, double thickness, bool enabled, DesignColor fill,
                          const QString& label, bool rebuild)
{
    T* ring = addElement<T>(diameter, outline, thickness, enabled, false);
    ring->SetFillColor(fill);
    ring->SetLabel(label);
    if (rebuild) Rebuild();
    return ring;
}

CBullseyeElement* CTargetDesign::AddBullseye(double diameter, DesignColor outline, double thickness, bool enabled,
                                             int style, bool rebuild)
{
    CBullseyeElement* b = addElement<CBullseyeElement>(diameter, outline, thickness, enabled, false);
    b->SetStyle(style);
    if (rebuild) Rebuild();
    return b;
}

CCircleElement* CTargetDesign::AddCircle(double diameter, DesignColor outline, double thickness, bool enabled,
                                         DesignColor fill, const QString& label, bool rebuild)
{
    return addRing<CCircleElement>(diameter, outline, thickness, enabled, fill, label, rebuild);
}

CSquareElement* CTargetDesign::AddSquare(double diameter, DesignColor outline, double thickness, bool enabled,
                                         DesignColor fill, const QString& label, bool rebuild)
{
    return addRing<CSquareElement>(diameter, outline, thickness, enabled, fill, label, rebuild);
}

CDiamondElement* CTargetDesign::AddDiamond(double diameter, DesignColor outline, double thickness, bool enabled,
                                           DesignColor fill, const QString& label, bool rebuild)
{
    return addRing<CDiamondElement>(diameter, outline, thickness, enabled, fill, label, rebuild);
}

void CTargetDesign::SetGrid(DesignColor outline, double thickness, bool enabled, double spacing)
{
    m_grid.SetOutline(outline, thickness);
    m_grid.SetSpacing(spacing);
    m_grid.SetEnabled(enabled);
}

void CTargetDesign::SetLabelFontSize(int size) { m_labelFontSize = std::clamp(size, 0, 0xFFFF); }

CDesignElement* CTargetDesign::GetElement(int index) const
{
    if (index < 0 || index >= GetElementCount()) return nullptr;
    return m_elements[size_t(index)].get();
}

CDesignElement* CTargetDesign::GetFirstEnabledElement() const
{
    for (CDesignElement* e : m_drawOrder)
        if (e->IsEnabled()) return e;
    return nullptr;
}

CDesignElement* CTargetDesign::GetNextEnabledElement(const CDesignElement* element) const
{
    auto it = std::find(m_drawOrder.begin(), m_drawOrder.end(), element);
    if (it == m_drawOrder.end()) return nullptr;
    for (++it; it != m_drawOrder.end(); ++it)
        if ((*it)->IsEnabled()) return *it;
    return nullptr;
}

CDesignElement* CTargetDesign::GetLastEnabledElement() const
{
    for (auto it = m_drawOrder.rbegin(); it != m_drawOrder.rend(); ++it)
        if ((*it)->IsEnabled()) return *it;
    return nullptr;
}

double CTargetDesign::OverallDiameter() const
{
    const CDesignElement* first = GetFirstEnabledElement();
    return first ? first->Diameter() : 0.0;
}

void CTargetDesign::Rebuild()
{
    DesignRect bounds;
    for (const auto& e : m_elements) {
        if (!e->IsEnabled()) continue;
        const DesignRect& b = e->Bounds();
        if (bounds.isZero()) {
            bounds = b;
        } else {
            bounds.left = std::min(bounds.left, b.left);
            bounds.top = std::min(bounds.top, b.top);
            bounds.right = std::max(bounds.right, b.right);
            bounds.bottom = std::max(bounds.bottom, b.bottom);
        }
    }
    m_bounds = bounds;
    m_grid.SetBounds(bounds);

    m_drawOrder.clear();
    m_drawOrder.reserve(m_elements.size());
    for (const auto& e : m_elements) m_drawOrder.push_back(e.get());
    // A NaN diameter (possible in a file) sorts last so the order stays a
    // strict weak ordering; equal diameters keep their insertion order.
    auto key = [](const CDesignElement* e) {
        const double d = e->Diameter();
        return std::isnan(d) ? -INFINITY : d;
    };
    std::stable_sort(m_drawOrder.begin(), m_drawOrder.end(),
                     [&](const CDesignElement* a, const CDesignElement* b) { return key(a) > key(b); });

    computeLabelBoxes();
}

void CTargetDesign::computeLabelBoxes()
{
    CDesignElement* smallest = GetLastEnabledElement();
    if (!smallest) return;
    const DesignRect& sb = smallest->Bounds();
    smallest->SetLabelBox(sb.left, sb.top, sb.right, sb.bottom);

    CDesignElement* q = GetFirstEnabledElement();
    if (q == smallest) return;
    const double h = m_labelFontSize * (1.0 / 720.0) * 0.5;
    for (CDesignElement* r = GetNextEnabledElement(q); r; q = r, r = GetNextEnabledElement(q)) {
        const double qLeft = q->Bounds().left;
        const double rLeft = r->Bounds().left;
        double x0 = qLeft;
        if (q->Type() == ELEMENT_DIAMOND) {
            const double g = rLeft - qLeft;
            x0 = qLeft + (g - 0.8 * g);
        } else if (q->Type() == ELEMENT_CIRCLE) {
            const double d = q->Diameter();
            x0 = qLeft - (d - std::sqrt(d * d + h * h));
        }
        q->SetLabelBox(x0, h, rLeft, -h);
    }
}

void CTargetDesign::CopyFrom(const CTargetDesign& other)
{
    if (&other == this) return;
    Clear();
    for (const auto& e : other.m_elements) {
        const double d = e->Bounds().right - e->Bounds().left;
        switch (e->Type()) {
        case ELEMENT_BULLSEYE:
            AddBullseye(d, e->OutlineColor(), e->Thickness(), e->IsEnabled(),
                        static_cast<const CBullseyeElement&>(*e).Style(), false);
            break;
        case ELEMENT_CIRCLE:
            AddCircle(d, e->OutlineColor(), e->Thickness(), e->IsEnabled(), e->FillColor(), e->Label(), false);
            break;
        case ELEMENT_SQUARE:
            AddSquare(d, e->OutlineColor(), e->Thickness(), e->IsEnabled(), e->FillColor(), e->Label(), false);
            break;
        case ELEMENT_DIAMOND:
            AddDiamond(d, e->OutlineColor(), e->Thickness(), e->IsEnabled(), e->FillColor(), e->Label(), false);
            break;
        default:
            break;
        }
    }
    const CGridElement& g = other.m_grid;
    SetGrid(g.OutlineColor(), g.Thickness(), g.IsEnabled(), g.Spacing());
    m_labelFontSize = other.m_labelFontSize;
    Rebuild();
}

bool CTargetDesign::Equals(const CTargetDesign& other) const
{
    if (m_elements.size() != other.m_elements.size()) return false;
    for (size_t i = 0; i < m_elements.size(); ++i) {
        const CDesignElement& a = *m_elements[i];
        const CDesignElement& b = *other.m_elements[i];
        if (a.Type() != b.Type() || a.Diameter() != b.Diameter() || a.OutlineColor() != b.OutlineColor()
            || a.Thickness() != b.Thickness() || a.IsEnabled() != b.IsEnabled())
            return false;
        if (a.Type() == ELEMENT_BULLSEYE) {
            if (static_cast<const CBullseyeElement&>(a).Style() != static_cast<const CBullseyeElement&>(b).Style())
                return false;
        } else if (a.FillColor() != b.FillColor() || a.Label() != b.Label()) {
            return false;
        }
    }
    const CGridElement& g = m_grid;
    const CGridElement& h = other.m_grid;
    return g.OutlineColor() == h.OutlineColor() && g.Thickness() == h.Thickness() && g.IsEnabled() == h.IsEnabled()
           && g.Spacing() == h.Spacing() && m_labelFontSize == other.m_labelFontSize;
}

void CTargetDesign::LoadDefault()
{
    Clear();
    AddBullseye(0.5, 0xFFFFFF, 0.04, true, BULLSEYE_CROSS, false);
    AddCircle(1.0, 0x000000, 0.03, true, 0x0000FF, QString(), false);
    struct Ring { double diameter; bool enabled; DesignColor fill; const char* label; };
    static const Ring rings[] = {
        {2.0, true, 0xA9A9AA, "9"},  {3.0, true, 0xA9A9AA, "8"},  {4.0, true, 0xA9A9AA, "7"},
        {5.0, true, 0xFFFFFF, "6"},  {6.0, true, 0xFFFFFF, "5"},  {7.0, true, 0xFFFFFF, "4"},
        {8.0, false, 0xFFFFFF, "3"}, {9.0, false, 0xFFFFFF, "2"}, {10.0, false, 0xFFFFFF, "1"},
        {11.0, false, 0xFFFFFF, "0"},
    };
    for (const Ring& r : rings)
        AddCircle(r.diameter, 0x000000, 0.03, r.enabled, r.fill, QString::fromLatin1(r.label), false);
    SetGrid(0x606060, 0.005, false, 1.0);
    m_labelFontSize = 140;
    Rebuild();
}
