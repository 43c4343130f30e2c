#pragma once

#include "view/DistanceScale.h"

// The keys of section "ScaleForDistance": read when the dialog starts, written
// after a successful OK.

// Replaces the fields of settings with the valid stored values; the rest keep
// what they had.
void ReadDistanceSettings(DistanceSettings& settings);
// "ShooterUnits", "ShooterDistance", "TargetUnits", "TargetDistance", in this
// order, the distances as entered in their own units; then "Calibre"
// ("5.6mm", "0.224in" or "none").
void WriteDistanceSettings(const DistanceSettings& settings);
