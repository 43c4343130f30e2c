#pragma once

#include <QIODevice>

// The bitmap decoder's view of its input: reads, single bytes and seeks
// relative to where decoding began. A short read is not an error here; the
// caller decides what the missing bytes mean. A seek past the end leaves
// nothing more to read, whatever the device would make of it.
class BmpSource {
public:
    explicit BmpSource(QIODevice& device) : m_device(device), m_start(device.pos()) {}

    // Reads up to n bytes; returns how many arrived (0 at the end).
    qint64 read(void* data, qint64 n)
    {
        if (n <= 0 || m_pastEnd) return 0;
        char* p = static_cast<char*>(data);
        qint64 total = 0;
        while (total < n) {
            const qint64 got = m_device.read(p + total, n - total);
            if (got <= 0) break;
            total += got;
        }
        return total;
    }

    // The next byte, or -1 at the end.
    int byte()
    {
        char c;
        if (m_pastEnd || !m_device.getChar(&c)) return -1;
        return int(uchar(c));
    }

    void seek(qint64 offset)
    {
        const qint64 target = m_start + offset;
        m_pastEnd = offset < 0 || target > m_device.size() || !m_device.seek(target);
    }

private:
    QIODevice& m_device;
    qint64 m_start;
    bool m_pastEnd = false;
};
