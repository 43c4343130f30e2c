#pragma once

#include <QByteArray>
#include <QtGlobal>

class QIODevice;

// Reads the raw little-endian fields of a designer file from a device, in
// order, without seeking. The first short read marks the reader failed; from
// then on every read fails and yields zeros, so a record that ends early is
// rejected without anything being read past the data.
class DesignReader {
public:
    explicit DesignReader(QIODevice& device) : m_device(device) {}

    bool ok() const { return m_ok; }

    bool bytes(char* out, int count);
    bool u8(quint8& v);
    bool u16(quint16& v);
    bool u32(quint32& v);
    bool f64(double& v);

private:
    QIODevice& m_device;
    bool m_ok = true;
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
