#include "designer/DesignStream.h"

#include <QIODevice>

#include <cstring>

bool DesignReader::bytes(char* out, int count)
{
    if (m_ok && m_device.read(out, count) == count) return true;
    m_ok = false;
    std::memset(out, 0, size_t(count));
    return false;
}

bool DesignReader::u8(quint8& v)
{
    char b = 0;
    const bool got = bytes(&b, 1);
    v = static_cast<quint8>(b);
    return got;
}

bool DesignReader::u16(quint16& v)
{
    unsigned char b[2];
    const bool got = bytes(reinterpret_cast<char*>(b), 2);
    v = static_cast<quint16>(b[0] | (b[1] << 8));
    return got;
}

bool DesignReader::u32(quint32& v)
{
    unsigned char b[4];
    const bool got = bytes(reinterpret_cast<char*>(b), 4);
    v = quint32(b[0]) | (quint32(b[1]) << 8) | (quint32(b[2]) << 16) | (quint32(b[3]) << 24);
    return got;
}

bool DesignReader::f64(double& v)
{
    unsigned char b[8];
    const bool got = bytes(reinterpret_cast<char*>(b), 8);
    quint64 bits = 0;
    for (int i = 7; i >= 0; --i) bits = (bits << 8) | b[i];
    std::memcpy(&v, &bits, sizeof v);
    return got;
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
