#pragma once

#include <QStringList>

// Printing from the command line, without a window:
//   vantric -p FILE                      print FILE on the application's printer
//   vantric --print-to-pdf OUT.pdf FILE  print FILE into a PDF
//     --poster          toggle Tile Pages to Target (after the automatic poster)
//     --scale-to-page   toggle Scale Target to Page
//     --paper letter|a4 sheet of the PDF (default letter; 0.25 in margins)
//     --dpi N           resolution of the PDF (default 600)
//     --page N          the page of a PDF target (default 1)
// Every message goes to standard error; a failure gives a non-zero status.

// Whether the arguments ask for command-line printing. Called by main()
// before the application object exists: when they do and there is no
// display, it selects Qt's offscreen platform (unless the environment
// already chose one), so printing works on a machine without a display.
bool WantsCommandLinePrint(int argc, char** argv);

// Selects Qt's offscreen platform when there is no display and the
// environment chose no platform: printing needs no screen.
void UseOffscreenWithoutDisplay();

// Runs the printing the arguments ask for (arguments()[0] is the program)
// and returns the process exit status. Needs the application object.
int RunCommandLinePrint(const QStringList& arguments);
