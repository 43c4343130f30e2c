#include "designs/StandardTargets.h"

#include <QStringList>

#include <cmath>

#include "designer/TargetDesign.h"

namespace {

constexpr DesignColor BLACK = 0x000000;
constexpr DesignColor WHITE = 0xFFFFFF;
constexpr int MAX_RINGS = 11;  // the Ringdesigner's ring rows

bool same(double a, double b) { return std::fabs(a - b) < 1e-9; }

// Inches with at least two decimals, millimetres as the rule writes them.
QString num(double v, bool inches = false)
{
    const QString two = QString::number(v, 'f', 2);
    return inches && two.toDouble() == v ? two : QString::number(v, 'g', 6);
}

// "  Label:     text", wrapped at 88 columns under the text's first column.
QStringList field(const QString& label, const QString& text)
{
    const QString head = QStringLiteral("  ") + (label + QLatin1Char(':')).leftJustified(10);
    const QString indent(head.size() + 1, QLatin1Char(' '));
    QStringList lines;
    QString line = head;
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (line.size() >= indent.size() && line.size() + 1 + word.size() > 88) {
            lines << line;
            line = indent.left(indent.size() - 1);
        }
        line += QLatin1Char(' ') + word;
    }
    lines << line;
    return lines;
}

QString unitName(const StandardTarget& t) { return t.inches ? QStringLiteral("in") : QStringLiteral("mm"); }

bool blackOnRing(const StandardTarget& t)
{
    for (double d : t.rings)
        if (same(d, t.black)) return true;
    return false;
}

// The inner ten is a ring of its own while the ring rows last; otherwise it
// becomes the bull's-eye: a cross as wide as the inner ten.
bool innerTenAsCross(const StandardTarget& t)
{
    const int circles = int(t.rings.size()) + (t.innerTen > 0 ? 1 : 0) + (blackOnRing(t) ? 0 : 1);
    return t.innerTen > 0 && circles > MAX_RINGS;
}

// "rings 4 to 10", with the part of the next ring out the black reaches into.
QString blackCovers(const StandardTarget& t)
{
    int first = 10;
    for (int s = t.outerScore; s <= 10; ++s) {
        if (RingDiameter(t, s) <= t.black + 1e-9) {
            first = s;
            break;
        }
    }
    const int last = t.tenIsDot ? 9 : 10;
    QString text = QStringLiteral("rings %1 to %2").arg(first).arg(last);
    if (first > t.outerScore && !blackOnRing(t))
        text += QStringLiteral(" and %1 %2 of ring %3")
                    .arg(num((t.black - RingDiameter(t, first)) / 2), unitName(t))
                    .arg(first - 1);
    return text;
}

} // namespace

const std::vector<StandardTarget>& StandardTargets()
{
    static const std::vector<StandardTarget> table = {
        {"ISSF 10m Air Rifle", "ISSF General Technical Rules, 10 m air rifle target", false, 1,
         {45.5, 40.5, 35.5, 30.5, 25.5, 20.5, 15.5, 10.5, 5.5, 0.5}, 0, 30.5, true, 0.1, 8, 60,
         "The 10 is a white dot of 0.5 mm in the black.",
         "Rings 1 and 2, the 0.5 mm dot and the black from ring 4 inwards confirmed; the other rings "
         "follow the 5 mm steps between them."},
        {"ISSF 10m Air Pistol", "ISSF General Technical Rules, 10 m air pistol target", false, 1,
         {155.5, 139.5, 123.5, 107.5, 91.5, 75.5, 59.5, 43.5, 27.5, 11.5}, 5.0, 59.5, false, 0.2, 8, 140, "",
         "Every ring, the inner ten and the black (rings 7 to 10) confirmed."},
        {"ISSF 25m Precision and 50m Pistol",
         "ISSF General Technical Rules, 25 m precision and 50 m pistol target", false, 1,
         {500, 450, 400, 350, 300, 250, 200, 150, 100, 50}, 25, 200, false, 0.5, 8, 480,
         "At 500 mm it prints as a poster on several sheets.",
         "Rings 1 and 10 and the black (200 mm) confirmed; the inner ten (25 mm) not confirmed."},
        {"ISSF 25m Rapid Fire Pistol", "ISSF General Technical Rules, 25 m rapid fire pistol target", false, 5,
         {500, 420, 340, 260, 180, 100}, 50, 500, false, 0.5, 8, 480,
         "Scoring rings 5 to 10 only, all in the black. Prints as a poster.",
         "Rings 5, 6, 7 and 10 and the black confirmed; rings 8 and 9 follow the 80 mm steps; the "
         "inner ten (50 mm) not confirmed."},
        {"ISSF 50m Rifle", "ISSF General Technical Rules, 50 m rifle target", false, 1,
         {154.4, 138.4, 122.4, 106.4, 90.4, 74.4, 58.4, 42.4, 26.4, 10.4}, 5.0, 112.4, false, 0.2, 8, 140,
         "The black is not a ring: it ends between rings 3 and 4. With it the ten rings fill the "
         "Ringdesigner's eleven rows, so the inner ten is drawn as the bull's-eye: a white cross as "
         "wide as the inner ten.",
         "Every ring, the inner ten and the black (112.4 mm) confirmed."},
        {"ISSF 300m Rifle", "ISSF General Technical Rules, 300 m rifle target", false, 1,
         {1000, 900, 800, 700, 600, 500, 400, 300, 200, 100}, 50, 600, false, 1.0, 8, 720,
         "Prints as a poster of 20 letter sheets.",
         "Not confirmed: no public text of these dimensions could be reached."},
        {"NRA B-8 25yd Rapid Fire Pistol", "NRA Precision Pistol, B-8 target (25 yd timed and rapid fire)", true, 8,
         {8.00, 5.54, 3.36}, 1.695, 5.54, false, 0.02, 10, 360,
         "The B-8 repair centre: rings 8 to 10 and the X ring. The rings outside the 8 are left out.",
         "X, 10, 9 (the black) and 8 rings confirmed by several published descriptions, not by the "
         "NRA rulebook; the outer rings could not be confirmed and are not drawn."},
    };
    return table;
}

double RingDiameter(const StandardTarget& t, int score)
{
    const int i = score - t.outerScore;
    return i >= 0 && i < int(t.rings.size()) ? t.rings[size_t(i)] : 0.0;
}

void BuildStandardDesign(const StandardTarget& t, CTargetDesign& d)
{
    // Inches in the file: millimetres are divided by 25.4 and nothing else.
    const auto in = [&](double v) { return t.inches ? v : v / 25.4; };
    const bool cross = innerTenAsCross(t);
    d.Clear();
    d.AddBullseye(in(t.innerTen > 0 ? t.innerTen : t.rings.back()), WHITE, in(t.line), cross, BULLSEYE_CROSS,
                  false);
    // Ring 10 first, as the Ringdesigner's rows run; the drawing order is by
    // size anyway. A line is drawn centred on its path, so the path runs half
    // a line inside the ring's outer edge.
    for (int s = 10; s >= t.outerScore; --s) {
        const double dia = RingDiameter(t, s);
        if (s == 10 && t.tenIsDot) {
            d.AddCircle(in(dia), WHITE, 0.0, true, WHITE, QString(), false);
            continue;
        }
        const bool inBlack = dia <= t.black + 1e-9;
        const bool edge = same(dia, t.black);
        const QString label = s <= t.numberedTo ? QString::number(s) : QString();
        d.AddCircle(in(dia - t.line), inBlack && !edge ? WHITE : BLACK, in(t.line), true, inBlack ? BLACK : WHITE,
                    label, false);
    }
    if (t.innerTen > 0 && !cross) d.AddCircle(in(t.innerTen - t.line), WHITE, in(t.line), true, BLACK, QString(), false);
    // A black that ends between two rings is a disc without a line of its own.
    if (!blackOnRing(t)) d.AddCircle(in(t.black), BLACK, 0.0, true, BLACK, QString(), false);
    d.SetGrid(0x606060, 0.005, false, 1.0);
    d.SetLabelFontSize(t.labelFontSize);
    d.Rebuild();
}

QString StandardTargetsReadme()
{
    QStringList out;
    out << QStringLiteral("Standard Targets")
        << QStringLiteral("================")
        << QString()
        << QStringLiteral("Ring targets of the international and national rules at the size their rulebooks")
        << QStringLiteral("give, as Ringdesigner files. Open one and print it at actual size (a poster over")
        << QStringLiteral("several sheets where it is larger than the paper), or scale it for a shorter range")
        << QStringLiteral("with View > Scale Target for Distance...")
        << QString()
        << QStringLiteral("How to read the numbers")
        << QStringLiteral("- Each ring's diameter is its outer edge, in the rule's unit. Its line is drawn")
        << QStringLiteral("  inside that edge, so a shot touching the line scores the higher ring.")
        << QStringLiteral("- The files hold inches: millimetres divided by 25.4, nothing rounded. The")
        << QStringLiteral("  Ringdesigner shows them to 0.001 in or 0.01 mm and keeps every value that is not")
        << QStringLiteral("  changed exactly: pressing OK there moves no ring.")
        << QStringLiteral("- Line widths and the size of the ring numbers are ours, not the rules'.")
        << QString()
        << QStringLiteral("Where the numbers come from")
        << QStringLiteral("The ISSF and NRA rule texts themselves could not be read when these files were")
        << QStringLiteral("made. Every ISSF row was checked against independent public transcriptions of")
        << QStringLiteral("the ISSF target dimensions (electronic scoring software that cites the ISSF")
        << QStringLiteral("rules, club and federation pages); the B-8 against several published")
        << QStringLiteral("descriptions of the target. What could not be confirmed that way is marked")
        << QStringLiteral("\"not confirmed\" below. Check against the current rulebook before a match.")
        << QString();
    for (const StandardTarget& t : StandardTargets()) {
        const QString u = unitName(t);
        const auto n = [&](double v) { return num(v, t.inches) + QLatin1Char(' ') + u; };
        // The rings as a two-line table: score above diameter.
        QString scores = QStringLiteral("  Ring:     "), diameters = QStringLiteral("  %1:").arg(u).leftJustified(11);
        for (int s = t.outerScore; s <= 10; ++s) {
            scores += QString::number(s).rightJustified(7);
            diameters += num(RingDiameter(t, s), t.inches).rightJustified(7);
        }
        out << QStringLiteral("%1.rgd").arg(QString::fromLatin1(t.name))
            << field(QStringLiteral("Rule"), QString::fromLatin1(t.rule))
            << scores << diameters
            << field(QStringLiteral("Inner ten"), t.innerTen > 0 ? n(t.innerTen) : QStringLiteral("none"))
            << field(QStringLiteral("Black"), QStringLiteral("%1 (%2)").arg(n(t.black), blackCovers(t)))
            << field(QStringLiteral("Numbers"), QStringLiteral("rings %1 to %2").arg(t.outerScore).arg(t.numberedTo))
            << field(QStringLiteral("Lines"), n(t.line));
        if (*t.note) out << field(QStringLiteral("Note"), QString::fromLatin1(t.note));
        out << field(QStringLiteral("Checked"), QString::fromLatin1(t.checked)) << QString();
    }
    return out.join(QLatin1Char('\n'));
}
