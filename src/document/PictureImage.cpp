#include "document/PictureImage.h"

#include <QGuiApplication>
#include <QIODevice>
#include <QImage>
#include <QScreen>

#include <cmath>
#include <cstdlib>

#include "platform/Units.h"
#include "wmf/WmfDecoder.h"
#include "wmf/WmfFormat.h"
#include "wmf/WmfPlayer.h"

PictureImage::PictureImage() = default;
PictureImage::~PictureImage() = default;

void PictureImage::Clear()
{
    m_picture.reset();
    m_sizeResult = -1;
}

bool PictureImage::Load(QIODevice& file)
{
    Clear();
    const qint64 left = file.isSequential() ? MAX_STREAM_SIZE : file.size() - file.pos();
    if (left <= 0 || left > MAX_STREAM_SIZE) return false;
    // The header says whether this is a metafile at all before the rest is read.
    if (!wmf::LooksLikeMetafile(file.peek(wmf::PLACEABLE_SIZE + wmf::HEADER_SIZE))) return false;
    const QByteArray data = file.read(left);
    auto picture = std::make_unique<wmf::Picture>();
    if (!wmf::decode(data, *picture)) return false;
    m_picture = std::move(picture);
    return true;
}

QSize PictureImage::GetSizeHimetric() const
{
    if (!m_picture) {
        m_sizeResult = -1;
        return QSize(0, 0);
    }
    m_sizeResult = 0;
    return QSize(std::abs(m_picture->widthHimetric()), std::abs(m_picture->heightHimetric()));
}

QSize PictureImage::GetSizeDevice(const DeviceContext* dc) const
{
    const QSize him = GetSizeHimetric();
    if (him.isEmpty()) return QSize(0, 0);
    if (dc) return QSize(dc->himetricToDeviceX(him.width()), dc->himetricToDeviceY(him.height()));
    int dpiX = 96, dpiY = 96;
    if (qGuiApp && QGuiApplication::primaryScreen()) {
        dpiX = qRound(QGuiApplication::primaryScreen()->logicalDotsPerInchX());
        dpiY = qRound(QGuiApplication::primaryScreen()->logicalDotsPerInchY());
    }
    return QSize(Units::HimetricToDevice(him.width(), dpiX), Units::HimetricToDevice(him.height(), dpiY));
}

void PictureImage::Render(DeviceContext& dc, int left, int top, int right, int bottom, const GdiRect* bounds)
{
    // A metafile's bounds only matter when drawing into another metafile, which never happens here.
    Q_UNUSED(bounds);
    if (!m_picture || !dc.painter() || !dc.painter()->isActive()) return;
    if (left == 0 && top == 0 && right == 0 && bottom == 0) {
        const QSize natural = GetSizeDevice(&dc);
        right = natural.width();
        bottom = natural.height();
    }
    const QSize him = GetSizeHimetric();
    const double W = him.width(), H = him.height();
    if (W <= 0 || H <= 0) return;
    // Source rectangle (0, H, W + 27, -(H + 27)) in HIMETRIC onto the destination: the
    // picture fills W / (W + 27) of its width and H / (H + 27) of its height.
    const double dw = right - left, dh = bottom - top;
    const QRectF frame(left, top, W * dw / (W + 27), H * dh / (H + 27));
    const QRectF dest = QRectF(left, top, dw, dh).normalized();
    wmf::Player player(*m_picture, dc.painter(), frame, dest);
    player.setDefaultStretchMode(dc.stretchMode());
    player.play();
}

bool PictureImage::MakeBitmap(DeviceContext& dc, QImage& bitmap, int boxWidth, int boxHeight)
{
    const QSize natural = GetSizeDevice(&dc);
    if (natural.width() <= 0 || natural.height() <= 0) return false;
    const double s = std::min(double(boxWidth) / natural.width(), double(boxHeight) / natural.height());
    const int w = int(natural.width() * s);
    const int h = int(natural.height() * s);
    if (w <= 0 || h <= 0) return false;
    bitmap = makeDeviceImage(w, h, dc.dpiX(), dc.dpiY());
    QPainter painter(&bitmap);
    DeviceContext mem(&painter, dc.dpiX(), dc.dpiY());
    mem.setStretchMode(DeviceContext::ColorOnColor);
    Render(mem, 0, 0, w, h, nullptr);
    return true;
}
