// Writes the targets shipped in "data/Targets/My Targets/":
//   make_targets <output-folder>
// Every target is drawn at its real size in a placeable metafile whose unit is
// 0.02 mm (1270 units per inch), so the printed rings measure what the
// comments say.
#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cmath>
#include <cstdio>

#include "wmf/WmfFormat.h"
#include "wmf/writer/WmfWriter.h"

namespace {

constexpr int UNITS_PER_INCH = 1270;            // one unit is 0.02 mm
constexpr int mm(double v) { return int(v * 50.0 + (v >= 0 ? 0.5 : -0.5)); }
constexpr quint32 BLACK = 0x000000, WHITE = 0xFFFFFF;

struct Ring {
    double diameter;   // mm
    int score;         // printed number, 0 for none
};

// A ring target on a white card, centred: every ring a filled circle drawn from
// the outside in, the aiming area black with white lines and numbers inside it.
struct RingTarget {
    double cardWidth, cardHeight;   // mm
    std::vector<Ring> rings;        // outermost first
    double blackDiameter;           // mm: rings of this size and smaller are black
    double innerTen;                // mm, 0 for none
    double lineWidth;               // mm
    double numberHeight;            // mm, character height
    double centreDot = 0;           // mm, white dot at the centre, 0 for none
};

void circle(WmfWriter& w, int cx, int cy, double diameter)
{
    const int r = mm(diameter / 2);
    w.ellipse(cx - r, cy - r, cx + r, cy + r);
}

void drawRingTarget(WmfWriter& w, const RingTarget& t)
{
    const int width = mm(t.cardWidth), height = mm(t.cardHeight);
    const int cx = width / 2, cy = height / 2;
    w.setMapMode(wmf::MM_ANISOTROPIC);
    w.setWindowOrg(0, 0);
    w.setWindowExt(width, height);
    w.setBkMode(wmf::TRANSPARENT);
    w.setPolyFillMode(1);

    const int noPen = w.createPen(wmf::PS_NULL, 0, 0);
    const int whiteBrush = w.createBrush(wmf::BS_SOLID, WHITE);
    const int blackBrush = w.createBrush(wmf::BS_SOLID, BLACK);
    const int nullBrush = w.createBrush(wmf::BS_NULL, 0);
    const int blackPen = w.createPen(wmf::PS_SOLID, mm(t.lineWidth), BLACK);
    const int whitePen = w.createPen(wmf::PS_SOLID, mm(t.lineWidth), WHITE);

    // The card.
    w.selectObject(noPen);
    w.selectObject(whiteBrush);
    w.rectangle(0, 0, width, height);

    // Rings, outside in.
    for (const Ring& ring : t.rings) {
        const bool black = ring.diameter <= t.blackDiameter + 1e-9;
        w.selectObject(black ? blackBrush : whiteBrush);
        w.selectObject(black ? whitePen : blackPen);
        circle(w, cx, cy, ring.diameter);
    }
    // The black aiming area's edge, in black so it stays crisp on a white ring.
    w.selectObject(nullBrush);
    w.selectObject(blackPen);
    circle(w, cx, cy, t.blackDiameter);
    if (t.innerTen > 0) {
        const bool black = t.innerTen <= t.blackDiameter;
        w.selectObject(black ? whitePen : blackPen);
        circle(w, cx, cy, t.innerTen);
    }
    if (t.centreDot > 0) {
        w.selectObject(noPen);
        w.selectObject(whiteBrush);
        circle(w, cx, cy, t.centreDot);
    }

    // Numbers in the middle of each numbered band, left, right, above and below.
    const int font = w.createFont(-mm(t.numberHeight), 700, "Arial");
    w.selectObject(font);
    w.setTextAlign(6 | 24);  // TA_CENTER | TA_BASELINE
    const int capHalf = mm(t.numberHeight * 0.716 / 2);
    for (size_t i = 0; i < t.rings.size(); ++i) {
        const Ring& ring = t.rings[i];
        if (!ring.score) continue;
        const double inner = i + 1 < t.rings.size() ? t.rings[i + 1].diameter : 0;
        const int r = mm((ring.diameter + inner) / 4);
        const bool black = ring.diameter <= t.blackDiameter + 1e-9;
        w.setTextColor(black ? WHITE : BLACK);
        const QByteArray text = QByteArray::number(ring.score);
        w.textOut(cx - r, cy + capHalf, text);
        w.textOut(cx + r, cy + capHalf, text);
        w.textOut(cx, cy - r + capHalf, text);
        w.textOut(cx, cy + r + capHalf, text);
    }
    w.deleteObject(font);
    for (int obj : {noPen, whiteBrush, blackBrush, nullBrush, blackPen, whitePen}) w.deleteObject(obj);
}

QByteArray ringTargetFile(const RingTarget& t)
{
    WmfWriter w(0, 0, mm(t.cardWidth), mm(t.cardHeight), UNITS_PER_INCH);
    drawRingTarget(w, t);
    return w.finish();
}

// 25 m precision pistol target: ten rings at 50 mm steps of diameter, the
// 10 ring 50 mm, the 1 ring 500 mm, the inner ten 25 mm; rings 7 to 10
// (200 mm) make the black aiming area; numbers 1 to 8 on the rings. Card
// 550 x 550 mm, printed as a poster over several sheets.
RingTarget precisionPistol()
{
    RingTarget t{550, 550, {}, 200, 25, 0.5, 14};
    for (int score = 1; score <= 10; ++score) t.rings.push_back({50.0 * (11 - score), score <= 8 ? score : 0});
    return t;
}

// 50 m smallbore rifle target: the 10 ring 10.4 mm, each further ring 16 mm
// wider in diameter, the 1 ring 154.4 mm; rings 3 to 10 (122.4 mm) black;
// inner ten 5 mm; numbers 1 to 8. Card 170 x 170 mm: fits any sheet.
RingTarget smallboreRifle()
{
    RingTarget t{170, 170, {}, 122.4, 5, 0.2, 4};
    for (int score = 1; score <= 10; ++score) t.rings.push_back({10.4 + 16.0 * (10 - score), score <= 8 ? score : 0});
    return t;
}

// Sight-in target, 8 x 10 inches: a quarter-inch grid (every inch heavier)
// for reading group offsets, a centre bull of 2 inches (white 1-inch ring and
// crosshair inside) and four 1-inch corner bulls.
QByteArray sightInFile()
{
    const int in = UNITS_PER_INCH;
    const int width = 8 * in, height = 10 * in;
    WmfWriter w(0, 0, width, height, UNITS_PER_INCH);
    w.setMapMode(wmf::MM_ANISOTROPIC);
    w.setWindowOrg(0, 0);
    w.setWindowExt(width, height);
    w.setBkMode(wmf::TRANSPARENT);
    const int noPen = w.createPen(wmf::PS_NULL, 0, 0);
    const int white = w.createBrush(wmf::BS_SOLID, WHITE);
    w.selectObject(noPen);
    w.selectObject(white);
    w.rectangle(0, 0, width, height);

    const int fine = w.createPen(wmf::PS_SOLID, mm(0.15), 0xB0B0B0);
    const int heavy = w.createPen(wmf::PS_SOLID, mm(0.35), 0x606060);
    const int margin = in / 2;
    for (int q = 0; q <= 4 * 7; ++q) {
        const int x = margin + q * in / 4;
        w.selectObject(q % 4 ? fine : heavy);
        w.moveTo(x, margin);
        w.lineTo(x, height - margin);
    }
    for (int q = 0; q <= 4 * 9; ++q) {
        const int y = margin + q * in / 4;
        w.selectObject(q % 4 ? fine : heavy);
        w.moveTo(margin, y);
        w.lineTo(width - margin, y);
    }

    const int black = w.createBrush(wmf::BS_SOLID, BLACK);
    const int whitePen = w.createPen(wmf::PS_SOLID, mm(0.5), WHITE);
    const int nullBrush = w.createBrush(wmf::BS_NULL, 0);
    auto bull = [&](int cx, int cy, int diameter) {
        w.selectObject(noPen);
        w.selectObject(black);
        w.ellipse(cx - diameter / 2, cy - diameter / 2, cx + diameter / 2, cy + diameter / 2);
        w.selectObject(whitePen);
        w.selectObject(nullBrush);
        w.ellipse(cx - diameter / 4, cy - diameter / 4, cx + diameter / 4, cy + diameter / 4);
        w.moveTo(cx - diameter / 2, cy);
        w.lineTo(cx + diameter / 2, cy);
        w.moveTo(cx, cy - diameter / 2);
        w.lineTo(cx, cy + diameter / 2);
    };
    bull(width / 2, height / 2, 2 * in);
    for (int cx : {margin + in, width - margin - in})
        for (int cy : {margin + in, height - margin - in}) bull(cx, cy, in);

    const int font = w.createFont(-mm(4), 400, "Arial");
    w.selectObject(font);
    w.setTextColor(0x404040);
    w.setTextAlign(24);
    w.textOut(margin, height - margin / 3, "Sight-in grid: 1/4 inch squares, heavy lines every inch");
    return w.finish();
}

// The 100-byte target document header: a text, its zero byte, the index of
// the marker byte, and the marker 0x1E at that index.
QByteArray targetDocument(const QByteArray& title, const QByteArray& metafile)
{
    QByteArray header(100, '\0');
    const QByteArray text = title.left(90);
    header.replace(0, text.size(), text);
    const int markerAt = 98;
    header[text.size() + 1] = char(markerAt);
    header[markerAt] = char(0x1E);
    return header + metafile;
}

bool write(const QDir& dir, const QString& name, const QByteArray& data)
{
    QFile f(dir.filePath(name));
    if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(f.fileName()));
        return false;
    }
    std::printf("%s: %lld bytes\n", qPrintable(f.fileName()), static_cast<long long>(data.size()));
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_targets <output-folder>\n");
        return 2;
    }
    QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.mkpath(QStringLiteral("."))) return 1;
    bool ok = write(dir, QStringLiteral("25m Precision Pistol.vnt"),
                    targetDocument("25 m precision pistol target, 550 x 550 mm", ringTargetFile(precisionPistol())));
    ok = write(dir, QStringLiteral("50m Smallbore Rifle.vnt"),
               targetDocument("50 m smallbore rifle target, 170 x 170 mm", ringTargetFile(smallboreRifle()))) && ok;
    ok = write(dir, QStringLiteral("Sight-in Grid 8x10.wmf"), sightInFile()) && ok;
    return ok ? 0 : 1;
}
