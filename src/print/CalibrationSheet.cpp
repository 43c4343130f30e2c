#include "print/CalibrationSheet.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>

#include <algorithm>
#include <cmath>

#include "platform/Units.h"
#include "print/PrinterSettings.h"
#include "print/PageMetrics.h"
#include "print/PrintCaptions.h"

namespace {

constexpr double MM = Units::MmToInches(1.0);  // inches
// Room left for the end label past a scale's end; the two rulers' zeros.
constexpr double END_ROOM = 0.5;
const QPointF H_ORIGIN(0.6, 0.9);
const QPointF V_ORIGIN(1.3, 1.9);

int wholeCount(double available, double unit) { return std::max(0, int(std::floor(available / unit + 1e-9))); }

QString number(double value) { return QString::number(value, 'g', 6); }

double metricTick(int mm, int last)
{
    if (mm == 0 || mm == last) return CAL_END_TICK_MM;
    if (mm % 10 == 0) return CAL_MAJOR_TICK_MM;
    return mm % 5 == 0 ? 3.0 : 2.0;
}

double inchTick(int sixteenths, int last)
{
    if (sixteenths == 0 || sixteenths == last) return CAL_END_TICK_MM;
    if (sixteenths % 16 == 0) return CAL_MAJOR_TICK_MM;
    if (sixteenths % 8 == 0) return 3.5;
    if (sixteenths % 4 == 0) return 2.5;
    return sixteenths % 2 == 0 ? 2.0 : 1.5;
}

// One ruler in device pixels. The metric side is above a horizontal ruler and
// left of a vertical one; the inch side opposite.
void drawRuler(QPainter& p, const CalibrationRuler& r, double dpi)
{
    const QPointF along = r.vertical ? QPointF(0, dpi) : QPointF(dpi, 0);
    const QPointF metricSide = r.vertical ? QPointF(-dpi, 0) : QPointF(0, -dpi);
    const QPointF zero = r.origin * dpi;
    p.drawLine(QLineF(zero, zero + along * std::max(r.metricInches(), r.inchInches())));

    const QFontMetricsF fm(p.font(), p.device());
    auto label = [&](QPointF tickEnd, QPointF side, const QString& text) {
        const QPointF unit = side / dpi;
        const QSizeF size(fm.horizontalAdvance(text), fm.height());
        const QPointF c = tickEnd + side * MM + QPointF(unit.x() * size.width(), unit.y() * size.height()) / 2;
        QRectF box(QPointF(), size);
        box.moveCenter(c);
        p.drawText(box, Qt::AlignCenter, text);
    };

    const int lastMm = r.centimetres * 10;
    for (int mm = 0; mm <= lastMm; ++mm) {
        const QPointF base = zero + along * (mm * MM);
        const QPointF end = base + metricSide * (metricTick(mm, lastMm) * MM);
        p.drawLine(QLineF(base, end));
        if (mm % 10 == 0) label(end, metricSide, mm == lastMm && mm > 0 ? MetricEndLabel(r) : number(mm / 10));
    }
    const int last16 = r.halfInches * 8;
    for (int s = 0; s <= last16; ++s) {
        const QPointF base = zero + along * (s / 16.0);
        const QPointF end = base - metricSide * (inchTick(s, last16) * MM);
        p.drawLine(QLineF(base, end));
        if (s == last16 && s > 0) label(end, -metricSide, InchEndLabel(r));
        else if (s % 16 == 0) label(end, -metricSide, number(s / 16));
    }
}

}  // namespace

CalibrationSheetLayout LayoutCalibrationSheet(const QSizeF& printableInches)
{
    CalibrationSheetLayout layout;
    layout.horizontal.origin = H_ORIGIN;
    const double across = printableInches.width() - H_ORIGIN.x() - END_ROOM;
    layout.horizontal.centimetres = wholeCount(across, 1.0 / Units::CM_PER_INCH);
    layout.horizontal.halfInches = wholeCount(across, 0.5);

    layout.vertical.origin = V_ORIGIN;
    layout.vertical.vertical = true;
    const double down = printableInches.height() - V_ORIGIN.y() - END_ROOM;
    layout.vertical.centimetres = wholeCount(down, 1.0 / Units::CM_PER_INCH);
    layout.vertical.halfInches = wholeCount(down, 0.5);
    return layout;
}

QString MetricEndLabel(const CalibrationRuler& ruler) { return QStringLiteral("%1 cm").arg(ruler.centimetres); }

QString InchEndLabel(const CalibrationRuler& ruler) { return QStringLiteral("%1 in").arg(number(ruler.inchInches())); }

void DrawCalibrationSheet(QPainter& painter, const QSizeF& printableInches, double dpi, const QString& printerLine)
{
    const CalibrationSheetLayout layout = LayoutCalibrationSheet(printableInches);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    // Lines 1/200 inch wide (three pixels at 600 dpi), ends cut square so a
    // tick's centre is its position.
    painter.setPen(QPen(Qt::black, dpi / 200.0, Qt::SolidLine, Qt::FlatCap));
    painter.setFont(CaptionFont(8.0, dpi));
    drawRuler(painter, layout.horizontal, dpi);
    drawRuler(painter, layout.vertical, dpi);

    // The text beside the vertical ruler, wrapped to the printable width.
    const double left = layout.vertical.origin.x() + 1.0;
    const QRectF line(QPointF(left, layout.vertical.origin.y()) * dpi,
                      QSizeF(std::max(1.0, printableInches.width() - left - 0.1), 0.6) * dpi);
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
    painter.setFont(CaptionFont(11.0, dpi));
    painter.drawText(line, flags, QString::fromLatin1(CAL_INSTRUCTION));
    painter.setFont(CaptionFont(9.0, dpi));
    const QString lengths = QStringLiteral("Horizontal: 0 to %1 and 0 to %2.  Vertical: 0 to %3 and 0 to %4.")
                                .arg(MetricEndLabel(layout.horizontal), InchEndLabel(layout.horizontal),
                                     MetricEndLabel(layout.vertical), InchEndLabel(layout.vertical));
    painter.drawText(line.translated(0, 0.6 * dpi), flags, lengths);
    if (!printerLine.isEmpty()) painter.drawText(line.translated(0, 1.2 * dpi), flags, printerLine);
    painter.restore();
}

bool PrintCalibrationSheet(QPrinter& printer, const QString& printerLine)
{
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    const DevicePage page = PrinterDevicePage(printer);
    const double dpi = printer.resolution();
    if (printer.fullPage()) painter.translate(page.offset.width(), page.offset.height());
    DrawCalibrationSheet(painter, QSizeF(page.printable.width() / dpi, page.printable.height() / dpi), dpi, printerLine);
    painter.end();
    return FinishPdfOutput(printer);
}
