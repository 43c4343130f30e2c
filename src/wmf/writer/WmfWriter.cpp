#include "wmf/writer/WmfWriter.h"

#include "wmf/WmfFormat.h"

#include <algorithm>

using namespace wmf;

namespace {

void push32(std::vector<quint16>& w, quint32 v)
{
    w.push_back(quint16(v & 0xFFFF));
    w.push_back(quint16(v >> 16));
}

void pushBytes(std::vector<quint16>& w, const QByteArray& b)
{
    for (int i = 0; i < b.size(); i += 2) {
        const quint16 lo = uchar(b[i]);
        const quint16 hi = i + 1 < b.size() ? uchar(b[i + 1]) : 0;
        w.push_back(quint16(lo | (hi << 8)));
    }
}

void append16(QByteArray& out, quint16 v)
{
    out.append(char(v & 0xFF));
    out.append(char(v >> 8));
}

} // namespace

WmfWriter::WmfWriter(int left, int top, int right, int bottom, int unitsPerInch)
    : m_left(left), m_top(top), m_right(right), m_bottom(bottom), m_inch(unitsPerInch) {}

void WmfWriter::record(quint16 function, const std::vector<quint16>& words)
{
    const quint32 size = quint32(words.size() + 3);
    push32(m_words, size);
    m_words.push_back(function);
    m_words.insert(m_words.end(), words.begin(), words.end());
    m_maxRecord = std::max(m_maxRecord, size);
}

void WmfWriter::record(quint16 function, std::initializer_list<int> words)
{
    std::vector<quint16> w;
    for (int v : words) w.push_back(quint16(v));
    record(function, w);
}

void WmfWriter::setMapMode(int mode) { record(SETMAPMODE, {mode}); }
void WmfWriter::setWindowOrg(int x, int y) { record(SETWINDOWORG, {y, x}); }
void WmfWriter::setWindowExt(int x, int y) { record(SETWINDOWEXT, {y, x}); }
void WmfWriter::setViewportOrg(int x, int y) { record(SETVIEWPORTORG, {y, x}); }
void WmfWriter::setViewportExt(int x, int y) { record(SETVIEWPORTEXT, {y, x}); }
void WmfWriter::setBkMode(int mode) { record(SETBKMODE, {mode}); }
void WmfWriter::setTextColor(quint32 c) { record(SETTEXTCOLOR, {int(c & 0xFFFF), int(c >> 16)}); }
void WmfWriter::setTextAlign(int align) { record(SETTEXTALIGN, {align}); }
void WmfWriter::setPolyFillMode(int mode) { record(SETPOLYFILLMODE, {mode}); }
void WmfWriter::setRop2(int rop) { record(SETROP2, {rop}); }
void WmfWriter::saveDc() { record(SAVEDC, {}); }
void WmfWriter::restoreDc(int n) { record(RESTOREDC, {n}); }
void WmfWriter::intersectClipRect(int l, int t, int r, int b) { record(INTERSECTCLIPRECT, {b, r, t, l}); }
void WmfWriter::excludeClipRect(int l, int t, int r, int b) { record(EXCLUDECLIPRECT, {b, r, t, l}); }

int WmfWriter::takeSlot()
{
    for (size_t i = 0; i < m_slots.size(); ++i) {
        if (!m_slots[i]) {
            m_slots[i] = true;
            return int(i);
        }
    }
    m_slots.push_back(true);
    m_maxObjects = std::max(m_maxObjects, int(m_slots.size()));
    return int(m_slots.size() - 1);
}

int WmfWriter::createPen(int style, int width, quint32 color)
{
    record(CREATEPENINDIRECT, {style, width, 0, int(color & 0xFFFF), int(color >> 16)});
    return takeSlot();
}

int WmfWriter::createBrush(int style, quint32 color, int hatch)
{
    record(CREATEBRUSHINDIRECT, {style, int(color & 0xFFFF), int(color >> 16), hatch});
    return takeSlot();
}

int WmfWriter::createFont(int height, int weight, const QByteArray& face, int escapement, bool italic, int charSet)
{
    std::vector<quint16> w = {quint16(height), 0, quint16(escapement), quint16(escapement), quint16(weight),
                              quint16(italic ? 1 : 0), quint16(charSet << 8), 0, 0};
    QByteArray name = face.left(31);
    name.append('\0');
    if (name.size() & 1) name.append('\0');
    pushBytes(w, name);
    record(CREATEFONTINDIRECT, w);
    return takeSlot();
}

void WmfWriter::selectObject(int slot) { record(SELECTOBJECT, {slot}); }

void WmfWriter::deleteObject(int slot)
{
    record(DELETEOBJECT, {slot});
    if (slot >= 0 && slot < int(m_slots.size())) m_slots[size_t(slot)] = false;
}

void WmfWriter::moveTo(int x, int y) { record(MOVETO, {y, x}); }
void WmfWriter::lineTo(int x, int y) { record(LINETO, {y, x}); }
void WmfWriter::rectangle(int l, int t, int r, int b) { record(RECTANGLE, {b, r, t, l}); }
void WmfWriter::roundRect(int l, int t, int r, int b, int w, int h) { record(ROUNDRECT, {h, w, b, r, t, l}); }
void WmfWriter::ellipse(int l, int t, int r, int b) { record(ELLIPSE, {b, r, t, l}); }

void WmfWriter::arc(quint16 function, int l, int t, int r, int b, int xs, int ys, int xe, int ye)
{
    record(function, {ye, xe, ys, xs, b, r, t, l});
}

void WmfWriter::polyline(const std::vector<QPoint>& points)
{
    std::vector<quint16> w = {quint16(points.size())};
    for (const QPoint& p : points) { w.push_back(quint16(p.x())); w.push_back(quint16(p.y())); }
    record(POLYLINE, w);
}

void WmfWriter::polygon(const std::vector<QPoint>& points)
{
    std::vector<quint16> w = {quint16(points.size())};
    for (const QPoint& p : points) { w.push_back(quint16(p.x())); w.push_back(quint16(p.y())); }
    record(POLYGON, w);
}

void WmfWriter::polyPolygon(const std::vector<std::vector<QPoint>>& polygons)
{
    std::vector<quint16> w = {quint16(polygons.size())};
    for (const auto& poly : polygons) w.push_back(quint16(poly.size()));
    for (const auto& poly : polygons)
        for (const QPoint& p : poly) { w.push_back(quint16(p.x())); w.push_back(quint16(p.y())); }
    record(POLYPOLYGON, w);
}

void WmfWriter::textOut(int x, int y, const QByteArray& text)
{
    std::vector<quint16> w = {quint16(text.size())};
    pushBytes(w, text);
    w.push_back(quint16(y));
    w.push_back(quint16(x));
    record(TEXTOUT, w);
}

void WmfWriter::extTextOut(int x, int y, int options, const QRect& rect, const QByteArray& text,
                           const std::vector<int>& dx)
{
    std::vector<quint16> w = {quint16(y), quint16(x), quint16(text.size()), quint16(options)};
    if (options & (ETO_OPAQUE | ETO_CLIPPED)) {
        w.push_back(quint16(rect.left()));
        w.push_back(quint16(rect.top()));
        w.push_back(quint16(rect.left() + rect.width()));
        w.push_back(quint16(rect.top() + rect.height()));
    }
    pushBytes(w, text);
    for (int d : dx) w.push_back(quint16(d));
    record(EXTTEXTOUT, w);
}

void WmfWriter::stretchDib(int x, int y, int w, int h, const QImage& image)
{
    const QImage img = image.convertToFormat(QImage::Format_RGB32);
    const int stride = ((img.width() * 24 + 31) / 32) * 4;
    QByteArray dib;
    auto put32 = [&](quint32 v) { for (int i = 0; i < 4; ++i) dib.append(char((v >> (8 * i)) & 0xFF)); };
    auto put16 = [&](quint16 v) { dib.append(char(v & 0xFF)); dib.append(char(v >> 8)); };
    put32(40); put32(quint32(img.width())); put32(quint32(img.height()));
    put16(1); put16(24); put32(0); put32(quint32(stride * img.height()));
    put32(0); put32(0); put32(0); put32(0);
    for (int row = img.height() - 1; row >= 0; --row) {
        const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(row));
        QByteArray bytes;
        for (int i = 0; i < img.width(); ++i) {
            bytes.append(char(qBlue(line[i])));
            bytes.append(char(qGreen(line[i])));
            bytes.append(char(qRed(line[i])));
        }
        bytes.append(QByteArray(stride - bytes.size(), '\0'));
        dib.append(bytes);
    }
    const quint32 rop = SRCCOPY;
    std::vector<quint16> words = {quint16(rop & 0xFFFF), quint16(rop >> 16), 0,
                                  quint16(img.height()), quint16(img.width()), 0, 0,
                                  quint16(h), quint16(w), quint16(y), quint16(x)};
    pushBytes(words, dib);
    record(STRETCHDIB, words);
}

QByteArray WmfWriter::finish()
{
    std::vector<quint16> words = m_words;
    push32(words, 3);
    words.push_back(0);
    QByteArray out;
    // Placeable header with its checksum: the XOR of its first ten words.
    std::vector<quint16> ph = {quint16(PLACEABLE_KEY & 0xFFFF), quint16(PLACEABLE_KEY >> 16), 0,
                               quint16(m_left), quint16(m_top), quint16(m_right), quint16(m_bottom),
                               quint16(m_inch), 0, 0};
    quint16 sum = 0;
    for (quint16 v : ph) sum ^= v;
    for (quint16 v : ph) append16(out, v);
    append16(out, sum);
    const quint32 total = quint32(words.size() + 9);
    append16(out, 1);
    append16(out, 9);
    append16(out, 0x0300);
    append16(out, quint16(total & 0xFFFF));
    append16(out, quint16(total >> 16));
    append16(out, quint16(m_maxObjects));
    append16(out, quint16(m_maxRecord & 0xFFFF));
    append16(out, quint16(m_maxRecord >> 16));
    append16(out, 0);
    for (quint16 v : words) append16(out, v);
    return out;
}
