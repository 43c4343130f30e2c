#include "document/PdfTarget.h"

#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QVariant>

#include <poppler-qt6.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>

#include "platform/RegularFile.h"

namespace {

// Inflates a zlib stream starting at data, at most budget bytes; appends to
// out. Returns the bytes produced; -1 when the budget ran out first.
qint64 inflateFrom(const char* data, qint64 size, qint64 budget, QByteArray& out)
{
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return 0;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
    z.avail_in = uInt(std::min<qint64>(size, 0x7FFFFFFF));
    char chunk[16384];
    qint64 produced = 0;
    int status = Z_OK;
    while (status == Z_OK) {
        z.next_out = reinterpret_cast<Bytef*>(chunk);
        z.avail_out = sizeof chunk;
        status = inflate(&z, Z_NO_FLUSH);
        const qint64 got = qint64(sizeof chunk - z.avail_out);
        if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR) break;
        produced += got;
        if (produced > budget) {
            inflateEnd(&z);
            return -1;
        }
        out.append(chunk, got);
        if (got == 0) break;
    }
    inflateEnd(&z);
    return produced;
}

// A name followed by a number below 1 (constant alpha).
bool alphaBelowOne(const QByteArray& text, const char* name)
{
    const QByteArray key(name);
    for (qsizetype at = text.indexOf(key); at >= 0; at = text.indexOf(key, at + 1)) {
        qsizetype i = at + key.size();
        // "/ca" must not be the start of a longer name ("/cap").
        if (i < text.size() && std::isalpha(uchar(text[i]))) continue;
        while (i < text.size() && (text[i] == ' ' || text[i] == '\n' || text[i] == '\r')) ++i;
        qsizetype j = i;
        while (j < text.size() && (std::isdigit(uchar(text[j])) || text[j] == '.')) ++j;
        bool ok = false;
        const double v = text.mid(i, j - i).toDouble(&ok);
        if (ok && v < 1.0) return true;
    }
    return false;
}

void scanText(const QByteArray& text, QStringList& used)
{
    auto note = [&](const char* what) {
        if (!used.contains(QLatin1String(what))) used << QLatin1String(what);
    };
    static const QByteArray softMask("/SMask");
    for (qsizetype at = text.indexOf(softMask); at >= 0; at = text.indexOf(softMask, at + 1)) {
        qsizetype i = at + softMask.size();
        while (i < text.size() && text[i] == ' ') ++i;
        if (!text.mid(i, 5).startsWith("/None")) { note("soft mask"); break; }
    }
    if (text.contains("/Transparency")) note("transparency group");
    static const QByteArray blend("/BM");
    for (qsizetype at = text.indexOf(blend); at >= 0; at = text.indexOf(blend, at + 1)) {
        qsizetype i = at + blend.size();
        while (i < text.size() && (text[i] == ' ' || text[i] == '[')) ++i;
        const QByteArray mode = text.mid(i, 12);
        if (!mode.startsWith("/Normal") && !mode.startsWith("/Compatible")) { note("blend mode"); break; }
    }
    if (alphaBelowOne(text, "/ca") || alphaBelowOne(text, "/CA")) note("constant alpha");
    if (text.contains("/ShadingType") || text.contains(" sh\n") || text.contains(" sh ")) note("shading");
    if (text.contains("/PatternType 1") || text.contains("/PatternType1")) note("tiling pattern");
    if (text.contains("/Type3")) note("Type 3 font");
}

} // namespace

PdfFeatures ScanPdfFeatures(const QByteArray& file, qint64 inflateBudget)
{
    PdfFeatures f;
    // An encrypted file's streams cannot be read here.
    if (file.contains("/Encrypt")) f.unbounded = true;
    scanText(file, f.used);
    static const QByteArray keyword("stream");
    qint64 left = inflateBudget;
    for (qsizetype at = file.indexOf(keyword); at >= 0; at = file.indexOf(keyword, at + keyword.size())) {
        if (at >= 3 && file.mid(at - 3, 3) == "end") continue;
        qsizetype start = at + keyword.size();
        if (start < file.size() && file[start] == '\r') ++start;
        if (start < file.size() && file[start] == '\n') ++start;
        else continue;
        QByteArray inflated;
        const qint64 got = inflateFrom(file.constData() + start, file.size() - start, left, inflated);
        if (got < 0) {
            f.unbounded = true;
            break;
        }
        left -= got;
        if (!inflated.isEmpty()) scanText(inflated, f.used);
    }
    return f;
}

PdfTarget::~PdfTarget() = default;

std::unique_ptr<PdfTarget> PdfTarget::Open(const QString& path)
{
    // Only a regular file, read whole within the bound its size gave.
    QFile file;
    if (!OpenRegularFile(path, file) || file.size() <= 0 || file.size() > MAX_FILE_SIZE) return nullptr;
    std::unique_ptr<PdfTarget> pdf(new PdfTarget);
    pdf->m_bytes = ReadBounded(file, MAX_FILE_SIZE);
    if (pdf->m_bytes.isEmpty()) return nullptr;

    pdf->m_document = Poppler::Document::loadFromData(pdf->m_bytes);
    // A user password locks it; an owner password alone does not.
    if (!pdf->m_document || pdf->m_document->isLocked() || pdf->m_document->numPages() <= 0) return nullptr;
    pdf->m_document->setRenderHint(Poppler::Document::Antialiasing, true);
    pdf->m_document->setRenderHint(Poppler::Document::TextAntialiasing, true);

    const PdfFeatures features = ScanPdfFeatures(pdf->m_bytes);
    pdf->m_plainFile = features.used.isEmpty() && !features.unbounded;
    pdf->m_fileReason = features.unbounded ? QStringLiteral("content not read whole")
                        : features.used.isEmpty() ? QStringLiteral("plain content")
                                                  : features.used.join(QStringLiteral(", "));
    if (!pdf->SetPage(1)) return nullptr;
    return pdf;
}

int PdfTarget::PageCount() const { return m_document ? m_document->numPages() : 0; }

bool PdfTarget::SetPage(int page)
{
    if (!m_document || page < 1 || page > m_document->numPages()) return false;
    std::unique_ptr<Poppler::Page> p = m_document->page(page - 1);
    if (!p) return false;
    const QSizeF points = p->pageSizeF();
    if (!(points.width() > 0) || !(points.height() > 0) || !std::isfinite(points.width())
        || !std::isfinite(points.height()))
        return false;
    m_page = std::move(p);
    m_pageIndex = page - 1;
    m_points = points;
    // Poppler's QPainter output cannot draw text in a font it could not
    // load (it fails on such text), nor Type 3 glyphs: those pages take the
    // image road.
    m_vectors = m_plainFile;
    m_reason = m_fileReason;
    if (m_vectors) {
        std::unique_ptr<Poppler::FontIterator> fonts = m_document->newFontIterator(m_pageIndex);
        const QList<Poppler::FontInfo> used = fonts && fonts->hasNext() ? fonts->next() : QList<Poppler::FontInfo>();
        for (const Poppler::FontInfo& font : used) {
            if (font.type() == Poppler::FontInfo::unknown || font.type() == Poppler::FontInfo::Type3
                || (!font.isEmbedded() && font.file().isEmpty())) {
                m_vectors = false;
                m_reason = QStringLiteral("a font the vector output cannot draw");
                break;
            }
        }
    }
    return true;
}

QSizeF PdfTarget::SizeInches() const { return m_points / 72.0; }

bool PdfTarget::drawVectors(QPainter& painter, const QRectF& dest)
{
    if (!m_page) return false;
    // Poppler replaces the painter's world transform with its own, made
    // from the resolution alone: the scale goes in as the resolution, and
    // the offset, rounded to a whole device pixel, as the view transform,
    // which poppler leaves alone.
    const QTransform t =
        QTransform::fromScale(dest.width() / m_points.width(), dest.height() / m_points.height())
        * QTransform::fromTranslate(dest.left(), dest.top()) * painter.combinedTransform();
    if (t.type() > QTransform::TxScale || !(t.m11() > 0) || !(t.m22() > 0)) return false;
    const QPaintDevice* device = painter.device();
    const int w = std::max(1, device ? device->width() : 1), h = std::max(1, device ? device->height() : 1);
    painter.save();
    painter.resetTransform();
    painter.setViewTransformEnabled(true);
    painter.setWindow(0, 0, w, h);
    painter.setViewport(int(std::lround(t.dx())), int(std::lround(t.dy())), w, h);
    m_document->setRenderBackend(Poppler::Document::QPainterBackend);
    const bool ok = m_page->renderToPainter(&painter, 72.0 * t.m11(), 72.0 * t.m22());
    painter.restore();
    return ok;
}

QImage PdfTarget::renderPart(const QSize& full, const QRect& part)
{
    if (!m_page) return QImage();
    m_document->setRenderBackend(Poppler::Document::SplashBackend);
    const double xres = full.width() * 72.0 / m_points.width();
    const double yres = full.height() * 72.0 / m_points.height();
    QElapsedTimer timer;
    timer.start();
    const auto stop = [](const QVariant& payload) {
        return static_cast<const QElapsedTimer*>(payload.value<void*>())->hasExpired(RENDER_DEADLINE_MS);
    };
    QImage image = m_page->renderToImage(xres, yres, part.x(), part.y(), part.width(), part.height(),
                                         Poppler::Page::Rotate0, nullptr, nullptr, stop,
                                         QVariant::fromValue(static_cast<void*>(&timer)));
    if (image.isNull() || timer.hasExpired(RENDER_DEADLINE_MS)) return QImage();
    return image.convertToFormat(QImage::Format_RGB32);
}
