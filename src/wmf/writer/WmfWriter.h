#pragma once

#include <QByteArray>
#include <QImage>
#include <QPoint>
#include <QRect>

#include <initializer_list>
#include <vector>

// Writes a placeable Windows metafile: the 22-byte header, the standard
// header and records. Parameters are taken in GDI call order and stored the
// way the file wants them. Object slots are handed out as the player takes
// them: the lowest free one.
class WmfWriter {
public:
    WmfWriter(int left, int top, int right, int bottom, int unitsPerInch);

    // Raw record: 16-bit words in file order.
    void record(quint16 function, std::initializer_list<int> words);
    void record(quint16 function, const std::vector<quint16>& words);

    void setMapMode(int mode);
    void setWindowOrg(int x, int y);
    void setWindowExt(int x, int y);
    void setViewportOrg(int x, int y);
    void setViewportExt(int x, int y);
    void setBkMode(int mode);
    void setTextColor(quint32 color);
    void setTextAlign(int align);
    void setPolyFillMode(int mode);
    void setRop2(int rop);
    void saveDc();
    void restoreDc(int n);
    void intersectClipRect(int l, int t, int r, int b);
    void excludeClipRect(int l, int t, int r, int b);

    int createPen(int style, int width, quint32 color);
    int createBrush(int style, quint32 color, int hatch = 0);
    int createFont(int height, int weight, const QByteArray& face, int escapement = 0, bool italic = false,
                   int charSet = 0);
    void selectObject(int slot);
    void deleteObject(int slot);

    void moveTo(int x, int y);
    void lineTo(int x, int y);
    void rectangle(int l, int t, int r, int b);
    void roundRect(int l, int t, int r, int b, int w, int h);
    void ellipse(int l, int t, int r, int b);
    void arc(quint16 function, int l, int t, int r, int b, int xs, int ys, int xe, int ye);
    void polyline(const std::vector<QPoint>& points);
    void polygon(const std::vector<QPoint>& points);
    void polyPolygon(const std::vector<std::vector<QPoint>>& polygons);
    void textOut(int x, int y, const QByteArray& text);
    void extTextOut(int x, int y, int options, const QRect& rect, const QByteArray& text,
                    const std::vector<int>& dx = {});
    // The image as a 24-bit bottom-up DIB stretched into (x, y, w, h).
    void stretchDib(int x, int y, int w, int h, const QImage& image);

    // The finished file, with header sizes, checksum and the end record.
    QByteArray finish();

private:
    int takeSlot();

    std::vector<quint16> m_words;   // records
    std::vector<bool> m_slots;
    int m_maxObjects = 0;
    quint32 m_maxRecord = 3;
    int m_left, m_top, m_right, m_bottom, m_inch;
};
