// One refresh of the Ringdesigner: the working design rebuilt from the
// dialog's controls and the preview redrawn at once, as after every change
// the user makes. Run offscreen:
//   QT_QPA_PLATFORM=offscreen build/bench/bench_designer_dialog [picture folder]
// With a folder, pictures of the dialog on each design are saved there.
#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "designer/TargetDesign.h"
#include "ringdesigner/DesignerDlg.h"
#include "ringdesigner/MiniTargetView.h"

namespace {

struct Stats {
    double median, p95, worst;
};

Stats measure(CDesignerDlg& dialog, int rounds)
{
    std::vector<double> ms;
    ms.reserve(size_t(rounds));
    QElapsedTimer timer;
    for (int i = 0; i < rounds; ++i) {
        timer.start();
        dialog.Refresh();
        ms.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms[size_t(double(ms.size()) * 0.95)], ms.back()};
}

QString g_shots;

void run(const char* name, const CTargetDesign& design, int rounds)
{
    CDesignerDlg dialog;
    dialog.SetDesign(design, QStringLiteral("bench"));
    dialog.show();
    QCoreApplication::processEvents();
    const int paints = dialog.previewView()->paintCount();
    const Stats s = measure(dialog, rounds);
    const int painted = dialog.previewView()->paintCount() - paints;
    const QSize preview = dialog.previewView()->viewport()->size();
    if (!g_shots.isEmpty()) {
        const QString file = g_shots + QStringLiteral("/designer_%1.png").arg(QString::fromLatin1(name).section(' ', 0, 0));
        dialog.grab().save(file);
        std::printf("  picture %s (%dx%d)\n", qPrintable(file), dialog.frameGeometry().width(),
                    dialog.frameGeometry().height());
    }
    std::printf("%-34s preview %dx%d  rounds %d (painted %d)  median %.3f ms  p95 %.3f ms  worst %.3f ms\n", name,
                preview.width(), preview.height(), rounds, painted, s.median, s.p95, s.worst);
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int rounds = 300;
    if (argc > 1) g_shots = QString::fromLocal8Bit(argv[1]);

    CTargetDesign def;
    def.LoadDefault();
    run("default design", def, rounds);

    // Everything on: eleven rings, labels, the grid at its finest spacing.
    CTargetDesign full;
    full.LoadDefault();
    for (int i = 0; i < full.GetElementCount(); ++i) full.GetElement(i)->SetEnabled(true);
    full.SetGrid(0x606060, 0.005, true, 0.25);
    full.Rebuild();
    run("all rings, labels, grid 0.25 in", full, rounds);
    return 0;
}
