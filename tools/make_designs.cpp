// Writes the Ringdesigner targets shipped in "data/Targets/My Targets/".
// Usage: make_designs <folder>
#include <QDir>
#include <QString>

#include <cstdio>
#include <functional>

#include "designer/TargetDesign.h"
#include "document/TargetImage.h"

namespace {

constexpr DesignColor BLACK = 0x000000;
constexpr DesignColor WHITE = 0xFFFFFF;
constexpr DesignColor ORANGE = 0x0080FF;

// Ten scoring rings 0.8 in apart, the 10 to 7 rings a black aiming bull, with
// a 1-inch grid to read off how far a group sits from the centre.
void sightInBull(CTargetDesign& d)
{
    d.AddBullseye(0.4, WHITE, 0.02, true, BULLSEYE_X, false);
    for (int k = 1; k <= 10; ++k) {
        const bool bull = k <= 4;
        d.AddCircle(0.8 * k, bull ? WHITE : BLACK, 0.02, true, bull ? BLACK : WHITE, QString::number(11 - k), false);
    }
    d.SetGrid(0x909090, 0.01, true, 1.0);
    d.SetLabelFontSize(140);
}

// A small-bore practice target: scoring rings 0.3 in apart up to 3 in, a
// black bull over the 10 to 7 rings, no grid, small labels.
void smallBorePractice(CTargetDesign& d)
{
    d.AddBullseye(0.15, WHITE, 0.01, true, BULLSEYE_CROSS, false);
    for (int k = 1; k <= 10; ++k) {
        const bool bull = k <= 4;
        d.AddCircle(0.3 * k, bull ? WHITE : BLACK, 0.01, true, bull ? BLACK : WHITE, QString::number(11 - k), false);
    }
    d.SetGrid(BLACK, 0.005, false, 1.0);
    d.SetLabelFontSize(70);
}

// An orange diamond with a white centre and a black cross to hold on, over a
// 1-inch grid: easy to see at 100 yards through a scope.
void diamondSightIn(CTargetDesign& d)
{
    d.AddSquare(8.0, BLACK, 0.02, true, WHITE, "", false);
    d.AddDiamond(6.0, BLACK, 0.03, true, ORANGE, "", false);
    d.AddDiamond(2.0, BLACK, 0.03, true, WHITE, "", false);
    d.AddBullseye(1.0, BLACK, 0.04, true, BULLSEYE_CROSS, false);
    d.SetGrid(0x606060, 0.01, true, 1.0);
    d.SetLabelFontSize(140);
}

// The design "New Ringdesigner" starts from, to print as it is.
void standardRings(CTargetDesign& d) { d.LoadDefault(); }

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.exists() && !QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    const struct {
        const char* name;
        std::function<void(CTargetDesign&)> build;
    } designs[] = {
        {"Sight-In 10-Ring Bull.rgd", sightInBull},
        {"Small-Bore Practice.rgd", smallBorePractice},
        {"Diamond Sight-In.rgd", diamondSightIn},
        {"Standard Rings.rgd", standardRings},
    };
    int failures = 0;
    for (const auto& entry : designs) {
        CTargetDesign d;
        entry.build(d);
        d.Rebuild();
        TargetImage image;
        image.SetDesigner(d);
        const QString path = folder.filePath(QString::fromLatin1(entry.name));
        const int status = image.Save(path);
        if (status != SAVE_OK) {
            std::fprintf(stderr, "%s: save status %d\n", qPrintable(path), status);
            ++failures;
        } else {
            std::printf("%s (%.1f in)\n", qPrintable(path), d.OverallDiameter());
        }
    }
    return failures ? 1 : 0;
}
