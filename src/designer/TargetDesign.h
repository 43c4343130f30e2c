#pragma once

#include <QString>

#include <memory>
#include <vector>

#include "designer/DesignElements.h"
#include "designer/DesignTypes.h"
#include "platform/DeviceContext.h"
#include "platform/GdiRect.h"

class QIODevice;

// The 40 bytes every designer file (".rgd") begins with, no terminator.
inline constexpr char RGD_MAGIC[] = "Qel Technologies, Inc. Ringdesigner File";
inline constexpr int RGD_MAGIC_SIZE = 40;

// A Ringdesigner design: a bull's-eye, rings and a grid, concentric about the
// origin, in inches. Elements are kept in insertion order (the order of the
// dialog's rows and of the file) and, after Rebuild, in drawing order,
// largest first.
class CTargetDesign {
public:
    static constexpr int DEFAULT_LABEL_FONT_SIZE = 240;  // tenths of a point

    CTargetDesign();
    ~CTargetDesign();
    CTargetDesign(const CTargetDesign&) = delete;
    CTargetDesign& operator=(const CTargetDesign&) = delete;

    // Deletes every element; grid, bounds and font size stay.
    void Clear();
    CBullseyeElement* AddBullseye(double diameter, DesignColor outline, double thickness, bool enabled, int style,
                                  bool rebuild);
    CCircleElement* AddCircle(double diameter, DesignColor outline, double thickness, bool enabled, DesignColor fill,
                              const QString& label, bool rebuild);
    CSquareElement* AddSquare(double diameter, DesignColor outline, double thickness, bool enabled, DesignColor fill,
                              const QString& label, bool rebuild);
    CDiamondElement* AddDiamond(double diameter, DesignColor outline, double thickness, bool enabled,
                                DesignColor fill, const QString& label, bool rebuild);
    // Does not rebuild.
    void SetGrid(DesignColor outline, double thickness, bool enabled, double spacing);

    int GetLabelFontSize() const { return m_labelFontSize; }
    // Tenths of a point; kept within what the file can hold (0..65535).
    void SetLabelFontSize(int size);

    // Recomputes the bounds, the drawing order and the label boxes.
    void Rebuild();
    void CopyFrom(const CTargetDesign& other);
    bool Equals(const CTargetDesign& other) const;
    // The design "New Ringdesigner" starts from.
    void LoadDefault();

    int GetElementCount() const { return int(m_elements.size()); }
    CDesignElement* GetElement(int index) const;
    // Walks of the enabled elements in drawing order.
    CDesignElement* GetFirstEnabledElement() const;
    CDesignElement* GetNextEnabledElement(const CDesignElement* element) const;
    CDesignElement* GetLastEnabledElement() const;
    const std::vector<CDesignElement*>& DrawingOrder() const { return m_drawOrder; }

    const CGridElement& Grid() const { return m_grid; }
    CGridElement& Grid() { return m_grid; }
    const DesignRect& Bounds() const { return m_bounds; }

    // Draws the design fitted into target, centred, keeping its proportions.
    void Draw(DeviceContext& dc, const GdiRect& target);

    // 1 on success, 0 when the device failed or the design cannot be stored.
    int Write(QIODevice& file) const;
    // Nonzero on success.
    int Read(QIODevice& file);

    // Diameter in inches of the largest enabled element; 0 when none is.
    double OverallDiameter() const;

private:
    template <class T>
    T* addElement(double diameter, DesignColor outline, double thickness, bool enabled, bool rebuild);
    template <class T>
    T* addRing(double diameter, DesignColor outline, double thickness, bool enabled, DesignColor fill,
               const QString& label, bool rebuild);
    void computeLabelBoxes();

    quint8 m_marker = 1;
    std::vector<std::unique_ptr<CDesignElement>> m_elements;
    std::vector<CDesignElement*> m_drawOrder;
    CGridElement m_grid;
    DesignRect m_bounds;
    int m_labelFontSize = DEFAULT_LABEL_FONT_SIZE;
};
