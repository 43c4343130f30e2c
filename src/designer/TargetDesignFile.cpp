// The designer file (".rgd"): the magic, the design marker, the label font
// size, the element count, each element as its type code and record, then
// the grid record. Little-endian fields, no padding.
#include "designer/TargetDesign.h"

#include <QIODevice>

#include <cstring>

#include "designer/DesignStream.h"

int CTargetDesign::Write(QIODevice& file) const
{
    // The count field holds 16 bits; a larger design would not read back.
    if (m_elements.size() > 0xFFFF) return 0;
    DesignWriter out;
    out.bytes(RGD_MAGIC, RGD_MAGIC_SIZE);
    out.u8(1);
    out.u16(static_cast<quint16>(m_labelFontSize & 0xFFFF));
    out.u16(static_cast<quint16>(m_elements.size()));
    for (const auto& e : m_elements) {
        out.u8(static_cast<quint8>(e->Type()));
        e->Write(out);
    }
    m_grid.Write(out);
    const QByteArray& data = out.data();
    return file.write(data) == data.size() ? 1 : 0;
}

static std::unique_ptr<CDesignElement> createElement(int type)
{
    switch (type) {
    case ELEMENT_BULLSEYE: return std::make_unique<CBullseyeElement>();
    case ELEMENT_CIRCLE: return std::make_unique<CCircleElement>();
    case ELEMENT_SQUARE: return std::make_unique<CSquareElement>();
    case ELEMENT_DIAMOND: return std::make_unique<CDiamondElement>();
    default: return nullptr;
    }
}

// The longest file a design can be: the header, 65535 elements of the
// longest kind (a bull's-eye: type code, 57-byte record, style) and the
// grid's record with its spacing.
constexpr qint64 MAX_DESIGN_BYTES = RGD_MAGIC_SIZE + 5 + qint64(0xFFFF) * (1 + 57 + 1) + 57 + 8;

int CTargetDesign::Read(QIODevice& file)
{
    Clear();
    DesignReader in(file, MAX_DESIGN_BYTES);
    char magic[RGD_MAGIC_SIZE];
    if (!in.bytes(magic, RGD_MAGIC_SIZE) || std::memcmp(magic, RGD_MAGIC, RGD_MAGIC_SIZE) != 0) return 0;

    quint8 marker = 0;
    if (!in.u8(marker)) return 0;
    if (marker != 0) {
        quint16 fontSize = 0, count = 0;
        in.u16(fontSize);
        in.u16(count);
        if (!in.ok()) return 0;
        m_labelFontSize = fontSize;
        for (int i = 0; i < count; ++i) {
            quint8 type = 0;
            if (!in.u8(type)) return 0;
            std::unique_ptr<CDesignElement> element = createElement(type);
            if (!element || !element->Read(in)) return 0;
            m_elements.push_back(std::move(element));
        }
        if (!m_grid.Read(in)) return 0;
    }
    m_marker = 1;
    Rebuild();
    return 1;
}
