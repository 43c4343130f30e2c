#include "document/JpegDecoder.h"

#include <QIODevice>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>

extern "C" {
#include <jerror.h>
#include <jpeglib.h>
}

#include "document/RasterBitmap.h"

namespace {

constexpr std::size_t SOURCE_BLOCK_SIZE = 4096;
// Working memory libjpeg may take beyond the bitmap itself (progressive
// files keep every coefficient of the image); more fails instead of swapping.
constexpr long MAX_DECODER_MEMORY = 1L << 30;

// libjpeg's fatal errors come back here instead of ending the process. The
// reader below keeps no C++ object with a destructor alive between the
// set-jump and any call that can jump back to it.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void errorExit(j_common_ptr cinfo)
{
    ErrorManager* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

// Warnings (a truncated file, stray bytes) are counted by libjpeg; they are
// not printed.
void outputMessage(j_common_ptr) {}

// Reads the device in 4096-byte blocks. At the end of the data it warns and
// supplies an end-of-image marker, so a truncated file yields what it holds.
struct SourceManager {
    jpeg_source_mgr pub;
    QIODevice* device;
    bool started;
    JOCTET buffer[SOURCE_BLOCK_SIZE];
};

void initSource(j_decompress_ptr cinfo)
{
    reinterpret_cast<SourceManager*>(cinfo->src)->started = false;
}

boolean fillInputBuffer(j_decompress_ptr cinfo)
{
    SourceManager* src = reinterpret_cast<SourceManager*>(cinfo->src);
    qint64 got = src->device->read(reinterpret_cast<char*>(src->buffer), qint64(SOURCE_BLOCK_SIZE));
    if (got <= 0) {
        if (!src->started) ERREXIT(cinfo, JERR_INPUT_EMPTY);
        WARNMS(cinfo, JWRN_JPEG_EOF);
        src->buffer[0] = JOCTET(0xFF);
        src->buffer[1] = JOCTET(JPEG_EOI);
        got = 2;
    }
    src->pub.next_input_byte = src->buffer;
    src->pub.bytes_in_buffer = std::size_t(got);
    src->started = true;
    return TRUE;
}

void skipInputData(j_decompress_ptr cinfo, long count)
{
    if (count <= 0) return;
    jpeg_source_mgr* src = cinfo->src;
    while (count > long(src->bytes_in_buffer)) {
        count -= long(src->bytes_in_buffer);
        fillInputBuffer(cinfo);
    }
    src->next_input_byte += count;
    src->bytes_in_buffer -= std::size_t(count);
}

void termSource(j_decompress_ptr) {}

// Unit 1 is dots per inch and 2 dots per centimetre; without a unit (0) the
// two numbers only give the pixels' aspect ratio, so the image has no
// resolution of its own and is taken at 96 dots per inch both ways.
int densityToDpi(unsigned density, int unit)
{
    if (density <= 1 || (unit != 1 && unit != 2)) return 96;
    if (unit == 2) return int(density * 254 / 100);  // dots per centimetre
    return int(density);
}

enum class Result { Ok, Failed, NoMemory };

void installSource(jpeg_decompress_struct* cinfo, SourceManager* src)
{
    src->pub.init_source = initSource;
    src->pub.fill_input_buffer = fillInputBuffer;
    src->pub.skip_input_data = skipInputData;
    src->pub.resync_to_restart = jpeg_resync_to_restart;
    src->pub.term_source = termSource;
    src->pub.bytes_in_buffer = 0;
    src->pub.next_input_byte = nullptr;
    cinfo->src = &src->pub;
}

// Decodes at 1/8, 1/4 or 1/2 of the size, the smallest that still fills the
// box; a box without a size keeps the whole size.
void chooseScale(jpeg_decompress_struct* cinfo, QSize box)
{
    if (box.width() <= 0 || box.height() <= 0 || cinfo->image_width == 0 || cinfo->image_height == 0) return;
    const double s = std::min(double(box.width()) / cinfo->image_width, double(box.height()) / cinfo->image_height);
    for (unsigned d : {8u, 4u, 2u}) {
        if (d * s <= 1.0) {
            cinfo->scale_num = 1;
            cinfo->scale_denom = d;
            return;
        }
    }
}

// Whether the output size is within our bounds, checked before libjpeg
// allocates for it.
bool withinBounds(jpeg_decompress_struct* cinfo)
{
    jpeg_calc_output_dimensions(cinfo);
    const qint64 w = cinfo->output_width, h = cinfo->output_height;
    const qint64 depth = cinfo->output_components == 1 ? 8 : 24;
    return w > 0 && h > 0 && w * h <= MAX_RASTER_PIXELS && (w * depth + 31) / 32 * 4 * h <= MAX_RASTER_BYTES;
}

// Grey and colour rows straight into the bitmap: the first scanline is the
// top row, which is the last row in memory.
void readDirect(jpeg_decompress_struct* cinfo, RasterBitmap* image)
{
    const quint32 height = image->Height();
    JSAMPROW rows[8];
    while (cinfo->output_scanline < cinfo->output_height) {
        const quint32 first = cinfo->output_scanline;
        const int n = int(std::min<quint32>(8, height - first));
        for (int i = 0; i < n; ++i) rows[i] = image->Row(height - 1 - (first + quint32(i)));
        if (jpeg_read_scanlines(cinfo, rows, JDIMENSION(n)) == 0) break;
    }
}

// Rows through a line of libjpeg's, CMYK made blue, green, red on the way.
void readConverted(jpeg_decompress_struct* cinfo, RasterBitmap* image, std::size_t lineBytes)
{
    const quint32 height = image->Height();
    const std::size_t rowBytes = image->EffectiveWidth();
    JSAMPARRAY line = (*cinfo->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE,
                                                  JDIMENSION(lineBytes), 1);
    while (cinfo->output_scanline < cinfo->output_height) {
        const quint32 y = cinfo->output_scanline;
        if (jpeg_read_scanlines(cinfo, line, 1) == 0) break;
        uchar* dst = image->Row(height - 1 - y);
        const uchar* s = line[0];
        if (cinfo->output_components != 4) {
            std::memcpy(dst, s, lineBytes < rowBytes ? lineBytes : rowBytes);
            continue;
        }
        // Adobe stores CMYK inverted: each value is 255 minus the ink.
        for (std::size_t d = 0, i = 0; d + 3 <= rowBytes && i + 4 <= lineBytes; d += 3, i += 4) {
            const unsigned k = s[i + 3];
            dst[d + 0] = uchar(k * s[i + 2] / 255);
            dst[d + 1] = uchar(k * s[i + 1] / 255);
            dst[d + 2] = uchar(k * s[i + 0] / 255);
        }
    }
}

// Makes the bitmap and reads every row into it.
bool readPixels(jpeg_decompress_struct* cinfo, RasterBitmap* image)
{
    const int components = cinfo->output_components;
    if (!image->CreateBitmap(cinfo->output_width, cinfo->output_height, 8 * components)) return false;
    if (components == 1) {
        uchar* pal = image->Palette();
        for (int i = 0; i < 256; ++i) pal[4 * i] = pal[4 * i + 1] = pal[4 * i + 2] = uchar(i);
    }
    const std::size_t lineBytes = std::size_t(cinfo->output_width) * std::size_t(components);
    if ((components == 1 || components == 3) && lineBytes <= image->EffectiveWidth()) readDirect(cinfo, image);
    else readConverted(cinfo, image, lineBytes);
    return true;
}

void swapRedBlue(RasterBitmap* image, JDIMENSION width)
{
    for (quint32 y = 0; y < image->Height(); ++y) {
        uchar* p = image->Row(y);
        for (JDIMENSION x = 0; x < width; ++x, p += 3) std::swap(p[0], p[2]);
    }
}

// All libjpeg work happens here, between the set-jump and the destroy; the
// functions it calls keep nothing with a destructor.
Result decode(jpeg_decompress_struct* cinfo, ErrorManager* err, SourceManager* src, RasterBitmap* image,
              QSize box = QSize(), QSize* fullSize = nullptr)
{
    cinfo->err = jpeg_std_error(&err->pub);
    err->pub.error_exit = errorExit;
    err->pub.output_message = outputMessage;
    if (setjmp(err->jump)) {
        jpeg_destroy_decompress(cinfo);
        return Result::Failed;
    }
    jpeg_create_decompress(cinfo);
    cinfo->mem->max_memory_to_use = MAX_DECODER_MEMORY;
    installSource(cinfo, src);

    jpeg_read_header(cinfo, TRUE);
    if (fullSize) *fullSize = QSize(int(cinfo->image_width), int(cinfo->image_height));
    chooseScale(cinfo, box);
    // libjpeg-turbo writes blue, green, red itself, which saves the swap.
    const bool bgr = cinfo->out_color_space == JCS_RGB;
    if (bgr) cinfo->out_color_space = JCS_EXT_BGR;
    if (!withinBounds(cinfo)) {
        jpeg_destroy_decompress(cinfo);
        return Result::NoMemory;
    }

    jpeg_start_decompress(cinfo);
    if (!readPixels(cinfo, image)) {
        jpeg_destroy_decompress(cinfo);
        return Result::NoMemory;
    }
    jpeg_finish_decompress(cinfo);

    if (cinfo->output_components == 3 && !bgr) swapRedBlue(image, cinfo->output_width);
    const int dpiX = densityToDpi(cinfo->X_density, cinfo->density_unit);
    const int dpiY = densityToDpi(cinfo->Y_density, cinfo->density_unit);
    jpeg_destroy_decompress(cinfo);
    image->SetDpi(dpiX, dpiY);
    return Result::Ok;
}

} // namespace

namespace {

bool decodeFrom(QIODevice& device, RasterBitmap& image, QSize box, QSize* fullSize)
{
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    SourceManager src;
    std::memset(&cinfo, 0, sizeof cinfo);
    std::memset(&src, 0, sizeof src);
    err.message[0] = 0;
    src.device = &device;

    switch (decode(&cinfo, &err, &src, &image, box, fullSize)) {
    case Result::Ok:
        return true;
    case Result::NoMemory:
        image.SetError(QStringLiteral("Can't allocate memory"));
        return false;
    case Result::Failed:
    default:
        image.SetError(QString::fromLatin1(err.message));
        return false;
    }
}

} // namespace

bool DecodeJpeg(QIODevice& device, RasterBitmap& image) { return decodeFrom(device, image, QSize(), nullptr); }

bool DecodeJpegForBox(QIODevice& device, RasterBitmap& image, int boxWidth, int boxHeight, QSize* fullSize)
{
    return decodeFrom(device, image, QSize(boxWidth, boxHeight), fullSize);
}
