#pragma once

#include <QByteArray>
#include <QtGlobal>

#include "platform/BoundedReader.h"

class QIODevice;

// Reads the fields of a designer file from a device, in order. The next
// maxBytes (the most a design can take) are looked at without being
// consumed; the first
// read past them fails the reader, and from then on every read fails and
// yields zeros, so a record that ends early is rejected. The device is left
// just after the last field read.
class DesignReader {
public:
    DesignReader(QIODevice& device, qint64 maxBytes);
    ~DesignReader();
    DesignReader(const DesignReader&) = delete;
    DesignReader& operator=(const DesignReader&) = delete;

    bool ok() const { return m_in.ok(); }

    bool bytes(char* out, int count) { return m_in.bytes(out, count) && m_in.ok(); }
    bool u8(quint8& v) { v = m_in.u8(); return m_in.ok(); }
    bool u16(quint16& v) { v = m_in.u16(); return m_in.ok(); }
    bool u32(quint32& v) { v = m_in.u32(); return m_in.ok(); }
    bool f64(double& v);

private:
    QIODevice& m_device;
    QByteArray m_data;
    BoundedReader m_in;
};

// Collects the fields of a designer file in memory; the design hands the
// bytes to the device in one write.
class DesignWriter {
public:
    void bytes(const char* data, int count) { m_data.append(data, count); }
    void u8(quint8 v) { m_data.append(char(v)); }
    void u16(quint16 v);
    void u32(quint32 v);
    void f64(double v);

    const QByteArray& data() const { return m_data; }

private:
    QByteArray m_data;
};
