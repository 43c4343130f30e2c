// PDF and SVG targets printed to PDF at 600 dpi through the command line's
// print routine (the road of "vantric --print-to-pdf"), each beside
// "pdftoppm -r 600" of the same page run in the same session:
//   - a one-page vector PDF target of the corpus (a disc and its text);
//   - an SVG target (the corpus's dartboard), beside pdftoppm of the page
//     Vantric printed;
//   - a 20-sheet poster of a 36 x 40 inch PDF target of rings.
// Also the first paint of a PDF target: opening it and drawing the page
// into a window-sized image, as the window's first paint does.
//
//   build/bench/bench_drawings [repeats]
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

#include "BenchTiming.h"
#include "CraftedDrawings.h"
#include "document/TargetImage.h"
#include "platform/MessageBox.h"
#include "view/CommandLinePrint.h"

namespace {

QString corpus(const QString& relative)
{
    const QString root = qEnvironmentVariableIsSet("VANTRIC_CORPUS_DIR") ? qEnvironmentVariable("VANTRIC_CORPUS_DIR")
                                                                         : QStringLiteral(VANTRIC_CORPUS_DIR);
    return root + QLatin1Char('/') + relative;
}

// Rings on a 36 x 40 inch page, drawn as PDF paths.
QByteArray posterPdf()
{
    QByteArray content = "0 0 0 RG 4 w\n";
    for (int r = 1; r <= 18; ++r) {
        const double k = 0.5523 * r * 72;  // Bezier circle of radius r inches around the centre
        const double cx = 18 * 72, cy = 20 * 72, R = r * 72;
        content += QByteArray::number(cx + R) + " " + QByteArray::number(cy) + " m "
                   + QByteArray::number(cx + R) + " " + QByteArray::number(cy + k) + " " + QByteArray::number(cx + k)
                   + " " + QByteArray::number(cy + R) + " " + QByteArray::number(cx) + " " + QByteArray::number(cy + R)
                   + " c " + QByteArray::number(cx - k) + " " + QByteArray::number(cy + R) + " "
                   + QByteArray::number(cx - R) + " " + QByteArray::number(cy + k) + " " + QByteArray::number(cx - R)
                   + " " + QByteArray::number(cy) + " c " + QByteArray::number(cx - R) + " "
                   + QByteArray::number(cy - k) + " " + QByteArray::number(cx - k) + " " + QByteArray::number(cy - R)
                   + " " + QByteArray::number(cx) + " " + QByteArray::number(cy - R) + " c "
                   + QByteArray::number(cx + k) + " " + QByteArray::number(cy - R) + " " + QByteArray::number(cx + R)
                   + " " + QByteArray::number(cy - k) + " " + QByteArray::number(cx + R) + " " + QByteArray::number(cy)
                   + " c S\n";
    }
    return crafted::Pdf({"/MediaBox [0 0 2592 2880]"}, content);
}

double printMs(int repeats, const QString& file, const QString& out, const QStringList& extra = {})
{
    return medianMs(repeats, [&] {
        RunCommandLinePrint(QStringList{QStringLiteral("vantric"), QStringLiteral("--print-to-pdf"), out,
                                        QStringLiteral("--dpi"), QStringLiteral("600")}
                            + extra + QStringList{file});
    });
}

double pdftoppmMs(int repeats, const QString& pdf, const QString& dir)
{
    return medianMs(repeats, [&] {
        QProcess::execute(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("600"), QStringLiteral("-f"),
                                                       QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1"),
                                                       pdf, dir + QStringLiteral("/page")});
    });
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    MessageLog::setEcho(false);
    const int repeats = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    QTemporaryDir dir;

    const QString pdf = corpus(QStringLiteral("pdf/cabinfever/Division-1-Vintage-100-Metres-A4.pdf"));
    const double pdfPrint = printMs(repeats, pdf, dir.filePath("pdf.pdf"), {QStringLiteral("--paper"), QStringLiteral("a4")});
    const double pdfRender = pdftoppmMs(repeats, pdf, dir.path());
    std::printf("PDF target, A4 at 600 dpi: print %.1f ms, pdftoppm -r 600 %.1f ms, ratio %.2f\n", pdfPrint, pdfRender,
                pdfPrint / pdfRender);

    const QString svg = corpus(QStringLiteral("svg/openclipart/dartboard_ruud_steltenpo_01.svg"));
    const double svgPrint = printMs(repeats, svg, dir.filePath("svg.pdf"));
    const double svgRender = pdftoppmMs(repeats, dir.filePath("svg.pdf"), dir.path());
    std::printf("SVG target (dartboard), letter at 600 dpi: print %.1f ms, pdftoppm -r 600 of its page %.1f ms, ratio %.2f\n",
                svgPrint, svgRender, svgPrint / svgRender);

    const QString big = dir.filePath("rings.pdf");
    {
        QFile f(big);
        f.open(QIODevice::WriteOnly);
        f.write(posterPdf());
    }
    const double posterPrint = printMs(std::max(1, repeats / 2), big, dir.filePath("poster.pdf"));
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {dir.filePath("poster.pdf")});
    info.waitForFinished();
    const QString pages = QString::fromLatin1(info.readAllStandardOutput()).section(QStringLiteral("Pages:"), 1).section('\n', 0, 0).trimmed();
    std::printf("36 x 40 in PDF target as a poster: %s sheets in %.1f ms (%.1f ms a sheet)\n", qPrintable(pages),
                posterPrint, posterPrint / std::max(1, pages.toInt()));

    const double firstPaint = medianMs(repeats, [&] {
        TargetImage target;
        target.Load(pdf);
        QImage window(900, 1000, QImage::Format_RGB32);
        window.fill(Qt::white);
        QPainter painter(&window);
        DeviceContext dc(&painter, 96, 96);
        target.Draw(dc, GdiRect(50, 20, 50 + 596, 20 + 842));
    });
    std::printf("PDF target, open and first paint at 96 dpi: %.1f ms\n", firstPaint);
    return 0;
}
