#pragma once

#include <QImage>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <functional>

#include "platform/DeviceContext.h"

// A target drawn by a document renderer (a PDF page, an SVG drawing): it has
// a physical size of its own and draws either as vectors straight into the
// painter or, where its renderer cannot do that faithfully, as an image made
// at the device's resolution. Which road a file takes is decided when it is
// opened.
class VectorTarget {
public:
    virtual ~VectorTarget() = default;

    // The physical size in inches.
    virtual QSizeF SizeInches() const = 0;
    // Whether it draws as vectors (else as an image at the device's pixels).
    virtual bool DrawsVectors() const = 0;
    // Why the file took its road, for the note and the tests.
    virtual QString RoadReason() const = 0;
    virtual int PageCount() const { return 1; }
    virtual int Page() const { return 1; }
    // Chooses page 1..PageCount(); false leaves the page as it was.
    virtual bool SetPage(int page) { return page == 1; }
    // Draws the whole target into dest (the painter's units).
    void Draw(DeviceContext& dc, const QRectF& dest);

protected:
    // False when this painter cannot take the vectors (the image road then
    // serves it).
    virtual bool drawVectors(QPainter& painter, const QRectF& dest) = 0;
    // The part of the target drawn whole at full pixels, on white; null when
    // it cannot be made (or was stopped).
    virtual QImage renderPart(const QSize& full, const QRect& part) = 0;

private:
    void drawImage(DeviceContext& dc, const QRectF& dest);

    // The last image made for a screen, kept so that repaints at one zoom
    // only copy it.
    QImage m_screenImage;
    QSize m_screenFull;
    QRect m_screenPart;
};

// Where the image road's pixels land: the target drawn whole would be full
// pixels; part is what shows on the device, in those pixels; where is part
// in the painter's units. full is reduced so that part holds at most
// maxPixels. Empty part when nothing shows.
struct ImagePlacement {
    QSize full;
    QRect part;
    QRectF where;
};
ImagePlacement PlaceImage(const QPainter& painter, const QRectF& dest, double maxPixels);
