#pragma once

#include <QFont>
#include <QPoint>
#include <QString>

#include "designer/DesignTypes.h"
#include "platform/DeviceContext.h"
#include "platform/GdiRect.h"

class DesignReader;
class DesignWriter;

// One element of a design: a bull's-eye, a ring (circle, square, diamond) or
// the grid. Lengths are inches about the design's centre.
class CDesignElement {
public:
    static constexpr int LABEL_SIZE = 5;  // at most 4 characters and a zero

    virtual ~CDesignElement();
    CDesignElement(const CDesignElement&) = delete;
    CDesignElement& operator=(const CDesignElement&) = delete;

    // Draws the element centred in rect, the fitted rectangle of the design.
    virtual void Draw(DeviceContext& dc, const GdiRect& rect, double scale, int ppi, int labelFontSize,
                      bool drawLabel, bool raiseLabel) = 0;
    // Draws the label in its box, shifted by the offset of the last Draw.
    virtual void DrawLabel(DeviceContext& dc, double scale, int ppi, int labelFontSize, bool raiseLabel);
    virtual void SetBounds(const DesignRect& bounds);
    virtual void SetBounds(double left, double top, double right, double bottom);
    virtual void SetOutline(DesignColor color, double thickness);
    virtual void SetFillColor(DesignColor color);
    // The element record: common part, then the type's tail.
    virtual void Write(DesignWriter& out) const;
    virtual bool Read(DesignReader& in);

    void SetDiameter(double diameter);
    double Diameter() const { return m_bounds.right - m_bounds.left; }
    int Type() const { return m_type; }
    bool IsEnabled() const { return m_enabled != 0; }
    void SetEnabled(bool enabled) { m_enabled = enabled ? 1 : 0; }
    const DesignRect& Bounds() const { return m_bounds; }
    DesignColor OutlineColor() const { return m_outlineColor; }
    double Thickness() const { return m_thickness; }
    DesignColor FillColor() const { return m_fillColor; }
    QString Label() const;
    // Copies at most 4 characters (Latin-1) and pads with zeros.
    void SetLabel(const QString& label);
    void SetLabel(const char* label);
    const DesignRect& LabelBox() const { return m_labelBox; }
    // Stores the box with left <= right and top <= bottom.
    void SetLabelBox(double left, double top, double right, double bottom);
    // The font of the last label fit.
    const QFont& LabelFont() const { return m_labelFont; }

    // Black on light fills, white on dark ones, by the fill's luminance.
    static DesignColor LabelTextColor(DesignColor fill);

protected:
    explicit CDesignElement(int type);

    // The element's device rectangle centred in rect; remembers the label
    // offset for DrawLabel.
    GdiRect PlaceShape(const GdiRect& rect, double scale, int ppi);
    // Line width in device units, never under one.
    int LineWidth(double scale, int ppi) const;
    // Picks the largest size (size, size - 1 pt, ..., not under 4 pt) at which
    // the label fits the box's width; kept while size, box and device agree.
    void FitLabelFont(DeviceContext& dc, int size, const GdiRect& box);

    quint8 m_extMarker = 1;

private:
    int m_type;
    DesignRect m_bounds;
    int m_enabled = 0;
    DesignColor m_outlineColor = 0x000000;
    double m_thickness = 0.0625;
    DesignColor m_fillColor = 0xFFFFFF;
    char m_label[LABEL_SIZE] = {};
    quint8 m_baseMarker = 1;
    DesignRect m_labelBox;
    QPoint m_labelOffset;

    QFont m_labelFont;
    int m_labelRaise = 0;  // (ascent - internal leading) / 2 of the font
    bool m_hasLabelFont = false;
    int m_fitSize = 0;
    GdiRect m_fitBox;
    int m_fitDpi = 0;
};
