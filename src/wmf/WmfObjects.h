#pragma once

#include <functional>
#include <queue>
#include <vector>

namespace wmf {

// The metafile's object table: every created object takes the lowest free
// slot; DeleteObject frees it; SelectObject names it by slot.
class ObjectTable {
public:
    enum Kind { Empty, PenObject, BrushObject, FontObject, PaletteObject, RegionObject };
    struct Slot {
        Kind kind = Empty;
        int index = -1;  // into the picture's pens, brushes, ...; -1 when its content was unusable
    };

    // Limit on slots, far above what files declare, so a file cannot grow the table without bound.
    static constexpr int MAX_SLOTS = 65536;

    int add(Kind kind, int index)
    {
        if (!m_free.empty()) {
            const int slot = m_free.top();
            m_free.pop();
            m_slots[size_t(slot)] = {kind, index};
            return slot;
        }
        if (int(m_slots.size()) >= MAX_SLOTS) return -1;
        m_slots.push_back({kind, index});
        return int(m_slots.size() - 1);
    }
    const Slot* get(int slot) const
    {
        if (slot < 0 || slot >= int(m_slots.size()) || m_slots[size_t(slot)].kind == Empty) return nullptr;
        return &m_slots[size_t(slot)];
    }
    void remove(int slot)
    {
        if (!get(slot)) return;
        m_slots[size_t(slot)] = Slot();
        m_free.push(slot);
    }
    int size() const { return int(m_slots.size()); }

private:
    std::vector<Slot> m_slots;
    // The free slots below the table's end, lowest on top, so that creating
    // an object costs the same however full the table is.
    std::priority_queue<int, std::vector<int>, std::greater<int>> m_free;
};

} // namespace wmf
