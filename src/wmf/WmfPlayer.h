#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QRectF>
#include <QTransform>

#include <optional>
#include <vector>

#include "wmf/WmfFormat.h"
#include "wmf/WmfObjects.h"

namespace wmf {

// The device context's drawing state as SaveDC keeps it.
struct DcState {
    Pen pen;                      // stock black pen until one is selected
    Brush brush;                  // stock white brush
    Font font;
    bool hasFont = false;         // the stock font until a font is selected
    int palette = -1;
    quint32 textColor = 0;
    quint32 bkColor = 0xFFFFFF;
    int bkMode = OPAQUE;
    int textAlign = 0;
    int polyFillMode = 1;         // ALTERNATE
    int rop2 = R2_COPYPEN;
    int stretchMode = 0;          // 0: the device context's own
    int charExtra = 0;
    int justifyExtra = 0, justifyCount = 0;
    int mapMode = MM_TEXT;
    QPoint windowOrg, windowExt;
    QPoint viewportOrg, viewportExt;
    QPointF position;             // current position (logical)
    QPainterPath clip;            // in frame (device) coordinates; empty path = no clipping but the frame
    bool clipped = false;
};

// Plays a display list: the drawing-state machine (object table, mapping
// from logical units to the frame, SaveDC stack, clipping) and the drawing
// calls on a QPainter. Without a painter only the state changes, which is how
// the state machine is tested.
class Player {
public:
    // frame: where the picture's window lands, in the painter's current coordinates.
    Player(const Picture& picture, QPainter* painter, const QRectF& frame, const QRectF& clip = QRectF());

    void play();
    void step(const Record& record);
    // Stretch mode for bitmaps until the file sets one (4 is HALFTONE: smoothed).
    void setDefaultStretchMode(int mode) { m_defaultStretch = mode; }

    const DcState& state() const { return m_state; }
    const ObjectTable& objects() const { return m_objects; }
    int saveDepth() const { return int(m_stack.size()); }
    // Logical to frame coordinates for the current window.
    QTransform logicalToFrame() const;

    // SaveDC levels kept; deeper saves are ignored.
    static constexpr int MAX_SAVE_DEPTH = 1024;

private:
    // state
    void select(int slot);
    void restoreDc(int n);
    void setClipRect(const QRectF& logical, bool exclude);
    void selectClipRegion(int slot);
    void mappingChanged();

    // drawing (WmfPaint.cpp)
    bool prepare(bool usePen, bool useBrush);
    QPen makePen() const;
    QBrush makeBrush(const Brush& brush) const;
    void applyRop2();
    void drawShape(const QPainterPath& path, bool fill);
    void lineTo(const QPointF& p);
    void rectangle(const Record& r);
    void roundRect(const Record& r);
    void ellipse(const Record& r);
    void arc(const Record& r);
    void polyline(const Record& r);
    void polygon(const Record& r);
    void polyPolygon(const Record& r);
    void setPixel(const Record& r);
    void patBlt(const QRectF& rect, quint32 rop);
    void bitmap(const Record& r);
    void fillRegion(const Record& r);
    QRectF logicalRect(int l, int t, int r, int b) const;

    // text (WmfText.cpp)
    void text(const Record& r);
    std::optional<QFont> textFont(double sx, double sy) const;
    std::vector<double> textAdvances(const Record& r, const QString& str, const std::vector<int>& byteLengths,
                                     const QFontMetricsF& fm, double sx) const;
    QPointF textOrigin(double width, const QFontMetricsF& fm) const;
    void drawTextRun(const QString& str, const std::vector<double>& adv, QPointF origin, bool perCharacter);

    bool rasterDevice() const;
    double deviceScaleX() const;
    double deviceScaleY() const;

    const Picture& m_pic;
    QPainter* m_painter;
    QRectF m_frame;
    QRectF m_bound;               // frame clip
    QTransform m_base;            // painter's transform when playing started
    QPainterPath m_outerClip;     // painter's clip then, in m_base's units
    bool m_outerClipped = false;
    QTransform m_toFrame;         // logical to frame, kept current
    DcState m_state;
    std::vector<DcState> m_stack;
    ObjectTable m_objects;
    bool m_transformDirty = true;
    bool m_clipDirty = true;
    bool m_raster = false;
    int m_defaultStretch = 3;
};

} // namespace wmf
