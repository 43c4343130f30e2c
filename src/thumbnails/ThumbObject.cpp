#include "thumbnails/ThumbObject.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>

#include <algorithm>

#include "document/RasterBitmap.h"

namespace {

QRgb systemColor(QPalette::ColorRole role) { return QGuiApplication::palette().color(role).rgb(); }

QImage makePlaceholder()
{
    QImage image(24, 23, QImage::Format_RGB32);
    image.fill(QColor(192, 192, 192));
    QPainter p(&image);
    // A page with its top-right corner folded over.
    const QPoint page[] = {{4, 1}, {15, 1}, {20, 6}, {20, 21}, {4, 21}};
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawPolygon(page, 5);
    const QPoint fold[] = {{15, 1}, {15, 6}, {20, 6}};
    p.setBrush(QColor(128, 128, 128));
    p.drawPolygon(fold, 3);
    return image;
}

}  // namespace

LogFont ArialFont(int tenthsOfPoint) { return {QStringLiteral("Arial"), tenthsOfPoint}; }

const QImage& CVNThumbObject::Placeholder()
{
    static const QImage placeholder = makePlaceholder();
    return placeholder;
}

CVNThumbObject::CVNThumbObject() : m_dib(Placeholder()) { Layout(0, 0, 100, 100, 100, 20); }

void CVNThumbObject::SetInsets(int p, int q, int g)
{
    m_nInsetP = p;
    m_nInsetQ = q;
    m_nGap = g;
}

GdiRect CVNThumbObject::Layout(int x, int y, int iw, int ih, int cw, int ch)
{
    m_rcCell = GdiRect(x, y, x + std::max(iw, cw) + 2 * m_nInsetQ, y + 2 * m_nInsetP + ih + m_nGap + ch);
    m_rect = m_rcCell;
    const int w = m_rcCell.width();
    const int boxLeft = x + (w - iw) / 2;
    m_rcImageBox = GdiRect(boxLeft, y + m_nInsetP, boxLeft + iw, y + m_nInsetP + ih);
    m_rcImageFrame = m_rcImageBox;
    m_rcImageFrame.inflate(1, 1);
    const int captionLeft = x + (w - cw) / 2;
    m_rcCaption = GdiRect(captionLeft, m_rcImageBox.bottom + m_nGap, captionLeft + cw, m_rcImageBox.bottom + m_nGap + ch);
    fitPicture();
    return m_rcCell;
}

void CVNThumbObject::fitPicture()
{
    const int iw = m_rcImageBox.width();
    const int ih = m_rcImageBox.height();
    const int dw = m_dib.width();
    const int dh = m_dib.height();
    double s = 1.0;
    if (m_bHasImage && dw > 0 && dh > 0) s = std::min(double(iw) / dw, double(ih) / dh);
    GdiRect r(m_rcImageBox.left, m_rcImageBox.top, m_rcImageBox.left + int(s * dw), m_rcImageBox.top + int(s * dh));
    r.offset((iw - r.width()) / 2, (ih - r.height()) / 2);
    m_rcPicture = r;
}

void CVNThumbObject::SetImage(const QImage& bitmap, const QString& path, DeviceContext::StretchMode stretchMode)
{
    m_path = path;
    m_dib = bitmap;
    m_shown = QImage();
    m_bHasImage = true;
    m_bFailed = false;
    m_bStale = false;
    fitPicture();
    m_nStretchMode = stretchMode;
}

void CVNThumbObject::fitShown(const QSize& shown)
{
    // Our pictures are rendered at two inches of screen. Shrunk, they are
    // averaged over the area under each pixel as the target window does, so
    // a thin ring stays a line; a bilinear filter would skip parts of it.
    m_shown = AreaAverage(m_dib, shown.width(), shown.height());
    if (m_shown.isNull()) m_shown = m_dib.scaled(shown, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    else m_shown.convertTo(m_dib.format());
}

void CVNThumbObject::SetFailed()
{
    DropImage();
    m_bFailed = true;
    m_bStale = false;
    SetPhysicalSize(0, 0);
}

void CVNThumbObject::DropImage()
{
    m_dib = Placeholder();
    m_shown = QImage();
    m_bHasImage = false;
    fitPicture();
}

bool CVNThumbObject::HitTest(const QPoint& pt) const
{
    return pt.x() >= m_rcCell.left && pt.x() < m_rcCell.right && pt.y() >= m_rcCell.top && pt.y() < m_rcCell.bottom;
}

QString CVNThumbObject::Caption() const
{
    const QFileInfo info(m_path);
    QString name = info.fileName();
    if (info.suffix().compare(QLatin1String("vnt"), Qt::CaseInsensitive) == 0 && name.size() > 4)
        name.chop(4);
    if (!m_bSizeKnown) return name;
    constexpr double INCH_PER_HIMETRIC = 0.0003937007874015748;
    return QString::asprintf("%s\n%0.1f\" x %0.1f\"", name.toUtf8().constData(),
                             m_sizeHimetric.width() * INCH_PER_HIMETRIC, m_sizeHimetric.height() * INCH_PER_HIMETRIC);
}

void CVNThumbObject::PrepareGdi(DeviceContext& dc)
{
    if (!m_pOwner) return;
    m_nFontIndex = m_pOwner->GetFontIndex(dc, ArialFont(80));
    m_nHighlightBrush = m_pOwner->GetBrushIndex(dc, {0, systemColor(QPalette::Highlight), 0});
    m_nFaceBrush = m_pOwner->GetBrushIndex(dc, {0, systemColor(QPalette::Button), 0});
    m_lightEdge = systemColor(QPalette::Light);
    m_shadowEdge = systemColor(QPalette::Dark);
}

void CVNThumbObject::Draw(DeviceContext& dc)
{
    QPainter* p = dc.painter();
    if (!p) return;
    p->save();
    dc.setStretchMode(m_nStretchMode);
    p->setRenderHint(QPainter::SmoothPixmapTransform, true);
    const QSize shown(m_rcPicture.width(), m_rcPicture.height());
    if (dc.isPrinting() || shown == m_dib.size() || shown.isEmpty()) {
        p->drawImage(QRectF(m_rcPicture.toQRect()), m_dib);
    } else {
        // The screen is painted on every scroll: the picture is fitted once
        // for its box and then only copied.
        if (m_shown.size() != shown) fitShown(shown);
        p->drawImage(m_rcPicture.left, m_rcPicture.top, m_shown);
    }
    if (m_nFontIndex < 0 || !m_pOwner || !m_pOwner->SelectFont(dc, m_nFontIndex)) {
        p->restore();
        return;
    }
    const QBrush* face = m_pOwner->GetBrush(m_nFaceBrush);
    const QBrush* highlight = m_pOwner->GetBrush(m_nHighlightBrush);
    auto frame = [p](const GdiRect& r, const QBrush& brush) {
        // FrameRect: one pixel inside the rectangle.
        p->fillRect(QRect(r.left, r.top, r.width(), 1), brush);
        p->fillRect(QRect(r.left, r.bottom - 1, r.width(), 1), brush);
        p->fillRect(QRect(r.left, r.top, 1, r.height()), brush);
        p->fillRect(QRect(r.right - 1, r.top, 1, r.height()), brush);
    };
    QColor text = p->pen().color();
    QColor background = QColor(systemColor(QPalette::Button));
    bool opaque = false;
    if (dc.isPrinting()) {
        if (face) frame(m_rcImageFrame, *face);
        text = Qt::black;
    } else if (m_bSelectedLook) {
        if (highlight) frame(m_rcCell, *highlight);
        text = QColor(systemColor(QPalette::HighlightedText));
        background = QColor(systemColor(QPalette::Highlight));
        opaque = true;
    } else {
        const GdiRect& r = m_rcCell;
        p->fillRect(QRect(r.left, r.top, r.width() - 1, 1), QColor(m_lightEdge));
        p->fillRect(QRect(r.left, r.top, 1, r.height() - 1), QColor(m_lightEdge));
        p->fillRect(QRect(r.right - 1, r.top, 1, r.height()), QColor(m_shadowEdge));
        p->fillRect(QRect(r.left, r.bottom - 1, r.width(), 1), QColor(m_shadowEdge));
        text = QColor(systemColor(QPalette::ButtonText));
        opaque = true;
    }
    p->setPen(text);
    if (opaque) {
        p->setBackgroundMode(Qt::OpaqueMode);
        p->setBackground(background);
    }
    p->setClipRect(m_rcCaption.toQRect(), Qt::IntersectClip);
    p->drawText(m_rcCaption.toQRect(), Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, Caption());
    p->restore();
}

void CVNThumbObject::MoveTo(int x, int y) { OffsetBy(x - m_rcCell.left, y - m_rcCell.top); }

void CVNThumbObject::OffsetBy(int dx, int dy)
{
    for (GdiRect* r : {&m_rcCell, &m_rcImageBox, &m_rcImageFrame, &m_rcPicture, &m_rcCaption}) r->offset(dx, dy);
    m_rect = m_rcCell;
}
