#pragma once

#include <QtGlobal>

#include <cstring>

namespace wmf {

// Little-endian reads over a byte range that never pass its end: a read
// beyond it yields zero and marks the reader as failed.
class Reader {
public:
    Reader(const uchar* data, qsizetype size) : m_data(data), m_size(size < 0 ? 0 : size) {}

    qsizetype pos() const { return m_pos; }
    qsizetype size() const { return m_size; }
    qsizetype remaining() const { return m_size - m_pos; }
    bool ok() const { return m_ok; }
    const uchar* here() const { return m_data + m_pos; }

    bool skip(qsizetype n)
    {
        if (n < 0 || n > remaining()) { m_ok = false; m_pos = m_size; return false; }
        m_pos += n;
        return true;
    }
    void seek(qsizetype p) { m_pos = p < 0 ? 0 : (p > m_size ? m_size : p); }

    // Copies up to n bytes and moves past them; returns how many there were.
    // Running short is the caller's to judge, so it does not fail the reader.
    qsizetype read(void* to, qsizetype n)
    {
        if (n > remaining()) n = remaining();
        if (n <= 0) return 0;
        std::memcpy(to, here(), size_t(n));
        m_pos += n;
        return n;
    }

    quint8 u8()
    {
        if (remaining() < 1) { m_ok = false; return 0; }
        return m_data[m_pos++];
    }
    quint16 u16()
    {
        if (remaining() < 2) { m_ok = false; m_pos = m_size; return 0; }
        const quint16 v = quint16(m_data[m_pos] | (m_data[m_pos + 1] << 8));
        m_pos += 2;
        return v;
    }
    qint16 s16() { return static_cast<qint16>(u16()); }
    quint32 u32()
    {
        const quint32 lo = u16();
        const quint32 hi = u16();
        return lo | (hi << 16);
    }
    qint32 s32() { return static_cast<qint32>(u32()); }

private:
    const uchar* m_data;
    qsizetype m_size;
    qsizetype m_pos = 0;
    bool m_ok = true;
};

} // namespace wmf
