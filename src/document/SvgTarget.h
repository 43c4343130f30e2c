#pragma once

#include <QByteArray>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <memory>

#include "document/VectorTarget.h"

class QSvgRenderer;
class RsvgDrawing;

// An SVG length in inches (CSS units, 96 px to the inch); negative when the
// text is no absolute length (missing, a percentage, em or ex, garbage).
double SvgLengthInches(const QString& text);

// What the root element and the rest of a drawing say, read without any
// renderer: the physical size and what the drawing uses.
struct SvgFacts {
    bool isSvg = false;   // well-formed, with an <svg> root
    QSizeF inches;        // empty when neither width/height nor a viewBox give one
    QStringList unsupported;  // features Qt SVG does not draw as the file means
    QStringList references;   // other files whose content it draws
};
SvgFacts ReadSvgFacts(const QByteArray& xml);

// An SVG drawing (".svg", or gzip-compressed ".svgz"). Its size is the root
// element's width and height with their units, else its viewBox at 96 px to
// the inch. The road: Qt SVG's vectors when the drawing uses nothing it does
// not draw and draws no other file; otherwise librsvg's image at the
// device's resolution, with librsvg confined to the drawing's own folder.
class SvgTarget : public VectorTarget {
public:
    ~SvgTarget() override;
    // Null for a file that is not a regular file, too large (also once
    // inflated), not well-formed, without a size, or that its renderer
    // refuses.
    static std::unique_ptr<SvgTarget> Open(const QString& path);

    QSizeF SizeInches() const override { return m_inches; }
    bool DrawsVectors() const override { return m_qt != nullptr; }
    QString RoadReason() const override { return m_reason; }

    static constexpr qint64 MAX_FILE_SIZE = qint64(64) << 20;
    static constexpr qint64 MAX_INFLATED_SIZE = qint64(256) << 20;

protected:
    bool drawVectors(QPainter& painter, const QRectF& dest) override;
    QImage renderPart(const QSize& full, const QRect& part) override;

private:
    SvgTarget() = default;

    QSizeF m_inches;
    QString m_reason;
    std::unique_ptr<QSvgRenderer> m_qt;
    std::unique_ptr<RsvgDrawing> m_rsvg;
};

// librsvg behind a plain interface (its headers do not mix with Qt's).
class RsvgDrawing {
public:
    ~RsvgDrawing();
    // Parses the drawing; external files are taken only from baseFile's
    // folder. Null when librsvg refuses it.
    static std::unique_ptr<RsvgDrawing> Load(const QByteArray& data, const QString& baseFile);
    // The drawing fitted to full pixels, the part of it inside part, on white.
    QImage Render(const QSize& full, const QRect& part) const;

private:
    RsvgDrawing() = default;
    void* m_handle = nullptr;
};
