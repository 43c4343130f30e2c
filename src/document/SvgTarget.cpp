#include "document/SvgTarget.h"

#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QXmlStreamReader>

#include <zlib.h>

#include <algorithm>
#include <cmath>

#include "platform/RegularFile.h"
#include "platform/Units.h"

namespace {

// Elements and properties Qt SVG does not draw as SVG 1.1 means them.
const char* const kUnsupportedElements[] = {
    "clipPath", "mask", "filter", "pattern", "marker", "symbol", "foreignObject", "textPath", "tref",
    "switch", "style", "altGlyph", "font", "font-face", "glyph", "image",
};
// Elements whose reference brings another file's content into the drawing
// (a link, <a>, is never followed to draw).
const char* const kDrawnReferences[] = {
    "image", "use", "feImage", "tref", "pattern", "linearGradient", "radialGradient", "filter",
};
const char* const kUnsupportedProperties[] = {
    "clip-path", "mask", "filter", "marker", "marker-start", "marker-mid", "marker-end",
};

// The gzip stream inflated, at most limit bytes; empty on any error.
QByteArray gunzip(const QByteArray& data, qint64 limit)
{
    z_stream z{};
    if (inflateInit2(&z, 16 + MAX_WBITS) != Z_OK) return QByteArray();
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    z.avail_in = uInt(data.size());
    QByteArray out;
    char chunk[65536];
    int status = Z_OK;
    while (status == Z_OK) {
        z.next_out = reinterpret_cast<Bytef*>(chunk);
        z.avail_out = sizeof chunk;
        status = inflate(&z, Z_NO_FLUSH);
        if (status != Z_OK && status != Z_STREAM_END) break;
        const qint64 got = qint64(sizeof chunk - z.avail_out);
        if (out.size() + got > limit) {
            status = Z_MEM_ERROR;
            break;
        }
        out.append(chunk, got);
    }
    inflateEnd(&z);
    return status == Z_STREAM_END ? out : QByteArray();
}

void noteOnce(QStringList& list, const QString& what)
{
    if (!list.contains(what)) list << what;
}

// A reference that leaves the drawing: not a fragment, not inline data.
bool isExternal(const QString& ref)
{
    const QString r = ref.trimmed();
    return !r.isEmpty() && !r.startsWith(QLatin1Char('#')) && !r.startsWith(QLatin1String("data:"), Qt::CaseInsensitive);
}

void collectUrls(const QString& text, QStringList& references)
{
    static const QRegularExpression url(QStringLiteral("url\\(\\s*['\"]?([^'\")]*)['\"]?\\s*\\)"));
    static const QRegularExpression import(QStringLiteral("@import\\s+['\"]([^'\"]*)['\"]"));
    for (const QRegularExpression* re : {&url, &import})
        for (auto it = re->globalMatch(text); it.hasNext();) {
            const QString ref = it.next().captured(1);
            if (isExternal(ref)) noteOnce(references, ref);
        }
}

} // namespace

double SvgLengthInches(const QString& text)
{
    static const QRegularExpression form(
        QStringLiteral("^\\s*([+]?(?:\\d+\\.?\\d*|\\.\\d+)(?:[eE][+-]?\\d+)?)\\s*(px|in|cm|mm|pt|pc)?\\s*$"));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch()) return -1;
    const double v = m.captured(1).toDouble();
    const QString unit = m.captured(2);
    double inches = v / 96.0;
    if (unit == QLatin1String("in")) inches = v;
    else if (unit == QLatin1String("cm")) inches = v / Units::CM_PER_INCH;
    else if (unit == QLatin1String("mm")) inches = Units::MmToInches(v);
    else if (unit == QLatin1String("pt")) inches = v / 72.0;
    else if (unit == QLatin1String("pc")) inches = v / 6.0;
    return std::isfinite(inches) && inches > 0 ? inches : -1;
}

SvgFacts ReadSvgFacts(const QByteArray& xml)
{
    SvgFacts facts;
    QXmlStreamReader reader(xml);
    bool root = true;
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement) continue;
        const QString name = reader.name().toString();
        const QXmlStreamAttributes attrs = reader.attributes();
        if (root) {
            root = false;
            if (name != QLatin1String("svg")) return facts;
            const double w = SvgLengthInches(attrs.value(QLatin1String("width")).toString());
            const double h = SvgLengthInches(attrs.value(QLatin1String("height")).toString());
            const QStringList box = attrs.value(QLatin1String("viewBox"))
                                        .toString()
                                        .split(QRegularExpression(QStringLiteral("[\\s,]+")), Qt::SkipEmptyParts);
            if (w > 0 && h > 0) {
                facts.inches = QSizeF(w, h);
            } else if (box.size() == 4) {
                const double bw = box[2].toDouble(), bh = box[3].toDouble();
                if (std::isfinite(bw) && std::isfinite(bh) && bw > 0 && bh > 0) facts.inches = QSizeF(bw / 96.0, bh / 96.0);
            }
        }
        for (const char* e : kUnsupportedElements)
            if (name == QLatin1String(e)) noteOnce(facts.unsupported, name);
        for (const QXmlStreamAttribute& a : attrs) {
            const QString attr = a.name().toString();
            const QString value = a.value().toString();
            for (const char* p : kUnsupportedProperties) {
                if (attr == QLatin1String(p)) noteOnce(facts.unsupported, attr);
                if (attr == QLatin1String("style") && value.contains(QLatin1String(p) + QLatin1Char(':')))
                    noteOnce(facts.unsupported, QLatin1String(p));
            }
            if (attr == QLatin1String("href") && isExternal(value)
                && reader.namespaceUri() == QLatin1String("http://www.w3.org/2000/svg")
                && std::any_of(std::begin(kDrawnReferences), std::end(kDrawnReferences),
                               [&](const char* e) { return name == QLatin1String(e); }))
                noteOnce(facts.references, value.trimmed());
            if (value.contains(QLatin1String("url("))) collectUrls(value, facts.references);
        }
        if (name == QLatin1String("style")) {
            const QString css = reader.readElementText(QXmlStreamReader::IncludeChildElements);
            collectUrls(css, facts.references);
        }
    }
    facts.isSvg = !root && !reader.hasError();
    return facts;
}

SvgTarget::~SvgTarget() = default;

std::unique_ptr<SvgTarget> SvgTarget::Open(const QString& path)
{
    const QFileInfo info(path);
    QFile file;
    if (!OpenRegularFile(path, file) || file.size() <= 0 || file.size() > MAX_FILE_SIZE) return nullptr;
    QByteArray data = ReadBounded(file, MAX_FILE_SIZE);
    if (data.isEmpty()) return nullptr;
    if (data.startsWith("\x1f\x8b")) {
        data = gunzip(data, MAX_INFLATED_SIZE);
        if (data.isEmpty()) return nullptr;
    }

    const SvgFacts facts = ReadSvgFacts(data);
    if (!facts.isSvg || facts.inches.isEmpty()) return nullptr;
    std::unique_ptr<SvgTarget> svg(new SvgTarget);
    svg->m_inches = facts.inches;

    if (facts.unsupported.isEmpty() && facts.references.isEmpty()) {
        auto renderer = std::make_unique<QSvgRenderer>(data);
        if (renderer->isValid()) {
            renderer->setAspectRatioMode(Qt::KeepAspectRatio);
            svg->m_qt = std::move(renderer);
            svg->m_reason = QStringLiteral("plain drawing");
            return svg;
        }
    }
    // librsvg is told the drawing's own path: it then takes other files
    // only from that folder and below, by file name, never from a network.
    svg->m_rsvg = RsvgDrawing::Load(data, info.absoluteFilePath());
    if (!svg->m_rsvg) return nullptr;
    QStringList why = facts.unsupported;
    if (!facts.references.isEmpty()) why << QStringLiteral("other files");
    svg->m_reason = why.isEmpty() ? QStringLiteral("Qt SVG refused it") : why.join(QStringLiteral(", "));
    return svg;
}

bool SvgTarget::drawVectors(QPainter& painter, const QRectF& dest)
{
    if (!m_qt) return false;
    m_qt->render(&painter, dest);
    return true;
}

QImage SvgTarget::renderPart(const QSize& full, const QRect& part)
{
    return m_rsvg ? m_rsvg->Render(full, part) : QImage();
}
