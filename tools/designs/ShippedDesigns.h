#pragma once

#include <QString>

// Writes every Ringdesigner target the program ships under targetsFolder
// (the program folder's "Targets"): "My Targets/" and "Standard Targets/"
// with its README.txt. Returns false and says why in error on the first
// file that cannot be written; progress lines go to log when given.
bool WriteShippedDesigns(const QString& targetsFolder, QString* error, QStringList* log = nullptr);
