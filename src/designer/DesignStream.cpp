#include "designer/DesignStream.h"

#include <QIODevice>

#include <cstring>

DesignReader::DesignReader(QIODevice& device, qint64 maxBytes)
    : m_device(device),
      m_data(device.peek(device.isSequential() ? maxBytes : qMin(maxBytes, device.bytesAvailable()))),
      m_in(reinterpret_cast<const uchar*>(m_data.constData()), m_data.size())
{
}

DesignReader::~DesignReader()
{
    m_device.skip(m_in.pos());
}

bool DesignReader::f64(double& v)
{
    const quint64 bits = m_in.u64();
    std::memcpy(&v, &bits, sizeof v);
    return m_in.ok();
}

void DesignWriter::u16(quint16 v)
{
    m_data.append(char(v & 0xFF));
    m_data.append(char(v >> 8));
}

void DesignWriter::u32(quint32 v)
{
    for (int i = 0; i < 4; ++i) m_data.append(char((v >> (8 * i)) & 0xFF));
}

void DesignWriter::f64(double v)
{
    quint64 bits;
    std::memcpy(&bits, &v, sizeof bits);
    for (int i = 0; i < 8; ++i) m_data.append(char((bits >> (8 * i)) & 0xFF));
}
