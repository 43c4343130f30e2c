#pragma once

#include <QImage>
#include <QList>
#include <QString>

#include <cstddef>
#include <functional>
#include <memory>

// The 40-byte bitmap information header as it sits at the start of a packed
// device-independent bitmap (all fields little-endian on disk).
struct BitmapInfoHeader {
    quint32 biSize = 40;
    qint32 biWidth = 0;
    qint32 biHeight = 0;
    quint16 biPlanes = 1;
    quint16 biBitCount = 0;
    quint32 biCompression = 0;
    quint32 biSizeImage = 0;
    qint32 biXPelsPerMeter = 0;
    qint32 biYPelsPerMeter = 0;
    quint32 biClrUsed = 0;
    quint32 biClrImportant = 0;
};

constexpr int BITMAP_INFO_HEADER_SIZE = 40;

// Bounds on what a file may make us allocate: at most this many pixels and
// this many bytes of pixel rows. Anything larger is refused as out of memory
// before any allocation.
// The fuzzing build lowers every bound (VANTRIC_SMALL_LIMITS) so that each
// run stays quick while the paths that enforce them are still taken.
#ifdef VANTRIC_SMALL_LIMITS
constexpr qint64 MAX_RASTER_PIXELS = qint64(4096) * 4096;
constexpr qint64 MAX_RASTER_BYTES = qint64(48) << 20;
#else
constexpr qint64 MAX_RASTER_PIXELS = qint64(32768) * 32768;
constexpr qint64 MAX_RASTER_BYTES = qint64(1) << 30;
#endif
// The most pixels one drawing hands a printer: a letter sheet at 1200 dpi is
// about twice this, so printed targets lose nothing they could show.
#ifdef VANTRIC_SMALL_LIMITS
constexpr qint64 MAX_PRINT_PIXELS = qint64(1) * 1000 * 1000;
#else
constexpr qint64 MAX_PRINT_PIXELS = qint64(64) * 1000 * 1000;
#endif
// The same for one sheet of a print preview, which keeps all its sheets.
constexpr qint64 MAX_PREVIEW_PIXELS = qint64(2) * 1000 * 1000;

// Frees a bitmap block: large blocks are mapped (in huge pages where the
// system allows), small ones come from the heap; mapped says how many bytes
// to unmap.
struct RasterBlockDeleter {
    std::size_t mapped = 0;
    void operator()(uchar* p) const;
};

// One packed device-independent bitmap: the 40-byte header, the palette
// (blue, green, red, 0 per entry; 2, 16 or 256 of them at 1, 4 or 8 bits)
// and the pixel rows, bottom row first, each row padded to a multiple of 4
// bytes. The depth is always 1, 4, 8 or 24 bits. The decoders fill it; the
// raster target draws it.
class RasterBitmap {
public:
    RasterBitmap() = default;
    virtual ~RasterBitmap();
    RasterBitmap(const RasterBitmap&) = delete;
    RasterBitmap& operator=(const RasterBitmap&) = delete;

    quint32 Width() const { return m_block ? quint32(m_header.biWidth) : 0; }
    quint32 Height() const { return m_block ? quint32(m_header.biHeight) : 0; }
    int DpiX() const { return m_dpiX; }
    int DpiY() const { return m_dpiY; }
    QString LastError() const { return m_lastError; }

    // The packed bitmap: header, palette, rows. Null without an image.
    const uchar* Block() const { return m_block.get(); }
    std::size_t BlockSize() const { return m_blockSize; }
    const BitmapInfoHeader& Header() const { return m_header; }
    int BitsPerPixel() const { return m_block ? m_header.biBitCount : 0; }
    int PaletteSize() const { return m_block ? int(m_header.biClrUsed) : 0; }
    quint32 EffectiveWidth() const { return m_effectiveWidth; }

    // Replaces the bitmap with a zeroed one of width x height at the depth
    // that bitsPerPixel rounds up to (1, 4, 8, else 24). Fails, leaving no
    // bitmap, when a dimension is not positive, the size is beyond the bounds
    // above or the memory cannot be had. Never throws.
    bool CreateBitmap(qint64 width, qint64 height, int bitsPerPixel);
    // Sets the resolution and the header's pixels per metre to match.
    void SetDpi(int dpiX, int dpiY);
    void SetError(const QString& text);
    // Row y in memory order (0 is the bottom row of the picture).
    uchar* Row(quint32 y) { return m_bits + std::size_t(y) * m_effectiveWidth; }
    const uchar* Row(quint32 y) const { return m_bits + std::size_t(y) * m_effectiveWidth; }
    uchar* Bits() { return m_bits; }
    std::size_t ImageBytes() const { return std::size_t(m_header.biSizeImage); }
    // Palette entry i: blue, green, red, 0.
    uchar* Palette() { return m_block ? m_block.get() + BITMAP_INFO_HEADER_SIZE : nullptr; }
    const uchar* Palette() const { return m_block ? m_block.get() + BITMAP_INFO_HEADER_SIZE : nullptr; }

    // The palette as colours, every entry the header counts; empty at 24 bits.
    QList<QRgb> ColorTable() const;
    // The palette index of pixel x of a row at 1, 4 or 8 bits.
    static uchar PaletteIndex(const uchar* row, quint32 x, int depth)
    {
        if (depth == 8) return row[x];
        if (depth == 4) return (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4);
        return (row[x >> 3] >> (7 - (x & 7))) & 1;
    }
    // Upright row y (0 is the top) as colours: out[i] is the pixel of column
    // columns[i], or of column i when columns is null. table is ColorTable().
    void RowColors(quint32 uprightRow, const quint32* columns, int count, const QList<QRgb>& table,
                   QRgb* out) const;

    // The picture upright as a QImage that owns its pixels (null without a
    // bitmap): Mono, Indexed8 or BGR888 as the depth gives.
    QImage ToImage() const;
    // The whole picture reduced to width x height (each no larger than the
    // bitmap's) by averaging the source area under each pixel; RGB32. Null
    // without a bitmap or for sizes out of range.
    QImage AreaAveraged(int width, int height) const;

protected:
    // Takes other's bitmap, resolution included; other is left empty.
    void TakeBitmap(RasterBitmap& other);
    // The bitmap is about to be freed or replaced: whatever was made from it
    // goes.
    virtual void BitmapReplaced() {}

private:
    void freeBitmap();

    std::unique_ptr<uchar, RasterBlockDeleter> m_block;
    std::size_t m_blockSize = 0;
    BitmapInfoHeader m_header;
    quint32 m_effectiveWidth = 0;
    uchar* m_bits = nullptr;
    int m_dpiX = 72;
    int m_dpiY = 72;
    QString m_lastError;
};

// Reduces a picture of sourceWidth x sourceHeight to width x height (each no
// larger than the source's) by averaging the source area under each pixel,
// exactly, in RGB32. rowColors(y, out) gives upright source row y as colours.
// Null for sizes out of range or when the memory cannot be had.
QImage AreaAverage(int sourceWidth, int sourceHeight, int width, int height,
                   const std::function<void(quint32, QRgb*)>& rowColors);
// The same for a QImage: how a picture is shrunk for the screen.
QImage AreaAverage(const QImage& image, int width, int height);
