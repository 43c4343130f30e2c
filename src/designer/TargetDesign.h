#pragma once

#include "platform/DeviceContext.h"
#include "platform/GdiRect.h"

class QIODevice;

// A Ringdesigner design.
class CTargetDesign {
public:
    CTargetDesign();
    ~CTargetDesign();

    void CopyFrom(const CTargetDesign& other);
    bool Equals(const CTargetDesign& other) const;
    int Read(QIODevice& file);
    int Write(QIODevice& file) const;
    void Draw(DeviceContext& dc, const GdiRect& target);
    // Diameter in inches of the largest enabled element; 0 when none is.
    double OverallDiameter() const;
};
