#include "designer/TargetDesign.h"

#include <QIODevice>

// The design model is not built yet: reading fails, so ".rgd" files report
// the invalid-file message.
CTargetDesign::CTargetDesign() = default;
CTargetDesign::~CTargetDesign() = default;
void CTargetDesign::CopyFrom(const CTargetDesign&) {}
bool CTargetDesign::Equals(const CTargetDesign&) const { return true; }
int CTargetDesign::Read(QIODevice&) { return 0; }
int CTargetDesign::Write(QIODevice&) const { return 0; }
void CTargetDesign::Draw(DeviceContext&, const GdiRect&) {}
double CTargetDesign::OverallDiameter() const { return 0.0; }
