#pragma once
// Small hand-made PDF and SVG files, and the ink comparison the drawing
// tests measure with.
#include <QByteArray>
#include <QImage>
#include <QList>
#include <QPainter>

namespace crafted {

// A PDF of one page per entry (each entry is the rest of the page's
// dictionary: "/MediaBox [0 0 200 100] /Rotate 90"), all drawing content.
inline QByteArray Pdf(const QList<QByteArray>& pages, const QByteArray& content = "0 0 0 rg 10 10 50 50 re f")
{
    QList<QByteArray> objects;
    QByteArray kids;
    for (int i = 0; i < pages.size(); ++i) kids += QByteArray::number(4 + i) + " 0 R ";
    objects << "<< /Type /Catalog /Pages 2 0 R >>"
            << "<< /Type /Pages /Kids [" + kids + "] /Count " + QByteArray::number(pages.size()) + " >>"
            << "<< /Length " + QByteArray::number(content.size()) + " >>\nstream\n" + content + "\nendstream";
    for (const QByteArray& page : pages) objects << "<< /Type /Page /Parent 2 0 R /Contents 3 0 R " + page + " >>";
    QByteArray out = "%PDF-1.4\n";
    QList<qsizetype> offsets;
    for (int i = 0; i < objects.size(); ++i) {
        offsets << out.size();
        out += QByteArray::number(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const qsizetype xref = out.size();
    out += "xref\n0 " + QByteArray::number(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (qsizetype o : offsets) out += QByteArray::number(o).rightJustified(10, '0') + " 00000 n \n";
    out += "trailer\n<< /Size " + QByteArray::number(objects.size() + 1) + " /Root 1 0 R >>\nstartxref\n"
           + QByteArray::number(xref) + "\n%%EOF\n";
    return out;
}

// An SVG root with the given attributes around body.
inline QByteArray Svg(const QByteArray& attributes, const QByteArray& body = "<circle cx='50' cy='50' r='40'/>")
{
    return "<?xml version='1.0'?>\n<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink' "
           + attributes + ">" + body + "</svg>\n";
}

// Ink: a pixel darker or more coloured than near-white, laid on white.
inline bool IsInk(QRgb c)
{
    const int a = qAlpha(c);
    auto on = [a](int v) { return (v * a + 255 * (255 - a)) / 255; };
    return on(qRed(c)) < 230 || on(qGreen(c)) < 230 || on(qBlue(c)) < 230;
}

// The intersection over union of two images' ink (the same size); 1 when
// neither has any.
inline double InkIoU(const QImage& a, const QImage& b)
{
    const QImage x = a.convertToFormat(QImage::Format_ARGB32), y = b.convertToFormat(QImage::Format_ARGB32);
    if (x.size() != y.size()) return 0;
    qint64 both = 0, either = 0;
    for (int j = 0; j < x.height(); ++j) {
        const QRgb* p = reinterpret_cast<const QRgb*>(x.constScanLine(j));
        const QRgb* q = reinterpret_cast<const QRgb*>(y.constScanLine(j));
        for (int i = 0; i < x.width(); ++i) {
            const bool u = IsInk(p[i]), v = IsInk(q[i]);
            both += u && v;
            either += u || v;
        }
    }
    return either ? double(both) / double(either) : 1.0;
}

// The share of both images' ink that has ink of the other image within
// slack pixels, over their common area.
inline double InkNear(const QImage& a, const QImage& b, int slack)
{
    const QImage x = a.convertToFormat(QImage::Format_ARGB32), y = b.convertToFormat(QImage::Format_ARGB32);
    const int w = std::min(x.width(), y.width()), h = std::min(x.height(), y.height());
    auto ink = [](const QImage& im, int i, int j) { return IsInk(im.pixel(i, j)); };
    auto near = [&](const QImage& im, int i, int j) {
        for (int v = std::max(0, j - slack); v <= std::min(h - 1, j + slack); ++v)
            for (int u = std::max(0, i - slack); u <= std::min(w - 1, i + slack); ++u)
                if (ink(im, u, v)) return true;
        return false;
    };
    qint64 total = 0, matched = 0;
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            if (ink(x, i, j)) total += 1, matched += near(y, i, j);
            if (ink(y, i, j)) total += 1, matched += near(x, i, j);
        }
    return total ? double(matched) / double(total) : 1.0;
}

} // namespace crafted
