#include "document/PngDecoder.h"

#include <QImageReader>
#include <QPainter>
#include <QIODevice>
#include <QtEndian>

#include <cmath>
#include <cstring>
#include <mutex>

#include "document/RasterBitmap.h"

namespace {

constexpr char kSignature[8] = {'\x89', 'P', 'N', 'G', '\r', '\n', '\x1a', '\n'};

// A PNG without a resolution is a screen picture.
constexpr int kDefaultDpi = 96;

int dpiOf(int ppm) { return int(std::lround(ppm * 0.0254)); }

} // namespace

bool ReadPngResolution(QIODevice& device, int* ppmX, int* ppmY)
{
    char signature[8];
    if (device.read(signature, 8) != 8 || std::memcmp(signature, kSignature, 8) != 0) return false;
    // Chunks until the pixel data; each length is checked against what the
    // device still holds before it is skipped.
    for (;;) {
        uchar head[8];
        if (device.read(reinterpret_cast<char*>(head), 8) != 8) return false;
        const quint32 length = qFromBigEndian<quint32>(head);
        if (length > 0x7FFFFFFFu) return false;
        if (std::memcmp(head + 4, "IDAT", 4) == 0 || std::memcmp(head + 4, "IEND", 4) == 0) return false;
        if (std::memcmp(head + 4, "pHYs", 4) == 0) {
            uchar body[9];
            if (length != 9 || device.read(reinterpret_cast<char*>(body), 9) != 9) return false;
            const quint32 x = qFromBigEndian<quint32>(body), y = qFromBigEndian<quint32>(body + 4);
            if (body[8] != 1 || x == 0 || y == 0 || x > 0x7FFFFFFFu || y > 0x7FFFFFFFu) return false;
            *ppmX = int(x);
            *ppmY = int(y);
            return true;
        }
        const qint64 skip = qint64(length) + 4;  // data and CRC
        if (!device.isSequential()) {
            if (device.size() - device.pos() < skip || !device.seek(device.pos() + skip)) return false;
        } else if (device.skip(skip) != skip) {
            return false;
        }
    }
}

namespace {

// The file's resolution, or the screen's when it carries none; the device is
// put back where it was. False when it cannot be.
bool readDpi(QIODevice& device, RasterBitmap& image, int& dpiX, int& dpiY)
{
    const qint64 start = device.pos();
    int ppmX = 0, ppmY = 0;
    dpiX = kDefaultDpi;
    dpiY = kDefaultDpi;
    if (ReadPngResolution(device, &ppmX, &ppmY)) {
        dpiX = dpiOf(ppmX);
        dpiY = dpiOf(ppmY);
    }
    if (!device.seek(start)) {
        image.SetError(QStringLiteral("Cannot read the file"));
        return false;
    }
    return true;
}

// The pixels as Qt decodes them, after the size has passed the raster
// bounds; a null image (with the error set) when it fails.
QImage readBounded(QIODevice& device, RasterBitmap& image)
{
    QImageReader reader(&device, "png");
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty()) {
        image.SetError(QStringLiteral("Not a PNG image"));
        return QImage();
    }
    // The same bounds as every raster: refused before any pixel is decoded.
    if (qint64(size.width()) * size.height() > MAX_RASTER_PIXELS
        || qint64(size.width()) * 3 * size.height() > MAX_RASTER_BYTES) {
        image.SetError(QStringLiteral("Out of memory"));
        return QImage();
    }
    // Qt decodes 16-bit files at 8 bytes a pixel, others at 4 or less; its
    // limit on a decoded image (one for the whole process) is raised to
    // what the raster bounds allow, never lowered.
    const qint64 decodedBytes = qint64(size.width()) * size.height() * 8;
    if (decodedBytes > 2 * MAX_RASTER_BYTES) {
        image.SetError(QStringLiteral("Out of memory"));
        return QImage();
    }
    // Once, whichever thread decodes the first PNG.
    static std::once_flag raised;
    std::call_once(raised, [] {
        const int limitMb = int(2 * MAX_RASTER_BYTES >> 20);
        if (QImageReader::allocationLimit() > 0 && QImageReader::allocationLimit() < limitMb)
            QImageReader::setAllocationLimit(limitMb);
    });
    QImage decoded = reader.read();
    if (decoded.isNull()) image.SetError(reader.errorString());
    return decoded;
}

// An opaque palette or grey picture as an 8-bit bitmap with its palette.
bool copyIndexed(const QImage& decoded, RasterBitmap& image)
{
    QImage indexed = decoded.format() == QImage::Format_Indexed8 ? decoded
                                                                  : decoded.convertToFormat(QImage::Format_Indexed8);
    if (indexed.isNull() || !image.CreateBitmap(indexed.width(), indexed.height(), 8)) {
        image.SetError(QStringLiteral("Out of memory"));
        return false;
    }
    const QList<QRgb> table = indexed.colorTable();
    uchar* pal = image.Palette();
    for (int i = 0; i < 256; ++i) {
        const QRgb c = i < table.size() ? table[i] : 0;
        pal[4 * i] = uchar(qBlue(c));
        pal[4 * i + 1] = uchar(qGreen(c));
        pal[4 * i + 2] = uchar(qRed(c));
        pal[4 * i + 3] = 0;
    }
    for (int y = 0; y < indexed.height(); ++y)
        std::memcpy(image.Row(quint32(indexed.height() - 1 - y)), indexed.constScanLine(y), size_t(indexed.width()));
    return true;
}

// Any other picture as a 24-bit bitmap; the decoded pixels are let go
// before the copy.
bool copyRgb(QImage& decoded, RasterBitmap& image)
{
    // Transparent parts are the paper's white.
    QImage rgb(decoded.size(), QImage::Format_RGB888);
    if (rgb.isNull() || !image.CreateBitmap(decoded.width(), decoded.height(), 24)) {
        image.SetError(QStringLiteral("Out of memory"));
        return false;
    }
    rgb.fill(Qt::white);
    {
        QPainter painter(&rgb);
        painter.drawImage(0, 0, decoded);
    }
    decoded = QImage();
    for (int y = 0; y < rgb.height(); ++y) {
        const uchar* src = rgb.constScanLine(y);
        uchar* dst = image.Row(quint32(rgb.height() - 1 - y));
        for (int x = 0; x < rgb.width(); ++x) {
            dst[3 * x] = src[3 * x + 2];
            dst[3 * x + 1] = src[3 * x + 1];
            dst[3 * x + 2] = src[3 * x];
        }
    }
    return true;
}

} // namespace

bool DecodePng(QIODevice& device, RasterBitmap& image)
{
    int dpiX = kDefaultDpi, dpiY = kDefaultDpi;
    if (!readDpi(device, image, dpiX, dpiY)) return false;
    QImage decoded = readBounded(device, image);
    if (decoded.isNull()) return false;

    const bool palette8 = decoded.format() == QImage::Format_Indexed8 || decoded.format() == QImage::Format_Grayscale8
                          || decoded.format() == QImage::Format_Mono || decoded.format() == QImage::Format_MonoLSB;
    const bool copied = palette8 && !decoded.hasAlphaChannel() ? copyIndexed(decoded, image) : copyRgb(decoded, image);
    if (!copied) return false;
    image.SetDpi(dpiX, dpiY);
    return true;
}
