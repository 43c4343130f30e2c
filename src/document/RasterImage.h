#pragma once

#include <QImage>
#include <QString>

#include <cstddef>
#include <memory>

#include "platform/DeviceContext.h"

class QIODevice;

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

// A raster target (".bmp" type 0, ".jpg"/".jpeg" type 1, ".png" type 2) held as one packed
// device-independent bitmap: the 40-byte header, the palette (blue, green,
// red, 0 per entry) and the pixel rows, bottom row first, each row padded to
// a multiple of 4 bytes. In memory the depth is always 1, 4, 8 or 24 bits.
class RasterImage {
public:
    enum Type { TYPE_BMP = 0, TYPE_JPEG = 1, TYPE_PNG = 2 };

    explicit RasterImage(int type);
    ~RasterImage();
    RasterImage(const RasterImage&) = delete;
    RasterImage& operator=(const RasterImage&) = delete;

    // Decodes the file with the decoder of this image's type. On failure the
    // previous content stays and LastError() says why (empty when the file
    // could not be opened).
    bool Load(const QString& path);
    // The same for an open device, read from its current position.
    bool Load(QIODevice& device);

    // Stretches the whole bitmap into (x, y, width, height). With the
    // HALFTONE stretch mode (a window's view asks for it) a picture made
    // smaller on screen is averaged over the area each device pixel covers,
    // so thin lines stay visible; the result is kept for the size last drawn,
    // so repaints at one zoom only copy it. Otherwise the mode becomes
    // COLORONCOLOR and each device pixel takes the source pixel under its
    // centre. On a printer the image goes out at its own pixels and the
    // device scales it, unless it has more pixels than the sheet shows: then
    // only what the sheet shows goes out, at the device's resolution.
    bool Draw(DeviceContext& dc, int x, int y, int width, int height);

    quint32 Width() const { return m_block ? quint32(m_header.biWidth) : 0; }
    quint32 Height() const { return m_block ? quint32(m_header.biHeight) : 0; }
    int DpiX() const { return m_dpiX; }
    int DpiY() const { return m_dpiY; }
    int Type() const { return m_type; }
    QString LastError() const { return m_lastError; }

    // The packed bitmap: header, palette, rows. Null without an image.
    const uchar* Block() const { return m_block.get(); }
    std::size_t BlockSize() const { return m_blockSize; }
    const BitmapInfoHeader& Header() const { return m_header; }
    int BitsPerPixel() const { return m_block ? m_header.biBitCount : 0; }
    int PaletteSize() const { return m_block ? int(m_header.biClrUsed) : 0; }
    quint32 EffectiveWidth() const { return m_effectiveWidth; }

    // For the decoders ------------------------------------------------------

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

    // The picture upright as a QImage that owns its pixels (null without a
    // bitmap): Mono, Indexed8 or BGR888 as the depth gives.
    QImage ToImage() const;
    // The whole picture reduced to width x height (each no larger than the
    // bitmap's) by averaging the source area under each pixel; RGB32. Null
    // without a bitmap or for sizes out of range.
    QImage AreaAveraged(int width, int height) const;

private:
    void takeFrom(RasterImage& other);
    void freeBitmap();
    bool drawSampled(DeviceContext& dc, int x, int y, int width, int height);
    // The screen path for pictures drawn smaller than the bitmap, from
    // m_screenImage; false when it does not apply.
    bool drawScreenAveraged(DeviceContext& dc, int x, int y, int width, int height);
    // One source row (top-down) as 8-bit red, green, blue triples.
    void rowToRgb(quint32 topDownRow, uchar* rgb) const;
    bool drawPrinted(DeviceContext& dc, int x, int y, int width, int height);
    // What drawPrinted hands the device when the bitmap is too large to go
    // out whole.
    QImage printPart(qint64 u0, qint64 v0, qint64 cw, qint64 ch, const QSizeF& destOnDevice, double maxPixels) const;

    int m_type;
    std::unique_ptr<uchar, RasterBlockDeleter> m_block;
    std::size_t m_blockSize = 0;
    BitmapInfoHeader m_header;
    quint32 m_effectiveWidth = 0;
    uchar* m_bits = nullptr;
    int m_dpiX = 72;
    int m_dpiY = 72;
    QString m_lastError;
    // What printers are given, made at the first print and kept with the
    // bitmap.
    QImage m_printImage;
    // What screens are given when the picture is drawn smaller: the whole
    // picture averaged down to the size last drawn.
    QImage m_screenImage;
};
