// libFuzzer target for the whole road of "vantric --print-to-pdf": any input,
// read as a file of one of the kinds the program opens, must print or fail
// with a message (PNG, PDF and SVG among them). The first byte chooses the
// kind and the print options, the rest is the file. This build's size bounds are low (VANTRIC_SMALL_LIMITS),
// so large pictures are refused or reduced quickly rather than skipped.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <iterator>

#include "platform/MessageBox.h"
#include "view/CommandLinePrint.h"

namespace {

QTemporaryDir* g_dir = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int qtArgc = 1;
    static char name[] = "fuzz_print";
    static char* qtArgv[] = {name, nullptr};
    static QApplication app(qtArgc, qtArgv);
    static QTemporaryDir dir;
    g_dir = &dir;
    MessageLog::setEcho(false);
    (void)argc;
    (void)argv;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) return 0;
    static const char* const kinds[] = {"bmp", "jpg", "wmf", "rgd", "vnt", "dib", "jpeg", "BMP",
                                        "png", "pdf", "svg", "svgz"};
    const uint8_t choice = data[0];
    // The low three bits and the top two pick the kind.
    const int kind = ((choice & 7) | ((choice & 0xC0) >> 3)) % int(std::size(kinds));
    const QString file = g_dir->filePath(QStringLiteral("input.") + QLatin1String(kinds[kind]));
    const QString pdf = g_dir->filePath(QStringLiteral("output.pdf"));
    {
        QFile f(file);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
        f.write(reinterpret_cast<const char*>(data + 1), qint64(size - 1));
    }
    QStringList args{QStringLiteral("vantric"), QStringLiteral("--print-to-pdf"), pdf, QStringLiteral("--dpi"),
                     QStringLiteral("72")};
    if (choice & 0x08) args << QStringLiteral("--paper") << QStringLiteral("a4");
    if (choice & 0x10) args << QStringLiteral("--scale-to-page");
    if (choice & 0x20) args << QStringLiteral("--poster");
    args << file;
    RunCommandLinePrint(args);
    MessageLog::clear();
    return 0;
}
