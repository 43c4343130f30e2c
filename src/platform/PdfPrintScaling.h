#pragma once

#include <QString>

// Asks PDF viewers to print a finished PDF at its actual size: appends an
// incremental update whose catalog carries
// /ViewerPreferences << /PrintScaling /None >>, so a viewer's print dialog
// starts without "fit to page", which would shrink a target. The file is
// otherwise untouched. True when the update was written or the catalog
// already asks for it; false when the file is not a PDF with a classic
// cross-reference table (what this program writes) or cannot be written.
bool AddPdfPrintScalingNone(const QString& path);
