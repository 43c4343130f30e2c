#include "designs/ShippedDesigns.h"

#include <QDir>
#include <QFile>
#include <QStringList>

#include <functional>

#include "designer/TargetDesign.h"
#include "designs/StandardTargets.h"
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
    d.Rebuild();
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
    d.Rebuild();
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
    d.Rebuild();
}

// The design "New Ringdesigner" starts from, to print as it is.
void standardRings(CTargetDesign& d) { d.LoadDefault(); }

bool save(const CTargetDesign& d, const QString& path, QString* error, QStringList* log)
{
    TargetImage image;
    image.SetDesigner(d);
    const int status = image.Save(path);
    if (status != SAVE_OK) {
        if (error) *error = QStringLiteral("%1: save status %2").arg(path).arg(status);
        return false;
    }
    if (log) *log << QStringLiteral("%1 (%2 in)").arg(path).arg(d.OverallDiameter(), 0, 'f', 3);
    return true;
}

bool makeFolder(const QDir& dir, QString* error)
{
    if (dir.exists() || QDir().mkpath(dir.path())) return true;
    if (error) *error = QStringLiteral("cannot create %1").arg(dir.path());
    return false;
}

} // namespace

bool WriteShippedDesigns(const QString& targetsFolder, QString* error, QStringList* log)
{
    const QDir mine(QDir(targetsFolder).filePath(QStringLiteral("My Targets")));
    const QDir standard(QDir(targetsFolder).filePath(QStringLiteral("Standard Targets")));
    if (!makeFolder(mine, error) || !makeFolder(standard, error)) return false;

    const struct {
        const char* name;
        std::function<void(CTargetDesign&)> build;
    } designs[] = {
        {"Sight-In 10-Ring Bull.rgd", sightInBull},
        {"Small-Bore Practice.rgd", smallBorePractice},
        {"Diamond Sight-In.rgd", diamondSightIn},
        {"Standard Rings.rgd", standardRings},
    };
    for (const auto& entry : designs) {
        CTargetDesign d;
        entry.build(d);
        if (!save(d, mine.filePath(QString::fromLatin1(entry.name)), error, log)) return false;
    }
    for (const StandardTarget& t : StandardTargets()) {
        CTargetDesign d;
        BuildStandardDesign(t, d);
        if (!save(d, standard.filePath(QString::fromLatin1(t.name) + QStringLiteral(".rgd")), error, log))
            return false;
    }
    QFile readme(standard.filePath(QStringLiteral("README.txt")));
    if (!readme.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || readme.write(StandardTargetsReadme().toUtf8() + '\n') < 0 || !readme.flush()) {
        if (error) *error = QStringLiteral("cannot write %1").arg(readme.fileName());
        return false;
    }
    if (log) *log << readme.fileName();
    return true;
}
