#pragma once

#include <QList>
#include <QPageSize>
#include <QString>
#include <QStringList>

#include <functional>

// The program's one command-line parser. Every option the program takes is a
// row of its table: the parser accepts only these, and --help lists them, so
// an option added to the table is documented by the same stroke. main() runs
// the parser before any application object exists, so --help, --version and
// a mistyped option are answered without a display.

// What the command line asks for. Each command but the window is selected by
// one option (-p, --print-to-pdf and so on).
enum class CommandLineCommand {
    OpenWindow,        // vantric [FILE]...
    PrintToPrinter,    // vantric -p FILE
    PrintToPdf,        // vantric --print-to-pdf OUT.pdf ... FILE
    CalibrationSheet,  // vantric --calibration-sheet OUT.pdf ...
    ContactSheet,      // vantric --print-contact-sheet OUT.pdf ... FOLDER
    Help,
    Version,
};

// Bit of a command in CommandLineOptionInfo::commands.
constexpr unsigned CommandBit(CommandLineCommand command)
{
    return 1u << unsigned(command);
}

struct CommandLineOptionInfo {
    const char* name;       // "--poster"
    const char* alias;      // another spelling ("/p", "-h"), or null
    const char* valueName;  // "OUT.pdf"; null for an option without a value
    const char* help;       // one line of --help
    unsigned commands;      // the commands that take it (CommandBit)
    CommandLineCommand selects = CommandLineCommand::OpenWindow;  // the command it selects, if any
};

// The table, in the order --help lists it.
const QList<CommandLineOptionInfo>& CommandLineOptionTable();

// One option as given, with its value.
struct CommandLineArgument {
    QString name;  // as the table spells it ("-p" for "/p")
    QString value;
};

struct CommandLine {
    CommandLineCommand command = CommandLineCommand::OpenWindow;
    QString commandOption;                // the option that selected it, "" for the window
    QList<CommandLineArgument> options;   // in the order given, the command's own option first
    QStringList operands;                 // the files, or the folder
    QStringList qtOptions;                // Qt's own options given, by name ("platform")
    // A command line the parser rejects (an unknown option, a missing value,
    // two commands, an option of another command): one line naming the
    // problem; the process then ends with status 2 after the usage.
    QString error;
};

// arguments[0] is the program. Qt's own options (-platform NAME, -style NAME
// and the like) are skipped: the application object reads them. "--" ends
// the options; what follows is a file even if it starts with '-'.
CommandLine ParseCommandLine(const QStringList& arguments);
// The C arguments as main() has them, before any application object exists.
QStringList CommandLineArguments(int argc, char** argv);

// The usage of every command and option, as --help prints it.
QString CommandLineUsage();
// The exit status of a command line the parser rejects.
constexpr int COMMAND_LINE_USAGE_ERROR = 2;

// The values of --paper (letter or a4, case ignored) and --dpi (72 to 2400)
// shared by the command-line printers. Empty when the value is good (and
// stored), else the message.
QString ParsePaperOption(const QString& value, QPageSize::PageSizeId* paper);
QString ParseDpiOption(const QString& value, int* dpi);

// What a command does with one of its options: takes the value (the name
// tells options that share a reader apart) and answers the message for the
// user, empty when the value is good.
struct OptionReader {
    const char* name;  // as the table spells it
    std::function<QString(const QString& name, const QString& value)> read;
};
// Hands every option of line, in the order given, to the reader of its name
// (options without one are left alone); the first message ends the reading
// and is returned, empty when every option was good.
QString ReadOptions(const CommandLine& line, const QList<OptionReader>& readers);
// A reader that turns an option without a value on.
OptionReader FlagReader(const char* name, bool* on);
// A reader of an output file ("NAME needs an output file." when empty).
OptionReader OutputFileReader(const char* name, QString* file);
// The readers of --paper and --dpi, which every command writing a PDF takes.
QList<OptionReader> PdfOutputReaders(QPageSize::PageSizeId* paper, int* dpi);

// Selects Qt's offscreen platform when there is no display and the
// environment chose no platform: printing needs no screen.
void UseOffscreenWithoutDisplay();
// Whether the environment names a display or a Qt platform.
bool DisplayOrPlatformChosen();
