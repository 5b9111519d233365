#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

// Items found by name, in an open-addressing table whose slots keep each item's hash: a lookup
// reads a short run of adjacent slots and looks at an item's name only when the hashes agree.
// A large library holds tens of thousands of names, and a table of one node per name spends
// most of a load waiting for memory. `NameOf` gives an item's name; an item that converts to
// false marks a free slot. The hash of a name may be computed once and used for several calls.
// Slots keep 32 bits of hash and fill up to three quarters: the table of a library of many
// tiny components must cost no more per name than its record.
template <typename Item, typename NameOf> class SNameTable {
public:
    // Hashes fit 32 bits (the table never holds 2^31 names).
    static size_t hashOf(std::string_view name) noexcept {
        const size_t full = std::hash<std::string_view>{}(name);
        return static_cast<uint32_t>(full ^ (full >> 32));
    }

    size_t size() const { return m_count; }

    Item* find(std::string_view name, size_t hash) {
        if (m_slots.empty())
            return nullptr;
        const size_t i = slotOf(name, hash);
        return m_slots[i].item ? &m_slots[i].item : nullptr;
    }
    const Item* find(std::string_view name, size_t hash) const {
        return const_cast<SNameTable*>(this)->find(name, hash);
    }
    Item* find(std::string_view name) { return find(name, hashOf(name)); }
    const Item* find(std::string_view name) const { return find(name, hashOf(name)); }

    // The item of that name; when there is none, `item` (which must bear the name) is stored.
    // The bool tells whether it was stored.
    std::pair<Item*, bool> insert(std::string_view name, size_t hash, Item item) {
        if ((m_count + 1) * 4 > m_slots.size() * 3)
            grow();
        const size_t i = slotOf(name, hash);
        Slot& slot = m_slots[i];
        if (slot.item)
            return {&slot.item, false};
        slot.hash = static_cast<uint32_t>(hash);
        slot.item = std::move(item);
        ++m_count;
        return {&slot.item, true};
    }

    void erase(std::string_view name, size_t hash) {
        if (m_slots.empty())
            return;
        size_t hole = slotOf(name, hash);
        if (!m_slots[hole].item)
            return;
        m_slots[hole].item = Item();
        --m_count;
        // Slots after the hole that would no longer be reached from their home move back into
        // it, so that every run stays unbroken without markers for removed items.
        const size_t mask = m_slots.size() - 1;
        for (size_t j = (hole + 1) & mask; m_slots[j].item; j = (j + 1) & mask) {
            const size_t home = m_slots[j].hash & mask;
            const bool reachable =
                hole < j ? (hole < home && home <= j) : (hole < home || home <= j);
            if (reachable)
                continue;
            m_slots[hole] = std::move(m_slots[j]);
            m_slots[j].item = Item();
            hole = j;
        }
    }

    void clear() {
        m_slots.clear();
        m_slots.shrink_to_fit();
        m_count = 0;
    }

private:
    struct Slot {
        uint32_t hash = 0;
        Item item{};
    };
    static constexpr size_t kFirstSlots = 16;

    // The slot holding the name, or the free slot ending its run. The table has slots, and never
    // fills up.
    size_t slotOf(std::string_view name, size_t hash) const {
        const size_t mask = m_slots.size() - 1;
        for (size_t i = hash & mask;; i = (i + 1) & mask) {
            const Slot& slot = m_slots[i];
            if (!slot.item ||
                (slot.hash == static_cast<uint32_t>(hash) && NameOf{}(slot.item) == name))
                return i;
        }
    }

    void grow() {
        std::vector<Slot> old(std::max(kFirstSlots, m_slots.size() * 2));
        old.swap(m_slots);
        const size_t mask = m_slots.size() - 1;
        for (Slot& slot : old) {
            if (!slot.item)
                continue;
            size_t i = slot.hash & mask;
            while (m_slots[i].item)
                i = (i + 1) & mask;
            m_slots[i] = std::move(slot);
        }
    }

    std::vector<Slot> m_slots;
    size_t m_count = 0;
};
