#include "document/BmpDecoder.h"

#include <QBuffer>
#include <QFile>

#include <cmath>

#include "document/RasterImage.h"
#include "wmf/WmfDib.h"
#include "platform/BoundedReader.h"

namespace {

constexpr quint16 BMP_SIGNATURE = 0x4D42;  // "BM"
constexpr int FILE_HEADER_SIZE = 14;
// A device that is neither a file nor a buffer is read whole, up to the
// largest bitmap we keep and room for its headers.
constexpr qint64 MAX_STREAM_BYTES = MAX_RASTER_BYTES + (qint64(1) << 16);

// The bytes from the device's position to its end: mapped from a file,
// borrowed from a buffer, read from anything else.
class DeviceBytes {
public:
    explicit DeviceBytes(QIODevice& device)
    {
        const qint64 pos = device.pos();
        if (auto* file = qobject_cast<QFile*>(&device); file && !device.isSequential()) {
            const qint64 n = file->size() - pos;
            if (n <= 0) return;
            if (uchar* p = file->map(pos, n)) {
                m_file = file;
                m_map = p;
                m_data = p;
                m_size = qsizetype(n);
                return;
            }
        } else if (auto* buffer = qobject_cast<QBuffer*>(&device)) {
            const QByteArray& all = buffer->data();
            if (pos >= 0 && pos <= all.size()) {
                m_data = reinterpret_cast<const uchar*>(all.constData()) + pos;
                m_size = all.size() - qsizetype(pos);
            }
            return;
        }
        m_copy = device.read(MAX_STREAM_BYTES);
        m_data = reinterpret_cast<const uchar*>(m_copy.constData());
        m_size = m_copy.size();
    }
    ~DeviceBytes()
    {
        if (m_map) m_file->unmap(m_map);
    }
    DeviceBytes(const DeviceBytes&) = delete;
    DeviceBytes& operator=(const DeviceBytes&) = delete;

    const uchar* data() const { return m_data; }
    qsizetype size() const { return m_size; }

private:
    QFile* m_file = nullptr;
    uchar* m_map = nullptr;
    QByteArray m_copy;
    const uchar* m_data = nullptr;
    qsizetype m_size = 0;
};

int resolutionFromPelsPerMeter(qint32 ppm)
{
    // A negative density is meaningless; it counts as none.
    if (ppm <= 0) return 0;
    return int(std::floor(ppm * 0.025400000000000002 + 0.5));
}

bool fail(RasterImage& image, const char* text)
{
    image.SetError(QString::fromLatin1(text));
    return false;
}

} // namespace

bool DecodeBmp(QIODevice& device, RasterImage& image)
{
    const DeviceBytes bytes(device);
    BoundedReader in(bytes.data(), bytes.size());

    if (in.remaining() < FILE_HEADER_SIZE) return fail(image, "Not a BMP");
    const quint16 type = in.u16();
    in.skip(8);  // file size, two reserved fields
    qsizetype pixelOffset = in.u32();
    if (type != BMP_SIGNATURE) {
        // No file header: the information header comes first.
        pixelOffset = 0;
        in.seek(0);
    }

    wmf::DibHeader header;
    if (wmf::readDibHeader(in, header, pixelOffset) != wmf::DibStatus::Ok) return fail(image, "Error reading BMP info");
    if (!image.CreateBitmap(header.width, header.height, header.bitCount)) return fail(image, "Can't allocate memory");
    image.SetDpi(resolutionFromPelsPerMeter(header.xPelsPerMeter), resolutionFromPelsPerMeter(header.yPelsPerMeter));

    wmf::DibSurface surface;
    surface.depth = image.BitsPerPixel();
    surface.width = image.Width();
    surface.height = image.Height();
    surface.stride = qsizetype(image.EffectiveWidth());
    surface.bits = image.Bits();
    surface.palette = image.Palette();
    if (surface.depth == 24) surface.palette = nullptr;
    wmf::readDibPalette(in, header, surface);

    if (pixelOffset != 0) in.seek(pixelOffset);
    switch (wmf::readDibPixels(in, header, surface)) {
    case wmf::DibStatus::CompressionNotSupported:
        return fail(image, "compression type not supported");
    case wmf::DibStatus::UnknownCompression:
    case wmf::DibStatus::Unreadable:
        return fail(image, "unknown compression");
    case wmf::DibStatus::Ok:
        break;
    }
    return true;
}
