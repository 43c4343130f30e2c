#pragma once

#include <QBrush>
#include <QPainterPath>
#include <QPen>

#include "designer/DesignElement.h"

// The aiming mark at the centre: two lines across its diameter. Draws no fill
// and no label.
class CBullseyeElement : public CDesignElement {
public:
    CBullseyeElement();

    int Style() const { return m_style; }
    void SetStyle(int style) { m_style = style; }

    void Draw(DeviceContext& dc, const GdiRect& rect, double scale, int ppi, int labelFontSize, bool drawLabel,
              bool raiseLabel) override;
    void Write(DesignWriter& out) const override;
    bool Read(DesignReader& in) override;

private:
    // A bull's-eye whose record carries no style is drawn as an upright cross,
    // the style of the default design.
    int m_style = BULLSEYE_CROSS;
    // Unit vectors at 3pi/4 and 7pi/4, where the "X" style's lines end.
    double m_cos1, m_sin1, m_cos2, m_sin2;
};

// A ring: an outline filled with a solid colour, labelled in its band.
class CRingElement : public CDesignElement {
public:
    void SetFillColor(DesignColor color) override;
    bool Read(DesignReader& in) override;
    void Draw(DeviceContext& dc, const GdiRect& rect, double scale, int ppi, int labelFontSize, bool drawLabel,
              bool raiseLabel) override;

protected:
    explicit CRingElement(int type);
    virtual QPen MakePen(int width) const;
    virtual QPainterPath MakePath(const GdiRect& p) const = 0;

private:
    QBrush m_fillBrush;
};

class CCircleElement : public CRingElement {
public:
    CCircleElement() : CRingElement(ELEMENT_CIRCLE) {}
    // The 13 points of the four Bezier arcs inscribed in p.
    static QPainterPath CirclePath(const GdiRect& p);

protected:
    QPen MakePen(int width) const override;
    QPainterPath MakePath(const GdiRect& p) const override { return CirclePath(p); }
};

class CSquareElement : public CRingElement {
public:
    CSquareElement() : CRingElement(ELEMENT_SQUARE) {}

protected:
    QPainterPath MakePath(const GdiRect& p) const override;
};

class CDiamondElement : public CRingElement {
public:
    CDiamondElement() : CRingElement(ELEMENT_DIAMOND) {}

protected:
    QPainterPath MakePath(const GdiRect& p) const override;
};

// A square lattice of lines through the centre, over the design's bounds.
class CGridElement : public CDesignElement {
public:
    static constexpr int MAX_STEPS = 99;  // per direction

    CGridElement() : CDesignElement(ELEMENT_GRID) {}

    double Spacing() const { return m_spacing; }
    void SetSpacing(double spacing) { m_spacing = spacing; }

    void Draw(DeviceContext& dc, const GdiRect& rect, double scale, int ppi, int labelFontSize, bool drawLabel,
              bool raiseLabel) override;
    void Write(DesignWriter& out) const override;
    bool Read(DesignReader& in) override;

    // The lattice lines for the element rectangle p at spacing g (scaled
    // inches): vertical lines first, then horizontal ones.
    static QPainterPath GridPath(const GdiRect& p, double g, int ppi);

private:
    double m_spacing = 1.0;
};
