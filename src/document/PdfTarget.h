#pragma once

#include <QByteArray>

#include <memory>

#include "document/VectorTarget.h"

namespace Poppler {
class Document;
class Page;
}

// What a PDF's content uses that poppler's QPainter output does not draw as
// the page means it: transparency (soft masks, groups, constant alpha below
// 1), blend modes, shadings and tiling patterns, Type 3 fonts. unbounded is
// set when the content could not be read whole within the scan's budget
// (encrypted or more than it may inflate), so nothing is known of it.
struct PdfFeatures {
    QStringList used;
    bool unbounded = false;
};
// Scans the file's bytes and the Flate streams among them, inflating at
// most inflateBudget bytes in all.
PdfFeatures ScanPdfFeatures(const QByteArray& file, qint64 inflateBudget = qint64(64) << 20);

// One page of a PDF, chosen among its pages. Its size is the page's crop box
// (the media box where there is none) with /Rotate applied. The road: vectors
// through poppler's QPainter output when the scan finds none of the features
// above, the content was read whole and every font of the page is one that
// output can draw (loaded, not Type 3); otherwise poppler's own rasteriser at
// the device's resolution, which a deadline can stop.
class PdfTarget : public VectorTarget {
public:
    ~PdfTarget() override;
    // Null for a file that is not a regular file, too large, damaged beyond
    // repair, locked by a user password or without pages.
    static std::unique_ptr<PdfTarget> Open(const QString& path);

    QSizeF SizeInches() const override;
    bool DrawsVectors() const override { return m_vectors; }
    QString RoadReason() const override { return m_reason; }
    int PageCount() const override;
    int Page() const override { return m_pageIndex + 1; }
    bool SetPage(int page) override;

    // The largest PDF opened, in bytes.
    static constexpr qint64 MAX_FILE_SIZE = qint64(512) << 20;
    // How long the image road may draw one part before it is stopped.
    static constexpr int RENDER_DEADLINE_MS = 120000;

protected:
    bool drawVectors(QPainter& painter, const QRectF& dest) override;
    QImage renderPart(const QSize& full, const QRect& part) override;

private:
    PdfTarget() = default;

    QByteArray m_bytes;
    std::unique_ptr<Poppler::Document> m_document;
    std::unique_ptr<Poppler::Page> m_page;
    int m_pageIndex = 0;
    QSizeF m_points;  // the page's size in points
    bool m_plainFile = false;  // the scan found nothing the vector road cannot draw
    QString m_fileReason;
    bool m_vectors = false;    // the chosen page's road
    QString m_reason;
};
