#pragma once

#include <QIcon>

// The program's pictures: the toolbar's buttons by command id, the
// program's icon and the target document's.
QIcon CommandIcon(int id);
QIcon ProgramIcon();
QIcon DocumentIcon();
