#include "print/CommandLine.h"


namespace {

using C = CommandLineCommand;

constexpr unsigned kPdf = CommandBit(C::PrintToPdf);
constexpr unsigned kPrinter = CommandBit(C::PrintToPrinter);
constexpr unsigned kSheets = CommandBit(C::PrintToPdf) | CommandBit(C::CalibrationSheet) | CommandBit(C::ContactSheet);

// The commands in the order of the usage, with what follows their options.
struct CommandInfo {
    CommandLineCommand command;
    const char* operands;
};
const CommandInfo kCommands[] = {
    {C::OpenWindow, "[FILE]..."}, {C::PrintToPrinter, "FILE"}, {C::PrintToPdf, "FILE"},
    {C::CalibrationSheet, ""},    {C::ContactSheet, "FOLDER"},
};

// Qt's own options, which the application object takes out of the arguments
// (with one dash or two, a value after a blank or after '=').
struct QtOption {
    const char* name;
    bool hasValue;
};
const QtOption kQtOptions[] = {
    {"platform", true},      {"platformpluginpath", true}, {"platformtheme", true}, {"plugin", true},
    {"qwindowgeometry", true}, {"geometry", true},         {"qwindowicon", true},   {"icon", true},
    {"qwindowtitle", true},  {"title", true},              {"session", true},       {"display", true},
    {"name", true},          {"style", true},              {"stylesheet", true},    {"qmljsdebugger", true},
    {"reverse", false},      {"widgetcount", false},       {"testability", false},  {"nograb", false},
    {"dograb", false},       {"sync", false},
};

const QtOption* findQtOption(const QString& arg)
{
    QString name = arg.mid(arg.startsWith(QLatin1String("--")) ? 2 : 1);
    name = name.left(name.indexOf(QLatin1Char('=')));
    for (const QtOption& o : kQtOptions)
        if (name == QLatin1String(o.name)) return &o;
    return nullptr;
}

const CommandLineOptionInfo* findOption(const QString& name)
{
    for (const CommandLineOptionInfo& o : CommandLineOptionTable()) {
        if (name == QLatin1String(o.name)) return &o;
        // The Windows spelling of -p is written in either case.
        if (o.alias && name.compare(QLatin1String(o.alias), o.alias[0] == '/' ? Qt::CaseInsensitive : Qt::CaseSensitive) == 0)
            return &o;
    }
    return nullptr;
}

bool looksLikeOption(const QString& arg)
{
    return (arg.size() > 1 && arg.startsWith(QLatin1Char('-'))) || findOption(arg);
}

const char* commandOptionName(CommandLineCommand command)
{
    if (command == C::OpenWindow) return "";
    for (const CommandLineOptionInfo& o : CommandLineOptionTable())
        if (o.selects == command) return o.name;
    return "";
}

// "--print-to-pdf, --calibration-sheet or --print-contact-sheet"
QString commandsTaking(unsigned commands)
{
    QStringList names;
    for (const CommandInfo& c : kCommands)
        if (commands & CommandBit(c.command)) names << QString::fromLatin1(commandOptionName(c.command));
    if (names.size() < 2) return names.join(QString());
    const QString last = names.takeLast();
    return names.join(QStringLiteral(", ")) + QStringLiteral(" or ") + last;
}

QString optionText(const CommandLineOptionInfo& o)
{
    QString text = QString::fromLatin1(o.name);
    if (o.valueName) text += QLatin1Char(' ') + QString::fromLatin1(o.valueName);
    return text;
}

// Words laid out in lines of at most 79 columns; continuation lines start
// with indent blanks.
QString wrapped(const QString& first, const QStringList& words, int indent)
{
    constexpr int kWidth = 79;
    QString text = first;
    int lineStart = int(text.lastIndexOf(QLatin1Char('\n'))) + 1;
    for (const QString& w : words) {
        if (w.isEmpty()) continue;
        if (text.size() - lineStart + 1 + w.size() > kWidth && text.size() - lineStart > indent) {
            text += QLatin1Char('\n');
            lineStart = text.size();
            text += QString(indent, QLatin1Char(' ')) + w;
        } else {
            text += QLatin1Char(' ') + w;
        }
    }
    return text;
}

}  // namespace

const QList<CommandLineOptionInfo>& CommandLineOptionTable()
{
    static const QList<CommandLineOptionInfo> table = {
        {"-p", "/p", nullptr, "print FILE on the printer chosen in Print Setup, with no window", kPrinter,
         C::PrintToPrinter},
        {"--print-to-pdf", nullptr, "OUT.pdf", "print FILE into the PDF file OUT.pdf, with no window", kPdf,
         C::PrintToPdf},
        {"--calibration-sheet", nullptr, "OUT.pdf", "write the printer calibration sheet into OUT.pdf",
         CommandBit(C::CalibrationSheet), C::CalibrationSheet},
        {"--print-contact-sheet", nullptr, "OUT.pdf",
         "print contact sheets of the targets in FOLDER into OUT.pdf", CommandBit(C::ContactSheet),
         C::ContactSheet},
        {"--help", "-h", nullptr, "print this help and exit", 0, C::Help},
        {"--version", nullptr, nullptr, "print the version and exit", 0, C::Version},
        {"--poster", nullptr, nullptr, "print as a poster over several sheets", kPdf},
        {"--actual-size", nullptr, nullptr, "print at the target's own size, not scaled", kPdf},
        {"--scale-to-page", nullptr, nullptr, "scale the target to fit one sheet", kPdf},
        {"--distance", nullptr, "SHOOTER:TARGET",
         "scale for a shorter shooting distance, each with its unit yd, ft or m (25yd:100yd)", kPdf},
        {"--calibre", nullptr, "C",
         "with --distance, correct a ring design's scoring rings for the calibre C (5.6mm or 0.224in)", kPdf},
        {"--tile", nullptr, "ROWSxCOLS[@ROWGAP,COLGAP]",
         "print a grid of copies on each sheet, the gaps in inches (3x2@0.5,0.25)", kPdf},
        {"--overlap", nullptr, "MM", "with --poster, let neighbouring sheets share a glue strip this wide (10mm)",
         kPdf},
        {"--sheet-labels", nullptr, nullptr,
         "with --poster, label each sheet with its place, its neighbours and a map, and mark where four meet", kPdf},
        {"--centre-on-sheet", nullptr, nullptr, "with --poster, keep the target's centre whole on one sheet", kPdf},
        {"--skip-empty", nullptr, nullptr, "with --poster, leave out the sheets the target draws nothing on", kPdf},
        {"--page", nullptr, "N", "the page of a PDF target to show or print (default 1)",
         kPdf | kPrinter | CommandBit(C::OpenWindow)},
        {"--scale-check", nullptr, nullptr, "add the 100 mm and 4 in scale check to every sheet", kPdf | kPrinter},
        {"--thumb-size", nullptr, "1|1.5|2", "size of the thumbnails in inches (default 2)",
         CommandBit(C::ContactSheet)},
        {"--paper", nullptr, "letter|a4", "paper of the PDF (default letter)", kSheets},
        {"--dpi", nullptr, "N", "resolution of the PDF, 72 to 2400 (default 600)", kSheets},
    };
    return table;
}

QStringList CommandLineArguments(int argc, char** argv)
{
    QStringList list;
    for (int i = 0; i < argc && argv[i]; ++i) list << QString::fromLocal8Bit(argv[i]);
    return list;
}

CommandLine ParseCommandLine(const QStringList& arguments)
{
    CommandLine line;
    const CommandLineOptionInfo* answer = nullptr;  // --help or --version
    auto reject = [&line](const QString& problem) {
        if (line.error.isEmpty()) line.error = problem;
    };
    bool optionsEnded = false;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (!optionsEnded && arg == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        if (optionsEnded || !looksLikeOption(arg)) {
            line.operands << arg;
            continue;
        }
        QString name = arg;
        QString value;
        const int equals = arg.startsWith(QLatin1String("--")) ? arg.indexOf(QLatin1Char('=')) : -1;
        if (equals > 0) {
            name = arg.left(equals);
            value = arg.mid(equals + 1);
        }
        const CommandLineOptionInfo* info = findOption(name);
        if (!info) {
            if (const QtOption* qt = findQtOption(arg)) {
                line.qtOptions << QLatin1String(qt->name);
                if (qt->hasValue && !arg.contains(QLatin1Char('='))) ++i;
                continue;
            }
            reject(QStringLiteral("unknown option \"%1\"").arg(arg));
            continue;
        }
        if (info->selects == C::Help || info->selects == C::Version) {
            if (!answer) answer = info;
            continue;
        }
        if (info->valueName && equals < 0) {
            if (i + 1 >= arguments.size()) {
                reject(QStringLiteral("%1 needs %2").arg(QLatin1String(info->name), QLatin1String(info->valueName)));
                continue;
            }
            value = arguments[++i];
        } else if (!info->valueName && equals > 0) {
            reject(QStringLiteral("%1 takes no value").arg(QLatin1String(info->name)));
            continue;
        }
        if (info->selects != C::OpenWindow) {
            if (line.command != C::OpenWindow && line.command != info->selects)
                reject(QStringLiteral("%1 and %2 cannot be given together").arg(line.commandOption, QLatin1String(info->name)));
            line.command = info->selects;
            line.commandOption = QLatin1String(info->name);
        }
        line.options << CommandLineArgument{QLatin1String(info->name), value};
    }
    if (answer) {
        line.command = answer->selects;
        line.error.clear();
        return line;
    }
    for (const CommandLineArgument& a : line.options) {
        const CommandLineOptionInfo* info = findOption(a.name);
        if (!(info->commands & CommandBit(line.command)))
            reject(QStringLiteral("%1 is an option of %2").arg(a.name, commandsTaking(info->commands)));
    }
    return line;
}

QString CommandLineUsage()
{
    const QList<CommandLineOptionInfo>& table = CommandLineOptionTable();
    QStringList usage;
    QString answers;
    for (const CommandInfo& c : kCommands) {
        QStringList words;
        const QString command = QString::fromLatin1(commandOptionName(c.command));
        for (const CommandLineOptionInfo& o : table) {
            if (QLatin1String(o.name) == command)
                words.prepend(optionText(o));
            else if ((o.commands & CommandBit(c.command)) && o.selects == C::OpenWindow)
                words << QLatin1Char('[') + optionText(o) + QLatin1Char(']');
        }
        words << QString::fromLatin1(c.operands);
        const QString head = usage.isEmpty() ? QStringLiteral("Usage: vantric") : QStringLiteral("       vantric");
        usage << wrapped(head, words, 15);
    }
    QStringList answerNames;
    for (const CommandLineOptionInfo& o : table)
        if (o.selects == C::Help || o.selects == C::Version) answerNames << QString::fromLatin1(o.name);
    usage << QStringLiteral("       vantric ") + answerNames.join(QStringLiteral(" | "));

    QString text = usage.join(QLatin1Char('\n'));
    text += QStringLiteral("\n\nWithout -p or another printing option Vantric opens its window with the FILEs.\n\nOptions:\n");
    constexpr int kColumn = 33;
    for (const CommandLineOptionInfo& o : table) {
        QString left = QStringLiteral("  ") + QString::fromLatin1(o.name);
        if (o.alias) left += QStringLiteral(", ") + QString::fromLatin1(o.alias);
        if (o.valueName) left += QLatin1Char(' ') + QString::fromLatin1(o.valueName);
        left = left.size() < kColumn ? left.leftJustified(kColumn - 1) : left + QLatin1Char('\n') + QString(kColumn - 1, QLatin1Char(' '));
        text += wrapped(left, QString::fromLatin1(o.help).split(QLatin1Char(' ')), kColumn) + QLatin1Char('\n');
    }
    text += QStringLiteral(
        "\nThe mode options state how the target prints; without them it prints as a\n"
        "window first shows it: at its own size, as a poster when it is more than 20 %\n"
        "larger than the printable area. Qt's own options, such as -platform NAME and\n"
        "-style NAME, go to Qt. Problems go to standard error; the exit status is 0 on\n"
        "success, 1 when printing fails and 2 for a command line not understood.\n");
    return text;
}

QString ParsePaperOption(const QString& value, QPageSize::PageSizeId* paper)
{
    if (value.compare(QLatin1String("letter"), Qt::CaseInsensitive) == 0)
        *paper = QPageSize::Letter;
    else if (value.compare(QLatin1String("a4"), Qt::CaseInsensitive) == 0)
        *paper = QPageSize::A4;
    else
        return QStringLiteral("Unknown paper \"%1\": use letter or a4.").arg(value);
    return QString();
}

QString ParseDpiOption(const QString& value, int* dpi)
{
    bool ok = false;
    const int n = value.toInt(&ok);
    if (!ok || n < 72 || n > 2400) return QStringLiteral("--dpi needs a resolution from 72 to 2400.");
    *dpi = n;
    return QString();
}

QString ReadOptions(const CommandLine& line, const QList<OptionReader>& readers)
{
    for (const CommandLineArgument& arg : line.options) {
        for (const OptionReader& reader : readers) {
            if (arg.name != QLatin1String(reader.name)) continue;
            const QString problem = reader.read(arg.name, arg.value);
            if (!problem.isEmpty()) return problem;
        }
    }
    return QString();
}

OptionReader FlagReader(const char* name, bool* on)
{
    return {name, [on](const QString&, const QString&) {
                *on = true;
                return QString();
            }};
}

OptionReader OutputFileReader(const char* name, QString* file)
{
    return {name, [file](const QString& a, const QString& v) {
                *file = v;
                return v.isEmpty() ? QStringLiteral("%1 needs an output file.").arg(a) : QString();
            }};
}

QList<OptionReader> PdfOutputReaders(QPageSize::PageSizeId* paper, int* dpi)
{
    return {
        {"--paper", [paper](const QString&, const QString& v) { return ParsePaperOption(v, paper); }},
        {"--dpi", [dpi](const QString&, const QString& v) { return ParseDpiOption(v, dpi); }},
    };
}

bool DisplayOrPlatformChosen()
{
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY")
           || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

void UseOffscreenWithoutDisplay()
{
    if (!DisplayOrPlatformChosen()) qputenv("QT_QPA_PLATFORM", "offscreen");
}
