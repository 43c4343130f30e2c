#pragma once

#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>

#include "platform/DeviceContext.h"
#include "thumbnails/PageLayout.h"

// One cell of the thumbnail grid: a picture box with the target's picture
// (a placeholder until the picture arrives) and a caption with the file
// name and the target's size in inches.
class CVNThumbObject : public CLayoutItem {
public:
    CVNThumbObject();

    void SetInsets(int p, int q, int g);
    GdiRect Layout(int x, int y, int imageWidth, int imageHeight, int captionWidth, int captionHeight);
    void SetPath(const QString& path) { m_path = path; }
    // Takes the rendered picture and fits it into the picture box.
    void SetImage(const QImage& bitmap, const QString& path, DeviceContext::StretchMode stretchMode);
    // The file did not load: the placeholder for good, and a size of 0 x 0.
    void SetFailed();
    // Lets the picture go (it shows the placeholder) and keeps the size.
    void DropImage();
    // The file changed: its picture is asked for again, the old one shown meanwhile.
    void MarkStale() { m_bStale = true; }
    bool needsPicture() const { return m_bStale || (!m_bHasImage && !m_bFailed); }
    bool failed() const { return m_bFailed; }
    qint64 imageBytes() const { return m_bHasImage ? m_dib.sizeInBytes() + m_shown.sizeInBytes() : 0; }
    void SetPhysicalSize(int width, int height)
    {
        m_sizeHimetric = QSize(width, height);
        m_bSizeKnown = true;
    }
    void SetSelectedLook(bool selected) { m_bSelectedLook = selected; }

    bool HitTest(const QPoint& point) const;
    const QString& path() const { return m_path; }
    bool hasImage() const { return m_bHasImage; }
    bool selectedLook() const { return m_bSelectedLook; }
    QSize cellSize() const { return {m_rcCell.width(), m_rcCell.height()}; }
    QSize imageBoxSize() const { return {m_rcImageBox.width(), m_rcImageBox.height()}; }
    const GdiRect& cellRect() const { return m_rcCell; }
    const GdiRect& imageBox() const { return m_rcImageBox; }
    const GdiRect& pictureRect() const { return m_rcPicture; }
    const GdiRect& captionRect() const { return m_rcCaption; }
    QSize sizeHimetric() const { return m_sizeHimetric; }
    // "name\n8.5\" x 11.0\"": the name without ".vnt", the size in inches;
    // only the name while the size is not known yet.
    QString Caption() const;

    void Draw(DeviceContext& dc) override;
    void PrepareGdi(DeviceContext& dc) override;
    void MoveTo(int x, int y) override;
    void OffsetBy(int dx, int dy) override;

    // The picture a cell shows until its target is rendered: a blank page
    // with a folded corner on grey, 24 x 23 pixels.
    static const QImage& Placeholder();

private:
    void fitPicture();
    // Makes m_shown: the picture at the size its box shows.
    void fitShown(const QSize& shown);

    QImage m_dib;
    QImage m_shown;  // m_dib at the size the screen shows it
    QString m_path;
    DeviceContext::StretchMode m_nStretchMode = DeviceContext::ColorOnColor;
    int m_nFontIndex = -1;
    int m_nHighlightBrush = -1;
    int m_nFaceBrush = -1;
    QRgb m_lightEdge = 0;
    QRgb m_shadowEdge = 0;
    int m_nInsetP = 3;
    int m_nInsetQ = 3;
    int m_nGap = 3;
    GdiRect m_rcCell;
    GdiRect m_rcImageBox;
    GdiRect m_rcImageFrame;
    GdiRect m_rcPicture;
    GdiRect m_rcCaption;
    bool m_bHasImage = false;
    bool m_bFailed = false;
    bool m_bStale = false;
    bool m_bSizeKnown = false;
    bool m_bSelectedLook = false;
    QSize m_sizeHimetric{0, 0};
};

// The caption font of every cell and of the page header and footer.
LogFont ArialFont(int tenthsOfPoint);
