// Text of the metafile player: fonts, character sets, alignment, spacing.
#include "wmf/WmfText.h"

#include "wmf/WmfPlayer.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QStringDecoder>

#include <cmath>
#include <optional>

namespace wmf {

namespace {

// Symbol font codes 0x20..0xFF to Unicode.
const char16_t SYMBOL_TABLE[224] = {
    0x0020, 0x0021, 0x2200, 0x0023, 0x2203, 0x0025, 0x0026, 0x220B, 0x0028, 0x0029, 0x2217, 0x002B, 0x002C, 0x2212, 0x002E, 0x002F,
    0x0030, 0x0031, 0x0032, 0x0033, 0x0034, 0x0035, 0x0036, 0x0037, 0x0038, 0x0039, 0x003A, 0x003B, 0x003C, 0x003D, 0x003E, 0x003F,
    0x2245, 0x0391, 0x0392, 0x03A7, 0x0394, 0x0395, 0x03A6, 0x0393, 0x0397, 0x0399, 0x03D1, 0x039A, 0x039B, 0x039C, 0x039D, 0x039F,
    0x03A0, 0x0398, 0x03A1, 0x03A3, 0x03A4, 0x03A5, 0x03C2, 0x03A9, 0x039E, 0x03A8, 0x0396, 0x005B, 0x2234, 0x005D, 0x22A5, 0x005F,
    0x203E, 0x03B1, 0x03B2, 0x03C7, 0x03B4, 0x03B5, 0x03C6, 0x03B3, 0x03B7, 0x03B9, 0x03D5, 0x03BA, 0x03BB, 0x03BC, 0x03BD, 0x03BF,
    0x03C0, 0x03B8, 0x03C1, 0x03C3, 0x03C4, 0x03C5, 0x03D6, 0x03C9, 0x03BE, 0x03C8, 0x03B6, 0x007B, 0x007C, 0x007D, 0x223C, 0x0020,
    0x0020, 0x0020, 0x0020, 0x0020, 0x0020, 0x0020, 0x0020, 0x0020, 0x0020, 0x0020, 0x0020, 0x0020, 0x0020, 0x0020, 0x0020, 0x0020,
    0x0020, 0x0020, 0x0020, 0x0020, 0x0020, 0x0020, 0x0020, 0x0020, 0x0020, 0x0020, 0x0020, 0x0020, 0x0020, 0x0020, 0x0020, 0x0020,
    0x20AC, 0x03D2, 0x2032, 0x2264, 0x2044, 0x221E, 0x0192, 0x2663, 0x2666, 0x2665, 0x2660, 0x2194, 0x2190, 0x2191, 0x2192, 0x2193,
    0x00B0, 0x00B1, 0x2033, 0x2265, 0x00D7, 0x221D, 0x2202, 0x2022, 0x00F7, 0x2260, 0x2261, 0x2248, 0x2026, 0x23D0, 0x23AF, 0x21B5,
    0x2135, 0x2111, 0x211C, 0x2118, 0x2297, 0x2295, 0x2205, 0x2229, 0x222A, 0x2283, 0x2287, 0x2284, 0x2282, 0x2286, 0x2208, 0x2209,
    0x2220, 0x2207, 0x00AE, 0x00A9, 0x2122, 0x220F, 0x221A, 0x22C5, 0x00AC, 0x2227, 0x2228, 0x21D4, 0x21D0, 0x21D1, 0x21D2, 0x21D3,
    0x25CA, 0x2329, 0x00AE, 0x00A9, 0x2122, 0x2211, 0x239B, 0x239C, 0x239D, 0x23A1, 0x23A2, 0x23A3, 0x23A7, 0x23A8, 0x23A9, 0x23AA,
    0x20AC, 0x232A, 0x222B, 0x2320, 0x23AE, 0x2321, 0x239E, 0x239F, 0x23A0, 0x23A4, 0x23A5, 0x23A6, 0x23AB, 0x23AC, 0x23AD, 0x0020,
};

// windows-1252 bytes 0x80..0x9F.
const char16_t CP1252_HIGH[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

const char* codecFor(int charSet)
{
    switch (charSet) {
    case 128: return "Shift_JIS";
    case 129: return "windows-949";
    case 134: return "GBK";
    case 136: return "Big5";
    case 161: return "windows-1253";
    case 162: return "windows-1254";
    case 177: return "windows-1255";
    case 178: return "windows-1256";
    case 186: return "windows-1257";
    case 204: return "windows-1251";
    case 222: return "windows-874";
    case 238: return "windows-1250";
    case 255: return "IBM437";
    default: return nullptr;
    }
}

} // namespace

QString mapFaceName(const QByteArray& face)
{
    const QString name = QString::fromLatin1(face).trimmed();
    const QString lower = name.toLower();
    if (lower.isEmpty() || lower == u"arial" || lower == u"helvetica" || lower.startsWith(u"arial ")
        || lower == u"ms sans serif" || lower == u"system" || lower == u"tahoma" || lower == u"verdana"
        || lower == u"ms shell dlg" || lower == u"microsoft sans serif")
        return lower.contains(u"narrow") ? QStringLiteral("Liberation Sans Narrow") : QStringLiteral("Liberation Sans");
    if (lower == u"times new roman" || lower == u"times" || lower == u"ms serif" || lower == u"tms rmn"
        || lower == u"symbol" || lower == u"mt extra" || lower == u"georgia")
        return QStringLiteral("Liberation Serif");
    if (lower == u"courier new" || lower == u"courier" || lower == u"lucida console")
        return QStringLiteral("Liberation Mono");
    if (lower.startsWith(u"wingdings") || lower.startsWith(u"webdings"))
        return QStringLiteral("DejaVu Sans");
    return name;
}

bool isSymbolFace(const QByteArray& face)
{
    return face.compare("Symbol", Qt::CaseInsensitive) == 0;
}

QString decodeText(const QByteArray& bytes, int charSet, bool symbolFace, std::vector<int>* byteLengths)
{
    QString out;
    if (byteLengths) byteLengths->clear();
    if (symbolFace || charSet == 2) {
        out.reserve(bytes.size());
        for (char c : bytes) {
            const uchar b = uchar(c);
            out.append(symbolFace && b >= 0x20 ? QChar(SYMBOL_TABLE[b - 0x20]) : QChar(b));
            if (byteLengths) byteLengths->push_back(1);
        }
        return out;
    }
    if (const char* codec = codecFor(charSet)) {
        QStringDecoder decoder(codec);
        if (decoder.isValid()) {
            if (!byteLengths) return decoder(bytes);
            // Decode one byte at a time so each character's byte count is known.
            for (char c : bytes) {
                const QString part = decoder(QByteArrayView(&c, 1));
                if (part.isEmpty()) {
                    if (!byteLengths->empty()) byteLengths->back() += 1;
                    else byteLengths->push_back(1);  // counted with the character it starts
                    continue;
                }
                for (int i = 0; i < part.size(); ++i) byteLengths->push_back(i == 0 ? 1 : 0);
                out += part;
            }
            return out;
        }
    }
    out.reserve(bytes.size());
    for (char c : bytes) {
        const uchar b = uchar(c);
        out.append(b >= 0x80 && b < 0xA0 ? QChar(CP1252_HIGH[b - 0x80]) : QChar(b));
        if (byteLengths) byteLengths->push_back(1);
    }
    return out;
}

// The font of the current state at device size; nothing when the text would
// be invisible or larger than any page.
std::optional<QFont> Player::textFont(double sx, double sy) const
{
    const Font f = m_state.hasFont ? m_state.font : Font{};
    const double dpiY = m_painter->device() ? m_painter->device()->logicalDpiY() : 96;
    QFont font(mapFaceName(f.faceName));
    font.setWeight(QFont::Weight(std::clamp(f.weight <= 0 ? 400 : f.weight, 1, 1000)));
    font.setItalic(f.italic);
    font.setUnderline(f.underline);
    font.setStrikeOut(f.strikeOut);
    font.setKerning(false);
    font.setHintingPreference(QFont::PreferNoHinting);
    double em;
    if (f.height < 0) {
        em = -f.height * sy;
    } else if (f.height > 0) {
        // A positive height is the cell (ascent + descent), not the em.
        QFont probe(font);
        probe.setPixelSize(1000);
        const QFontMetricsF pm(probe);
        const double cell = pm.ascent() + pm.descent();
        em = f.height * sy * (cell > 0 ? 1000.0 / cell : 1.0);
    } else {
        em = 12.0 * dpiY / 72.0;
    }
    if (!(em > 0.05) || em > 20000.0) return std::nullopt;
    font.setPointSizeF(em * 72.0 / dpiY);
    if (f.width != 0) {
        const double natural = QFontMetricsF(font, m_painter->device()).averageCharWidth();
        if (natural > 0)
            font.setStretch(std::clamp(int(std::lround(100.0 * std::fabs(f.width) * sx / natural)), 1, 4000));
    }
    return font;
}

// Device advance of every UTF-16 unit: the record's own spacing where it has
// one (summed over the bytes behind each unit), else the font's advances with
// the character and justification extras.
std::vector<double> Player::textAdvances(const TextRun& run, const QString& str, const std::vector<int>& byteLengths,
                                         const QFontMetricsF& fm, double sx) const
{
    std::vector<double> adv(size_t(str.size()), 0.0);
    const int breaks = std::max(1, m_state.justifyCount);
    size_t byte = 0;
    for (int i = 0; i < str.size(); ++i) {
        if (!run.dx.empty()) {
            double a = 0;
            for (int k = 0; k < byteLengths[size_t(i)] && byte < run.dx.size(); ++k) a += run.dx[byte++];
            adv[size_t(i)] = a * sx;
        } else {
            adv[size_t(i)] = fm.horizontalAdvance(str.at(i)) + m_state.charExtra * sx;
            if (str.at(i) == QLatin1Char(' ') && m_state.justifyExtra)
                adv[size_t(i)] += m_state.justifyExtra * sx / breaks;
        }
    }
    return adv;
}

// Where the text starts relative to its reference point: left edge from the
// horizontal alignment, baseline from the vertical one.
QPointF Player::textOrigin(double width, const QFontMetricsF& fm) const
{
    const int align = m_state.textAlign;
    double x0 = 0;
    if ((align & TA_CENTER) == TA_CENTER) x0 = -width / 2;
    else if (align & TA_RIGHT) x0 = -width;
    double baseline = fm.ascent();
    if ((align & TA_BASELINE) == TA_BASELINE) baseline = 0;
    else if (align & TA_BOTTOM) baseline = -fm.descent();
    return {x0, baseline};
}

// Draws the text from origin, in one run when the font's own spacing holds,
// else character by character at the given advances.
void Player::drawTextRun(const QString& str, const std::vector<double>& adv, QPointF origin, bool perCharacter)
{
    if (!perCharacter) {
        m_painter->drawText(origin, str);
        return;
    }
    double x = origin.x();
    for (int i = 0; i < str.size(); ++i) {
        if (!str.at(i).isSpace()) {
            if (str.at(i).isHighSurrogate() && i + 1 < str.size()) {
                m_painter->drawText(QPointF(x, origin.y()), str.mid(i, 2));
            } else if (!str.at(i).isLowSurrogate()) {
                m_painter->drawText(QPointF(x, origin.y()), QString(str.at(i)));
            }
        }
        x += adv[size_t(i)];
    }
}

void Player::text(const TextRun& run)
{
    if (run.text.isEmpty() || !prepare(false, false)) return;
    const DcState& st = m_state;
    const Font f = st.hasFont ? st.font : Font{};
    const int options = run.options;
    const QTransform full = m_toFrame * m_base;
    const double sx = std::hypot(full.m11(), full.m12());
    const double sy = std::hypot(full.m21(), full.m22());

    const std::optional<QFont> font = textFont(sx, sy);
    if (!font) return;
    const QFontMetricsF fm(*font, m_painter->device());
    std::vector<int> byteLengths;
    const QString str = decodeText(run.text, f.charSet, isSymbolFace(f.faceName), &byteLengths);
    if (str.isEmpty()) return;
    const std::vector<double> adv = textAdvances(run, str, byteLengths, fm, sx);
    double width = 0;
    for (double a : adv) width += a;

    const bool updateCp = st.textAlign & TA_UPDATECP;
    const QPointF anchor = full.map(updateCp ? st.position : QPointF(run.x, run.y));
    const QPointF origin = textOrigin(width, fm);

    if (options & ETO_OPAQUE) m_painter->fillRect(logicalRect(run.rect), colorRef(st.bkColor));
    if (options & ETO_CLIPPED) {
        m_painter->setClipRect(logicalRect(run.rect), Qt::IntersectClip);
        m_clipDirty = true;
    }

    QTransform t;
    t.translate(anchor.x(), anchor.y());
    // Escapement turns the baseline counter-clockwise as seen on the page.
    if (f.escapement) t.rotate(-f.escapement / 10.0);
    m_painter->setWorldTransform(t);
    m_transformDirty = true;
    if (st.bkMode == OPAQUE && !(options & ETO_OPAQUE))
        m_painter->fillRect(QRectF(origin.x(), origin.y() - fm.ascent(), width, fm.ascent() + fm.descent()),
                            colorRef(st.bkColor));
    m_painter->setFont(*font);
    m_painter->setPen(colorRef(st.textColor));
    drawTextRun(str, adv, origin, !run.dx.empty() || st.charExtra || st.justifyExtra);
    if (updateCp) {
        const double dxLogical = sx > 0 ? width / sx : 0;
        m_state.position.setX(m_state.position.x() + (m_toFrame.m11() < 0 ? -dxLogical : dxLogical));
    }
}

} // namespace wmf
