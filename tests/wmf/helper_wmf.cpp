#include "helper_wmf.h"

#include <QPainter>

#include "wmf/WmfPlayer.h"

namespace wmftest {

QImage render(const wmf::Picture& picture, int width, int height, int dpi)
{
    QImage img(width, height, QImage::Format_RGB32);
    img.fill(Qt::white);
    img.setDotsPerMeterX(qRound(dpi / 0.0254));
    img.setDotsPerMeterY(qRound(dpi / 0.0254));
    QPainter p(&img);
    wmf::Player player(picture, &p, QRectF(0, 0, width, height));
    player.play();
    return img;
}

static QImage grey128(const QImage& img)
{
    return img.convertToFormat(QImage::Format_RGB32)
        .scaled(128, 128, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_Grayscale8);
}

double similarity(const QImage& a, const QImage& b)
{
    const QImage ga = grey128(a), gb = grey128(b);
    double sum = 0;
    for (int y = 0; y < 128; ++y) {
        const uchar* pa = ga.constScanLine(y);
        const uchar* pb = gb.constScanLine(y);
        for (int x = 0; x < 128; ++x) sum += std::abs(int(pa[x]) - int(pb[x]));
    }
    return 1.0 - sum / (128.0 * 128.0 * 255.0);
}

double inkOverlap(const QImage& a, const QImage& b)
{
    const QImage ga = grey128(a), gb = grey128(b);
    int both = 0, either = 0;
    for (int y = 0; y < 128; ++y) {
        const uchar* pa = ga.constScanLine(y);
        const uchar* pb = gb.constScanLine(y);
        for (int x = 0; x < 128; ++x) {
            const bool ia = pa[x] < 128, ib = pb[x] < 128;
            both += ia && ib;
            either += ia || ib;
        }
    }
    return either ? double(both) / either : 1.0;
}

QRect inkedBox(const QImage& image, int threshold)
{
    int l = image.width(), t = image.height(), r = -1, b = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < threshold) {
                l = std::min(l, x); r = std::max(r, x); t = std::min(t, y); b = std::max(b, y);
            }
    return r < 0 ? QRect() : QRect(QPoint(l, t), QPoint(r, b));
}

QRect colourBox(const QImage& image, QRgb colour, int tolerance)
{
    int l = image.width(), t = image.height(), r = -1, b = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            if (std::abs(qRed(c) - qRed(colour)) + std::abs(qGreen(c) - qGreen(colour)) + std::abs(qBlue(c) - qBlue(colour)) <= tolerance) {
                l = std::min(l, x); r = std::max(r, x); t = std::min(t, y); b = std::max(b, y);
            }
        }
    return r < 0 ? QRect() : QRect(QPoint(l, t), QPoint(r, b));
}

} // namespace wmftest
