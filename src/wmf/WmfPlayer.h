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
    // records by group; each returns whether the record was one of its own
    bool objectRecord(const Record& r);
    bool mappingRecord(const Record& r);
    bool modeRecord(const Record& r);
    bool clipRecord(const Record& r);
    void draw(const Record& r);

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
    void rectangle(const Box& b);
    void roundRect(const RoundBox& b);
    void ellipse(const Box& b);
    void arc(quint16 function, const ArcBox& a);
    void polyline(const Polys& p);
    void polygon(const Polys& p);
    void polyPolygon(const Polys& p);
    void setPixel(const Pixel& p);
    void patBlt(const QRectF& rect, quint32 rop);
    void bitmap(quint16 function, const Blit& b);
    void fillRegion(quint16 function, const RegionPaint& p);
    QRectF logicalRect(const Box& b) const;

    // text (WmfText.cpp)
    void text(const TextRun& run);
    std::optional<QFont> textFont(double sx, double sy) const;
    std::vector<double> textAdvances(const TextRun& run, const QString& str, const std::vector<int>& byteLengths,
                                     const QFontMetricsF& fm, double sx) const;
    QPointF textOrigin(double width, const QFontMetricsF& fm) const;
    void drawTextRun(const QString& str, const std::vector<double>& adv, QPointF origin, bool perCharacter);

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
