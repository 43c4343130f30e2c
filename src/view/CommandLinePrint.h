#pragma once

#include <QStringList>

// Printing from the command line, without a window:
//   vantric -p FILE                      print FILE on the application's printer
//   vantric --print-to-pdf OUT.pdf FILE  print FILE into a PDF
//     --actual-size, --scale-to-page, --distance S:T   the scale it prints at
//     --poster, --tile RxC                             the sheets it prints on
//     --paper letter|a4 sheet of the PDF (default letter; 0.25 in margins)
//     --dpi N           resolution of the PDF (default 600)
//     --page N          the page of a PDF target (default 1)
//     --overlap MM, --sheet-labels, --centre-on-sheet, --skip-empty
//                       the poster's options (-p takes the saved ones)
// The mode options state the end state, whatever the automatic poster chose;
// the options and their texts are those of CommandLineOptionTable().
// Every message goes to standard error; a failure gives status 1, a command
// line the parser rejects status 2.

// Whether the arguments ask for command-line printing. Called by main()
// before the application object exists: when they do and there is no
// display, it selects Qt's offscreen platform (unless the environment
// already chose one), so printing works on a machine without a display.
bool WantsCommandLinePrint(int argc, char** argv);

// Runs the printing the arguments ask for (arguments()[0] is the program)
// and returns the process exit status. Needs the application object.
int RunCommandLinePrint(const QStringList& arguments);
