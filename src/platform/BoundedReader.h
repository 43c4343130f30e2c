#pragma once

#include <QtGlobal>

#include <cstring>

// Little-endian reads over a byte range that never pass its end. The first
// read that would pass it fails the reader: that read yields zero, the
// position moves to the end, and so every later read yields zero too. Every
// file format we parse reads through this one class.
class BoundedReader {
public:
    BoundedReader(const uchar* data, qsizetype size) : m_data(data), m_size(size < 0 ? 0 : size) {}

    qsizetype pos() const { return m_pos; }
    qsizetype size() const { return m_size; }
    qsizetype remaining() const { return m_size - m_pos; }
    bool ok() const { return m_ok; }
    const uchar* here() const { return m_data + m_pos; }

    bool skip(qsizetype n)
    {
        if (!has(n)) return false;
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
    // Copies exactly n bytes, or fails and leaves n zero bytes.
    bool bytes(void* to, qsizetype n)
    {
        if (n <= 0) return true;
        if (!has(n)) {
            std::memset(to, 0, size_t(n));
            return false;
        }
        std::memcpy(to, here(), size_t(n));
        m_pos += n;
        return true;
    }

    quint8 u8() { return quint8(le(1)); }
    quint16 u16() { return quint16(le(2)); }
    qint16 s16() { return static_cast<qint16>(u16()); }
    quint32 u32() { return quint32(le(4)); }
    qint32 s32() { return static_cast<qint32>(u32()); }
    quint64 u64() { return le(8); }

private:
    bool has(qsizetype n)
    {
        if (n >= 0 && n <= remaining()) return true;
        m_ok = false;
        m_pos = m_size;
        return false;
    }
    quint64 le(int n)
    {
        if (!has(n)) return 0;
        quint64 v = 0;
        for (int i = n - 1; i >= 0; --i) v = (v << 8) | m_data[m_pos + i];
        m_pos += n;
        return v;
    }

    const uchar* m_data;
    qsizetype m_size;
    qsizetype m_pos = 0;
    bool m_ok = true;
};
