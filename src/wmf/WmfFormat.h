#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QRegion>
#include <QString>

#include <cstdint>
#include <variant>
#include <vector>

// Windows metafile: record function numbers, GDI constants and the display
// list that the decoder produces and the player plays.
namespace wmf {

constexpr quint32 PLACEABLE_KEY = 0x9AC6CDD7u;
constexpr int PLACEABLE_SIZE = 22;
constexpr int HEADER_SIZE = 18;

enum Function : quint16 {
    EOF_RECORD = 0x0000,
    SAVEDC = 0x001E, REALIZEPALETTE = 0x0035, SETPALENTRIES = 0x0037,
    SETBKMODE = 0x0102, SETMAPMODE = 0x0103, SETROP2 = 0x0104, SETRELABS = 0x0105,
    SETPOLYFILLMODE = 0x0106, SETSTRETCHBLTMODE = 0x0107, SETTEXTCHAREXTRA = 0x0108,
    RESTOREDC = 0x0127, INVERTREGION = 0x012A, PAINTREGION = 0x012B, SELECTCLIPREGION = 0x012C,
    SELECTOBJECT = 0x012D, SETTEXTALIGN = 0x012E, RESIZEPALETTE = 0x0139, DIBCREATEPATTERNBRUSH = 0x0142,
    SETLAYOUT = 0x0149, DELETEOBJECT = 0x01F0, CREATEPATTERNBRUSH = 0x01F9,
    SETBKCOLOR = 0x0201, SETTEXTCOLOR = 0x0209, SETTEXTJUSTIFICATION = 0x020A,
    SETWINDOWORG = 0x020B, SETWINDOWEXT = 0x020C, SETVIEWPORTORG = 0x020D, SETVIEWPORTEXT = 0x020E,
    OFFSETWINDOWORG = 0x020F, OFFSETVIEWPORTORG = 0x0211, LINETO = 0x0213, MOVETO = 0x0214,
    OFFSETCLIPRGN = 0x0220, FILLREGION = 0x0228, SETMAPPERFLAGS = 0x0231, SELECTPALETTE = 0x0234,
    CREATEPENINDIRECT = 0x02FA, CREATEFONTINDIRECT = 0x02FB, CREATEBRUSHINDIRECT = 0x02FC,
    POLYGON = 0x0324, POLYLINE = 0x0325, SCALEWINDOWEXT = 0x0410, SCALEVIEWPORTEXT = 0x0412,
    EXCLUDECLIPRECT = 0x0415, INTERSECTCLIPRECT = 0x0416, ELLIPSE = 0x0418, FLOODFILL = 0x0419,
    RECTANGLE = 0x041B, SETPIXEL = 0x041F, FRAMEREGION = 0x0429, ANIMATEPALETTE = 0x0436,
    TEXTOUT = 0x0521, POLYPOLYGON = 0x0538, EXTFLOODFILL = 0x0548, ROUNDRECT = 0x061C,
    PATBLT = 0x061D, ESCAPE = 0x0626, CREATEREGION = 0x06FF, ARC = 0x0817, PIE = 0x081A,
    CHORD = 0x0830, BITBLT = 0x0922, DIBBITBLT = 0x0940, EXTTEXTOUT = 0x0A32,
    STRETCHBLT = 0x0B23, DIBSTRETCHBLT = 0x0B41, SETDIBTODEV = 0x0D33, STRETCHDIB = 0x0F43,
    CREATEPALETTE = 0x00F7,
};

enum MapMode { MM_TEXT = 1, MM_LOMETRIC, MM_HIMETRIC, MM_LOENGLISH, MM_HIENGLISH, MM_TWIPS, MM_ISOTROPIC, MM_ANISOTROPIC };
enum PenStyle { PS_SOLID = 0, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME };
enum BrushStyle { BS_SOLID = 0, BS_NULL = 1, BS_HATCHED = 2, BS_PATTERN = 3, BS_DIBPATTERN = 5 };
enum Rop2 { R2_BLACK = 1, R2_NOTMERGEPEN, R2_MASKNOTPEN, R2_NOTCOPYPEN, R2_MASKPENNOT, R2_NOT, R2_XORPEN,
            R2_NOTMASKPEN, R2_MASKPEN, R2_NOTXORPEN, R2_NOP, R2_MERGENOTPEN, R2_COPYPEN, R2_MERGEPENNOT,
            R2_MERGEPEN, R2_WHITE };
enum TextAlign { TA_UPDATECP = 1, TA_RIGHT = 2, TA_CENTER = 6, TA_BOTTOM = 8, TA_BASELINE = 24 };
enum ExtTextOptions { ETO_OPAQUE = 2, ETO_CLIPPED = 4 };
enum BkMode { TRANSPARENT = 1, OPAQUE = 2 };
enum Rop3 : quint32 {
    SRCCOPY = 0x00CC0020, SRCPAINT = 0x00EE0086, SRCAND = 0x008800C6, SRCINVERT = 0x00660046,
    SRCERASE = 0x00440328, NOTSRCCOPY = 0x00330008, NOTSRCERASE = 0x001100A6, MERGECOPY = 0x00C000CA,
    MERGEPAINT = 0x00BB0226, PATCOPY = 0x00F00021, PATPAINT = 0x00FB0A09, PATINVERT = 0x005A0049,
    DSTINVERT = 0x00550009, BLACKNESS = 0x00000042, WHITENESS = 0x00FF0062,
};

// A colour as the file holds it: 0x00BBGGRR.
inline QColor colorRef(quint32 c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

struct Pen {
    int style = PS_SOLID;
    int width = 0;      // logical units; 0 is one device pixel
    quint32 color = 0;
};

struct Brush {
    int style = BS_SOLID;
    quint32 color = 0xFFFFFF;
    int hatch = 0;
    int image = -1;     // pattern: index into Picture::images
};

struct Font {
    int height = 0, width = 0, escapement = 0, orientation = 0, weight = 400;
    bool italic = false, underline = false, strikeOut = false;
    int charSet = 0;
    QByteArray faceName;
};

// A record's parameters by kind, named as in the GDI call (the file stores
// most of them in reverse order).
struct Value { int value = 0; bool operator==(const Value&) const = default; };       // a mode or a level
struct Slot { int slot = 0; bool operator==(const Slot&) const = default; };          // in the object table
struct ColorArg { quint32 color = 0; bool operator==(const ColorArg&) const = default; };
struct Coords {  // an origin, an extent, an offset or a point
    int x = 0, y = 0;
    bool operator==(const Coords&) const = default;
};
struct Scale {
    int xNum = 0, xDenom = 0, yNum = 0, yDenom = 0;
    bool operator==(const Scale&) const = default;
};
struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const Box&) const = default;
};
struct RoundBox {
    Box box;
    int cornerWidth = 0, cornerHeight = 0;
    bool operator==(const RoundBox&) const = default;
};
struct ArcBox {  // Arc, Pie and Chord: the ellipse's box and the two radial points
    Box box;
    int xStart = 0, yStart = 0, xEnd = 0, yEnd = 0;
    bool operator==(const ArcBox&) const = default;
};
struct Pixel {
    int x = 0, y = 0;
    quint32 color = 0;
    bool operator==(const Pixel&) const = default;
};
struct Justify {
    int extra = 0, breaks = 0;
    bool operator==(const Justify&) const = default;
};
struct RegionPaint {  // FillRgn and FrameRgn
    int region = 0, brush = 0, width = 0, height = 0;
    bool operator==(const RegionPaint&) const = default;
};
struct Polys {  // a polyline, a polygon, or the polygons of a PolyPolygon (counts: points of each)
    std::vector<QPoint> points;
    std::vector<int> counts;
    bool operator==(const Polys&) const = default;
};
struct TextRun {  // TextOut and ExtTextOut
    int x = 0, y = 0;
    int options = 0;
    Box rect;                 // opaque or clipping rectangle
    QByteArray text;
    std::vector<int> dx;      // advance of each byte, when the record gives them
    bool operator==(const TextRun&) const = default;
};
struct PatternBlt {
    int x = 0, y = 0, width = 0, height = 0;
    quint32 rop = 0;
    bool operator==(const PatternBlt&) const = default;
};
struct Blit {  // the block transfers and device-independent bitmaps
    int xDest = 0, yDest = 0, wDest = 0, hDest = 0;
    int xSrc = 0, ySrc = 0, wSrc = 0, hSrc = 0;
    quint32 rop = 0;
    int image = -1;           // into Picture::images; -1 when the record carries none
    bool operator==(const Blit&) const = default;
};
struct Created {  // an object: index into the picture's pens, brushes, fonts, palettes or regions
    int index = -1;
    bool operator==(const Created&) const = default;
};

using Params = std::variant<std::monostate, Value, Slot, ColorArg, Coords, Scale, Box, RoundBox, ArcBox, Pixel,
                            Justify, RegionPaint, Polys, TextRun, PatternBlt, Blit, Created>;

// One decoded record: its function and its parameters.
struct Record {
    quint16 function = 0;
    Params params;
};

// The record's parameters of the kind its function has; defaults when the
// record kept none (an object record whose content was unusable).
template <typename T>
const T& paramsOf(const Record& r)
{
    static const T none{};
    const T* p = std::get_if<T>(&r.params);
    return p ? *p : none;
}

// A decoded metafile: its frame and the display list.
struct Picture {
    bool placeable = false;
    int left = 0, top = 0, right = 0, bottom = 0;   // placeable bounding box, signed as stored
    int unitsPerInch = 1440;
    std::vector<Record> records;
    std::vector<Pen> pens;
    std::vector<Brush> brushes;
    std::vector<Font> fonts;
    std::vector<QImage> images;
    std::vector<QRegion> regions;
    std::vector<std::vector<quint32>> palettes;
    int skipped = 0;             // records not understood, escapes included

    // Size in HIMETRIC as the bounding box and its units per inch say; signed.
    int widthHimetric() const;
    int heightHimetric() const;
    // Whether playing the picture draws any text, and so needs fonts.
    bool drawsText() const;
};

} // namespace wmf
