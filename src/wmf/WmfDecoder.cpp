#include "wmf/WmfDecoder.h"

#include "platform/Units.h"
#include "wmf/WmfDib.h"
#include "platform/BoundedReader.h"

#include <algorithm>
#include <cstdlib>

namespace wmf {

int Picture::widthHimetric() const
{
    if (unitsPerInch <= 0) return 0;
    return Units::DeviceToHimetric(right - left, unitsPerInch);
}

int Picture::heightHimetric() const
{
    if (unitsPerInch <= 0) return 0;
    return Units::DeviceToHimetric(bottom - top, unitsPerInch);
}

bool Picture::drawsText() const
{
    return std::any_of(records.begin(), records.end(), [](const Record& r) {
        const TextRun* run = std::get_if<TextRun>(&r.params);
        return run && !run->text.isEmpty();
    });
}

namespace {

class RecordDecoder {
public:
    RecordDecoder(Picture& pic, BoundedReader& r, quint16 function, qint64& imageBytes)
        : m_pic(pic), m_r(r), m_imageBytes(imageBytes)
    {
        m_rec.function = function;
    }

    // The file stores a point as y, then x, and a box as bottom, right, top, left.
    Coords coords()
    {
        const int y = m_r.s16();
        return {m_r.s16(), y};
    }
    Box box()
    {
        const int bottom = m_r.s16();
        const int right = m_r.s16();
        const int top = m_r.s16();
        return {m_r.s16(), top, right, bottom};
    }

    bool points(int count, std::vector<QPoint>& to)
    {
        if (count < 0 || qint64(count) * 4 > m_r.remaining()) return false;
        to.reserve(size_t(count));
        for (int i = 0; i < count; ++i) {
            const int x = m_r.s16();
            const int y = m_r.s16();
            to.emplace_back(x, y);
        }
        return true;
    }
    void created(int index) { m_rec.params = Created{index}; }

    QByteArray bytes(int n)
    {
        if (n < 0 || n > m_r.remaining()) n = int(m_r.remaining());
        QByteArray b(reinterpret_cast<const char*>(m_r.here()), n);
        m_r.skip(n);
        return b;
    }

    int addImage(const QImage& img)
    {
        if (img.isNull()) return -1;
        m_imageBytes += img.sizeInBytes();
        m_pic.images.push_back(img);
        return int(m_pic.images.size() - 1);
    }

    QImage dibRest(bool paletteIndices = false)
    {
        return decodeDib(m_r.here(), m_r.remaining(), paletteIndices,
                         m_pic.palettes.empty() ? nullptr : &m_pic.palettes.back());
    }

    bool decode(qint64 recordWords);

    Record m_rec;

private:
    bool decodeState(quint16 f);
    bool decodeShape(quint16 f);
    bool decodePoly(quint16 f);
    bool decodeTextOut();
    bool decodeExtTextOut();
    bool decodeBlit(quint16 f, qint64 recordWords);
    bool decodeStretchDib(quint16 f);
    bool decodePenOrBrush(quint16 f);
    bool decodeFont();
    bool decodePalette();
    bool decodeRegion();

    Picture& m_pic;
    BoundedReader& m_r;
    qint64& m_imageBytes;
};

bool RecordDecoder::decode(qint64 recordWords)
{
    const quint16 f = m_rec.function;
    switch (f) {
    case SETBKCOLOR: case SETTEXTCOLOR:
    case SETBKMODE: case SETMAPMODE: case SETROP2: case SETPOLYFILLMODE: case SETSTRETCHBLTMODE:
    case SETTEXTCHAREXTRA: case SETTEXTALIGN: case SELECTOBJECT: case DELETEOBJECT: case SELECTPALETTE:
    case SELECTCLIPREGION: case RESTOREDC: case PAINTREGION: case INVERTREGION: case SETRELABS:
    case SAVEDC: case REALIZEPALETTE: case EOF_RECORD:
    case SETTEXTJUSTIFICATION:
        return decodeState(f);
    case SETWINDOWORG: case SETWINDOWEXT: case SETVIEWPORTORG: case SETVIEWPORTEXT: case OFFSETWINDOWORG:
    case OFFSETVIEWPORTORG: case LINETO: case MOVETO: case OFFSETCLIPRGN:
    case SCALEWINDOWEXT: case SCALEVIEWPORTEXT: case EXCLUDECLIPRECT: case INTERSECTCLIPRECT:
    case RECTANGLE: case ELLIPSE: case ROUNDRECT: case ARC: case PIE: case CHORD:
    case SETPIXEL: case FILLREGION: case FRAMEREGION:
        return decodeShape(f);
    case POLYGON: case POLYLINE: case POLYPOLYGON:
        return decodePoly(f);
    case TEXTOUT:
        return decodeTextOut();
    case EXTTEXTOUT:
        return decodeExtTextOut();
    case PATBLT: case BITBLT: case DIBBITBLT: case STRETCHBLT: case DIBSTRETCHBLT:
        return decodeBlit(f, recordWords);
    case STRETCHDIB: case SETDIBTODEV:
        return decodeStretchDib(f);
    case CREATEPENINDIRECT: case CREATEBRUSHINDIRECT: case DIBCREATEPATTERNBRUSH: case CREATEPATTERNBRUSH:
        return decodePenOrBrush(f);
    case CREATEFONTINDIRECT:
        return decodeFont();
    case CREATEPALETTE: case SETPALENTRIES:
        return decodePalette();
    case CREATEREGION:
        return decodeRegion();
    default:
        return false;
    }
}

// Colours, modes, object selection and saved states.
bool RecordDecoder::decodeState(quint16 f)
{
    switch (f) {
    case SETBKCOLOR:
    case SETTEXTCOLOR:
        m_rec.params = ColorArg{m_r.u32()};
        break;
    case SELECTOBJECT: case DELETEOBJECT: case SELECTPALETTE: case SELECTCLIPREGION: case PAINTREGION:
    case INVERTREGION:
        m_rec.params = Slot{m_r.u16()};
        break;
    case SETBKMODE: case SETMAPMODE: case SETROP2: case SETPOLYFILLMODE: case SETSTRETCHBLTMODE:
    case SETTEXTALIGN: case SETRELABS:
        m_rec.params = Value{m_r.u16()};
        break;
    case SETTEXTCHAREXTRA: case RESTOREDC:
        m_rec.params = Value{m_r.s16()};
        break;
    case SETTEXTJUSTIFICATION: {
        const int breaks = m_r.s16();
        m_rec.params = Justify{m_r.s16(), breaks};
        break;
    }
    }
    return true;
}

// Window and viewport, clipping, lines, rectangles, arcs, pixels and region frames.
bool RecordDecoder::decodeShape(quint16 f)
{
    switch (f) {
    case SETWINDOWORG: case SETWINDOWEXT: case SETVIEWPORTORG: case SETVIEWPORTEXT: case OFFSETWINDOWORG:
    case OFFSETVIEWPORTORG: case LINETO: case MOVETO: case OFFSETCLIPRGN:
        m_rec.params = coords();
        break;
    case SCALEWINDOWEXT: case SCALEVIEWPORTEXT: {
        const int yDenom = m_r.s16();
        const int yNum = m_r.s16();
        const int xDenom = m_r.s16();
        m_rec.params = Scale{m_r.s16(), xDenom, yNum, yDenom};
        break;
    }
    case EXCLUDECLIPRECT: case INTERSECTCLIPRECT: case RECTANGLE: case ELLIPSE:
        m_rec.params = box();
        break;
    case ROUNDRECT: {
        const int height = m_r.s16();
        const int width = m_r.s16();
        m_rec.params = RoundBox{box(), width, height};
        break;
    }
    case ARC: case PIE: case CHORD: {
        const Coords end = coords();
        const Coords start = coords();
        m_rec.params = ArcBox{box(), start.x, start.y, end.x, end.y};
        break;
    }
    case SETPIXEL: {
        const quint32 color = m_r.u32();
        const Coords at = coords();
        m_rec.params = Pixel{at.x, at.y, color};
        break;
    }
    case FILLREGION: case FRAMEREGION: {
        RegionPaint paint;
        paint.region = m_r.u16();
        paint.brush = m_r.u16();
        if (f == FRAMEREGION) {
            paint.height = m_r.s16();
            paint.width = m_r.s16();
        }
        m_rec.params = paint;
        break;
    }
    }
    return true;
}

bool RecordDecoder::decodePoly(quint16 f)
{
    Polys poly;
    if (f != POLYPOLYGON) {
        if (!points(m_r.s16(), poly.points)) return false;
    } else {
        const int n = m_r.u16();
        if (qint64(n) * 2 > m_r.remaining()) return false;
        qint64 total = 0;
        poly.counts.reserve(size_t(n));
        for (int i = 0; i < n; ++i) {
            const int c = m_r.u16();
            poly.counts.push_back(c);
            total += c;
        }
        if (total * 4 > m_r.remaining()) return false;
        points(int(total), poly.points);
    }
    m_rec.params = std::move(poly);
    return true;
}

bool RecordDecoder::decodeTextOut()
{
    const int n = m_r.s16();
    if (n < 0 || n + (n & 1) + 4 > m_r.remaining()) return false;
    TextRun run;
    run.text = bytes(n);
    m_r.skip(n & 1);
    const Coords at = coords();
    run.x = at.x;
    run.y = at.y;
    m_rec.params = std::move(run);
    return true;
}

bool RecordDecoder::decodeExtTextOut()
{
    TextRun run;
    const Coords at = coords();
    run.x = at.x;
    run.y = at.y;
    const int n = m_r.s16();
    run.options = m_r.u16();
    if (run.options & (ETO_OPAQUE | ETO_CLIPPED)) {
        // Stored in reading order here, unlike the other records' boxes.
        run.rect.left = m_r.s16();
        run.rect.top = m_r.s16();
        run.rect.right = m_r.s16();
        run.rect.bottom = m_r.s16();
    }
    if (n < 0 || n > m_r.remaining()) return false;
    run.text = bytes(n);
    m_r.skip(qMin<qsizetype>(n & 1, m_r.remaining()));
    if (m_r.remaining() >= qint64(n) * 2) {
        run.dx.reserve(size_t(n));
        for (int i = 0; i < n; ++i) run.dx.push_back(m_r.s16());
    }
    m_rec.params = std::move(run);
    return true;
}

// The source and destination of a block transfer; the file stores them in
// reverse, and without a source size when the source is as big as the destination.
Blit readBlitArea(BoundedReader& r, bool stretch, bool skipWord)
{
    Blit b;
    if (stretch) {
        b.hSrc = r.s16();
        b.wSrc = r.s16();
    }
    b.ySrc = r.s16();
    b.xSrc = r.s16();
    if (skipWord) r.s16();
    b.hDest = r.s16();
    b.wDest = r.s16();
    b.yDest = r.s16();
    b.xDest = r.s16();
    if (!stretch) {
        b.wSrc = b.wDest;
        b.hSrc = b.hDest;
    }
    return b;
}

// Pattern fills and block transfers, with or without a bitmap of their own.
bool RecordDecoder::decodeBlit(quint16 f, qint64 recordWords)
{
    const quint32 rop = m_r.u32();
    if (f == PATBLT) {
        const int height = m_r.s16();
        const int width = m_r.s16();
        const Coords at = coords();
        m_rec.params = PatternBlt{at.x, at.y, width, height, rop};
        return true;
    }
    const bool withBitmap = recordWords != qint64(f >> 8) + 3;
    Blit blit = readBlitArea(m_r, f == STRETCHBLT || f == DIBSTRETCHBLT, !withBitmap);
    blit.rop = rop;
    if (withBitmap) {
        blit.image = addImage((f == BITBLT || f == STRETCHBLT) ? decodeBitmap16(m_r.here(), m_r.remaining())
                                                               : dibRest());
    }
    m_rec.params = blit;
    return true;
}

bool RecordDecoder::decodeStretchDib(quint16 f)
{
    quint32 rop = SRCCOPY;
    int usage = 0;
    Blit blit;
    if (f == STRETCHDIB) {
        rop = m_r.u32();
        usage = m_r.u16();
        blit = readBlitArea(m_r, true, false);
    } else {
        usage = m_r.u16();
        m_r.u16();  // scan count
        m_r.u16();  // start scan
        blit = readBlitArea(m_r, false, false);
    }
    blit.rop = rop;
    blit.image = addImage(dibRest(usage == 1));
    m_rec.params = blit;
    return true;
}

bool RecordDecoder::decodePenOrBrush(quint16 f)
{
    switch (f) {
    case CREATEPENINDIRECT: {
        Pen p;
        p.style = m_r.u16();
        p.width = m_r.s16();
        m_r.s16();
        p.color = m_r.u32();
        m_pic.pens.push_back(p);
        created(int(m_pic.pens.size() - 1));
        break;
    }
    case CREATEBRUSHINDIRECT: {
        Brush b;
        b.style = m_r.u16();
        b.color = m_r.u32();
        b.hatch = m_r.u16();
        m_pic.brushes.push_back(b);
        created(int(m_pic.brushes.size() - 1));
        break;
    }
    case DIBCREATEPATTERNBRUSH: case CREATEPATTERNBRUSH: {
        Brush b;
        b.style = BS_DIBPATTERN;
        QImage img;
        if (f == DIBCREATEPATTERNBRUSH) {
            m_r.u16();
            const int usage = m_r.u16();
            img = dibRest(usage == 1);
        } else if (m_r.remaining() >= 28) {
            // The bits follow 18 reserved bytes after the 10-byte bitmap header.
            QByteArray copy(reinterpret_cast<const char*>(m_r.here()), 10);
            copy.append(reinterpret_cast<const char*>(m_r.here()) + 28, int(m_r.remaining() - 28));
            img = decodeBitmap16(reinterpret_cast<const uchar*>(copy.constData()), copy.size());
        } else {
            img = decodeBitmap16(m_r.here(), m_r.remaining());
        }
        b.image = addImage(img);
        if (b.image < 0) b.style = BS_NULL;
        m_pic.brushes.push_back(b);
        created(int(m_pic.brushes.size() - 1));
        break;
    }
    }
    return true;
}

bool RecordDecoder::decodeFont()
{
    Font ft;
    ft.height = m_r.s16();
    ft.width = m_r.s16();
    ft.escapement = m_r.s16();
    ft.orientation = m_r.s16();
    ft.weight = m_r.s16();
    ft.italic = m_r.u8();
    ft.underline = m_r.u8();
    ft.strikeOut = m_r.u8();
    ft.charSet = m_r.u8();
    m_r.skip(qMin<qsizetype>(4, m_r.remaining()));
    QByteArray face = bytes(int(qMin<qsizetype>(32, m_r.remaining())));
    const int zero = face.indexOf('\0');
    if (zero >= 0) face.truncate(zero);
    ft.faceName = face;
    m_pic.fonts.push_back(ft);
    created(int(m_pic.fonts.size() - 1));
    return true;
}

bool RecordDecoder::decodePalette()
{
    m_r.u16();
    int n = m_r.u16();
    if (qint64(n) * 4 > m_r.remaining()) n = int(m_r.remaining() / 4);
    std::vector<quint32> entries;
    entries.reserve(size_t(n));
    for (int i = 0; i < n; ++i) entries.push_back(m_r.u32() & 0xFFFFFF);
    m_pic.palettes.push_back(std::move(entries));
    created(int(m_pic.palettes.size() - 1));
    return true;
}

bool RecordDecoder::decodeRegion()
{
    m_r.skip(qMin<qsizetype>(10, m_r.remaining()));  // next in chain, type, count, size
    int scans = m_r.s16();
    m_r.s16();
    for (int i = 0; i < 4; ++i) m_r.s16();
    QRegion region;
    std::vector<QRect> rects;
    for (int s = 0; s < scans && m_r.ok() && m_r.remaining() >= 6; ++s) {
        const int count = m_r.u16();
        const int top = m_r.s16();
        const int bottom = m_r.s16();
        if (qint64(count) * 2 + 2 > m_r.remaining()) break;
        for (int i = 0; i + 1 < count; i += 2) {
            const int l = m_r.s16();
            const int r = m_r.s16();
            if (r > l && bottom > top) rects.emplace_back(l, top, r - l, bottom - top);
        }
        if (count & 1) m_r.s16();
        m_r.u16();
    }
    if (!rects.empty()) region.setRects(rects.data(), int(rects.size()));
    m_pic.regions.push_back(region);
    created(int(m_pic.regions.size() - 1));
    return true;
}

// Functions that take a slot in the object table even when their content is unusable.
bool createsObject(quint16 f)
{
    return f == CREATEPENINDIRECT || f == CREATEBRUSHINDIRECT || f == DIBCREATEPATTERNBRUSH
        || f == CREATEPATTERNBRUSH || f == CREATEFONTINDIRECT || f == CREATEPALETTE || f == CREATEREGION;
}

// Reads the placeable header, if any, and the metafile header; returns why the file is refused, or nullptr.
const char* readHeaders(BoundedReader& r, Picture& pic, NonPlaceable nonPlaceable)
{
    if (r.remaining() < HEADER_SIZE) return "file too short for a metafile header";
    BoundedReader peek = r;
    if (peek.u32() == PLACEABLE_KEY) {
        if (r.remaining() < PLACEABLE_SIZE + HEADER_SIZE) return "file too short for a placeable metafile";
        r.u32();
        r.u16();
        pic.left = r.s16();
        pic.top = r.s16();
        pic.right = r.s16();
        pic.bottom = r.s16();
        pic.unitsPerInch = r.u16();
        r.u32();
        r.u16();
        pic.placeable = true;
        if (pic.unitsPerInch == 0) return "placeable header with zero units per inch";
        if (pic.left == pic.right || pic.top == pic.bottom) return "placeable header with an empty bounding box";
    } else if (nonPlaceable == NonPlaceable::Reject) {
        return "no placeable header";
    }
    const qsizetype headerStart = r.pos();
    const int type = r.u16();
    const int headerWords = r.u16();
    const int version = r.u16();
    if ((type != 1 && type != 2) || headerWords != 9 || (version != 0x0100 && version != 0x0300))
        return "not a metafile header";
    r.seek(headerStart + HEADER_SIZE);
    if (r.remaining() < 6) return "the file ends before its first record";
    return nullptr;
}

// Keeps a decoded record; an unusable one is counted as skipped, yet still holds its object slot.
void keepRecord(Picture& pic, RecordDecoder& d, quint16 function, bool ok)
{
    if (ok) {
        pic.records.push_back(std::move(d.m_rec));
    } else if (createsObject(function)) {
        // The slot must still be taken or every later index is off by one.
        Record empty;
        empty.function = function;
        pic.records.push_back(std::move(empty));
        ++pic.skipped;
    } else {
        ++pic.skipped;
    }
}

// Without a placeable header the first window origin and extent give the picture's bounds.
void noteWindow(Picture& pic, quint16 function, bool& haveWindowOrg, bool& haveWindowExt)
{
    const Coords* at = std::get_if<Coords>(&pic.records.back().params);
    if (!at) return;
    if (function == SETWINDOWORG && !haveWindowOrg) {
        pic.left = at->x;
        pic.top = at->y;
        haveWindowOrg = true;
    } else if (function == SETWINDOWEXT && !haveWindowExt) {
        pic.right = at->x;
        pic.bottom = at->y;
        haveWindowExt = true;
    }
}

// Reads the records up to the end-of-file record; returns why the file is refused, or nullptr.
const char* readRecords(const QByteArray& data, BoundedReader& r, Picture& pic, bool& haveWindowExt)
{
    bool haveWindowOrg = false;
    qint64 imageBytes = 0;
    while (r.remaining() >= 6 && int(pic.records.size()) < MAX_RECORDS) {
        const qsizetype start = r.pos();
        const qint64 words = r.u32();
        const quint16 function = r.u16();
        if (words < 3 || words * 2 > qint64(r.size() - start)) break;  // garbage or truncated: keep what came before
        if (function == EOF_RECORD) break;
        const qsizetype end = start + qsizetype(words) * 2;
        BoundedReader body(reinterpret_cast<const uchar*>(data.constData()) + r.pos(), end - r.pos());
        RecordDecoder d(pic, body, function, imageBytes);
        const bool ok = d.decode(words) && body.ok();
        if (imageBytes > MAX_IMAGE_BYTES) {
            pic = Picture();
            return "the bitmaps take more memory than any target needs";
        }
        keepRecord(pic, d, function, ok);
        if (!pic.placeable && (function == SETWINDOWORG || function == SETWINDOWEXT) && ok)
            noteWindow(pic, function, haveWindowOrg, haveWindowExt);
        r.seek(end);
    }
    return nullptr;
}

} // namespace

bool LooksLikeMetafile(const QByteArray& head)
{
    BoundedReader r(reinterpret_cast<const uchar*>(head.constData()), head.size());
    if (r.remaining() < HEADER_SIZE) return false;
    BoundedReader peek = r;
    if (peek.u32() == PLACEABLE_KEY) {
        if (r.remaining() < PLACEABLE_SIZE + HEADER_SIZE) return false;
        r.seek(PLACEABLE_SIZE);
    }
    const int type = r.u16();
    const int headerWords = r.u16();
    return (type == 1 || type == 2) && headerWords == 9;
}

bool decode(const QByteArray& data, Picture& pic, QString* error, NonPlaceable nonPlaceable)
{
    auto fail = [&](const char* why) {
        if (error) *error = QString::fromLatin1(why);
        return false;
    };
    pic = Picture();
    BoundedReader r(reinterpret_cast<const uchar*>(data.constData()), data.size());
    if (const char* why = readHeaders(r, pic, nonPlaceable)) return fail(why);

    bool haveWindowExt = false;
    if (const char* why = readRecords(data, r, pic, haveWindowExt)) return fail(why);
    if (!pic.placeable) {
        if (!haveWindowExt || pic.right == 0 || pic.bottom == 0) return fail("no placeable header and no window extent");
        pic.right += pic.left;
        pic.bottom += pic.top;
        pic.unitsPerInch = 1440;
    }
    return true;
}

} // namespace wmf
