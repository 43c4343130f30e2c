#pragma once

#include <QString>

// Where the program finds its help page and shipped targets, and where new
// designs go.
//
// The program folder is the working directory when that holds the help page
// "Vantric.htm" (the data folder of a build, where scripts/run starts the
// program). Otherwise it is the installed data folder beside the executable,
// ../share/vantric, when that holds the help page; failing both, the working
// directory as before. Both folders are returned with a trailing '/'.
struct ProgramFolder {
    QString folder;
    bool installed = false;  // it is the data folder beside the executable
};
ProgramFolder FindProgramFolder(const QString& workingDirectory, const QString& executableDirectory);

// The folder the save dialog starts in: the program folder's
// "Targets/My Targets/", or for an installed program, whose data folder is
// read-only, the user's own "vantric/Targets/" in userDataFolder
// ($XDG_DATA_HOME), created when missing.
QString DefaultSaveFolder(const ProgramFolder& program, const QString& userDataFolder);
