#pragma once

#include <QPainter>
#include <QSize>

#include <vector>

#include "platform/GdiRect.h"

class QImage;
class QPaintDevice;

// The paper of a device in its own pixels: the whole sheet, the printable
// area and the printable area's distance from the sheet's top-left corner.
struct DevicePage {
    QSize paper;
    QSize printable;
    QSize offset;
};

// Where Windows drew into an HDC we draw into a DeviceContext: a QPainter plus
// what GDI could ask of the device (pixels per inch, whether it is a printer,
// whether it is a print preview, the printer's page) and the few GDI modes
// that drawing code sets and that QPainter has no notion of.
class DeviceContext {
public:
    enum StretchMode { BlackOnWhite = 1, WhiteOnBlack = 2, ColorOnColor = 3, Halftone = 4 };

    // The painter must be active on its device for the context's lifetime.
    DeviceContext(QPainter* painter, int dpiX, int dpiY);
    // Takes the pixels per inch from the painter's device (logicalDpiX/Y).
    explicit DeviceContext(QPainter* painter);

    QPainter* painter() const { return m_painter; }
    QPaintDevice* device() const;

    int dpiX() const { return m_dpiX; }  // LOGPIXELSX
    int dpiY() const { return m_dpiY; }  // LOGPIXELSY

    bool isPrinting() const { return m_printing; }
    void setPrinting(bool printing) { m_printing = printing; }
    bool isPreview() const { return m_preview; }
    void setPreview(bool preview) { m_preview = preview; }

    // Page of a printer context; empty sizes for screens and bitmaps.
    const DevicePage& page() const { return m_page; }
    void setPage(const DevicePage& page) { m_page = page; }

    StretchMode stretchMode() const { return m_stretchMode; }
    void setStretchMode(StretchMode mode) { m_stretchMode = mode; }

    // SaveDC / RestoreDC of the painter together with our own modes.
    void save();
    void restore();

    // HIMETRIC (0.01 mm) to device pixels, truncated toward zero.
    int himetricToDeviceX(int himetric) const;
    int himetricToDeviceY(int himetric) const;

private:
    QPainter* m_painter;
    int m_dpiX;
    int m_dpiY;
    bool m_printing = false;
    bool m_preview = false;
    DevicePage m_page;
    StretchMode m_stretchMode = BlackOnWhite;
    struct Saved { StretchMode stretchMode; };
    std::vector<Saved> m_saved;
};

// A white image of the given size whose dots per metre say dpi, so fonts in
// points and HIMETRIC conversions come out right when drawing into it.
QImage makeDeviceImage(int width, int height, int dpiX, int dpiY);
