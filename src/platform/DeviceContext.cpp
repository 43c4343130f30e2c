#include "platform/DeviceContext.h"

#include <QImage>
#include <QPaintDevice>
#include <cmath>

#include "platform/Units.h"

DeviceContext::DeviceContext(QPainter* painter, int dpiX, int dpiY)
    : m_painter(painter), m_dpiX(dpiX > 0 ? dpiX : 96), m_dpiY(dpiY > 0 ? dpiY : 96) {}

DeviceContext::DeviceContext(QPainter* painter)
    : DeviceContext(painter,
                    painter && painter->device() ? painter->device()->logicalDpiX() : 96,
                    painter && painter->device() ? painter->device()->logicalDpiY() : 96) {}

QPaintDevice* DeviceContext::device() const { return m_painter ? m_painter->device() : nullptr; }

void DeviceContext::save()
{
    if (m_painter) m_painter->save();
    m_saved.push_back({m_stretchMode});
}

void DeviceContext::restore()
{
    if (m_saved.empty()) return;
    if (m_painter) m_painter->restore();
    m_stretchMode = m_saved.back().stretchMode;
    m_saved.pop_back();
}

int DeviceContext::himetricToDeviceX(int himetric) const { return Units::HimetricToDevice(himetric, m_dpiX); }
int DeviceContext::himetricToDeviceY(int himetric) const { return Units::HimetricToDevice(himetric, m_dpiY); }

QImage makeDeviceImage(int width, int height, int dpiX, int dpiY)
{
    QImage image(qMax(width, 1), qMax(height, 1), QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setDotsPerMeterX(static_cast<int>(std::lround(dpiX / 0.0254)));
    image.setDotsPerMeterY(static_cast<int>(std::lround(dpiY / 0.0254)));
    return image;
}
