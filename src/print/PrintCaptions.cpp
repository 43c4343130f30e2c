#include "print/PrintCaptions.h"

#include <QFont>
#include <QFontMetrics>

#include <algorithm>
#include <cmath>

#include "platform/Profile.h"
#include "print/DashedLine.h"

const char* const MAKER_LINE_SECTION = "Printing";
const char* const MAKER_LINE_KEY = "MakerLine";

QString MakerLine()
{
    QString line;
    ReadProfileText(QLatin1String(MAKER_LINE_SECTION), QLatin1String(MAKER_LINE_KEY), QString(), &line);
    return line.trimmed();
}

QString PrintTitleText(const QString& title)
{
    return title + QStringLiteral(" - Vantric");
}

static long percent(double f)
{
    return static_cast<long>(f * 100.0);
}

QString PrintFitCaption(double fitScale)
{
    return QStringLiteral("SCALED TO FIT PAPER = %1%").arg(percent(fitScale));
}

QString ScreenFitCaption(double fitScale)
{
    return QStringLiteral("SCALED TO FIT = %1%").arg(percent(fitScale));
}

QString ScreenDistanceCaption(const QString& targetDistance, const QString& targetUnit,
                              const QString& shooterDistance, const QString& shooterUnit)
{
    return QStringLiteral("SCALED FOR DISTANCE: %1 %2 @ %3 %4")
        .arg(targetDistance, targetUnit, shooterDistance, shooterUnit);
}

// Text at (x, y), top-left aligned, on a white box of its own extent: GDI's
// opaque background mode, which blanks the target under the caption.
static void opaqueText(QPainter* p, const QRect& box, int flags, const QString& text)
{
    const QRect r = p->boundingRect(box, flags | Qt::TextSingleLine, text);
    p->fillRect(r, Qt::white);
    p->drawText(box, flags | Qt::TextSingleLine, text);
}

QFont CaptionFont()
{
    QFont font(QStringLiteral("Arial"));
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    return font;
}

QFont CaptionFont(double points, double dpi)
{
    QFont font = CaptionFont();
    font.setPixelSize(std::max(1, int(std::lround(points / 72.0 * dpi))));
    return font;
}

void DrawPrintCaptions(DeviceContext& dc, const PrintCaptionInfo& info, const TargetLayout& layout)
{
    QPainter* p = dc.painter();
    if (!p) return;
    dc.save();
    QFont regular = CaptionFont();
    regular.setPointSizeF(8.0);
    QFont bold = regular;
    bold.setWeight(QFont::Bold);
    QPaintDevice* device = dc.device();
    const QFontMetrics fmRegular(regular, device);
    const QFontMetrics fmBold(bold, device);
    p->setPen(Qt::black);
    p->setFont(regular);

    constexpr int wide = 1 << 20;
    const bool poster = info.nTileMode == TILE_PAGES_TO_TARGET;
    if (!poster || info.nCurPage == 1) {
        const int h1 = fmRegular.height();
        opaqueText(p, QRect(0, 0, wide, h1), Qt::AlignLeft | Qt::AlignTop, PrintTitleText(info.strTitle));
        p->setFont(bold);
        if (info.nScaleMode == SCALE_TO_PAGE) {
            opaqueText(p, QRect(0, h1, wide, fmBold.height()), Qt::AlignLeft | Qt::AlignTop,
                       PrintFitCaption(info.dFitScale));
        } else if (info.nScaleMode == SCALE_FOR_DISTANCE) {
            const int h2 = fmBold.height();
            opaqueText(p, QRect(0, h1, wide, h2), Qt::AlignLeft | Qt::AlignTop, QStringLiteral("SCALED FOR DISTANCE"));
            const QString widest = QStringLiteral("Scaled Target Distance: %1 %2")
                                       .arg(info.strTargetDistance, info.strTargetUnit);
            const int w = fmBold.horizontalAdvance(widest);
            const int h3 = fmBold.height();
            QRect line(0, h1 + h2, w, h3);
            const QString shooter = QStringLiteral("%1 %2").arg(info.strShooterDistance, info.strShooterUnit);
            const QString target = QStringLiteral("%1 %2").arg(info.strTargetDistance, info.strTargetUnit);
            opaqueText(p, line, Qt::AlignLeft | Qt::AlignTop, QStringLiteral("Shooting Distance:"));
            opaqueText(p, line, Qt::AlignRight | Qt::AlignTop, shooter);
            line.translate(0, h3);
            opaqueText(p, line, Qt::AlignLeft | Qt::AlignTop, QStringLiteral("Scaled Target Distance:"));
            opaqueText(p, line, Qt::AlignRight | Qt::AlignTop, target);
            // The table keeps its layout; the calibre follows its end.
            if (!info.strCalibre.isEmpty())
                opaqueText(p, QRect(line.right() + 1, line.top(), wide, h3), Qt::AlignLeft | Qt::AlignTop,
                           info.strCalibre);
        }
        p->setFont(regular);
    }
    const QString maker = MakerLine();
    if (!maker.isEmpty() && (!poster || info.nCurPage == info.nPageCols)) {
        const int w = fmRegular.horizontalAdvance(maker);
        opaqueText(p, QRect(info.nPrintableWidth - w, 0, w, fmRegular.height()), Qt::AlignRight | Qt::AlignTop, maker);
    }
    dc.restore();

    if (poster) {
        // Sheets that overlap or carry a label band would show their
        // neighbours' borders inside their own: only their own is drawn.
        const bool ownOnly = layout.m_nOverlap > 0 || layout.m_nLabelBand > 0;
        for (size_t k = 0; k < layout.m_arrPages.size(); ++k) {
            if (ownOnly && static_cast<int>(k) != layout.m_nCurSheet) continue;
            GdiRect r = layout.m_arrPages[k];
            r.inflate(-2, -2);
            DrawCutBorder(dc, r);
        }
    }
}
