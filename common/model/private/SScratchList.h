#pragma once

#include <cstddef>
#include <iterator>
#include <vector>

// A list that a reader fills while it reads one section and then moves into a list of the exact
// length: one allocation per section instead of one per doubling. The list is one per thread and
// per element type; a reader of that type must not nest another. A huge section's list is not
// kept after it.
template <typename T> class SScratchList {
public:
    SScratchList() : m_items(list()) { m_items.clear(); }
    ~SScratchList() {
        m_items.clear();
        if (m_items.capacity() > kKeptCapacity)
            std::vector<T>().swap(m_items);
    }
    SScratchList(const SScratchList&) = delete;
    SScratchList& operator=(const SScratchList&) = delete;

    std::vector<T>& items() { return m_items; }
    // Moves the items into `target`, which then holds exactly them.
    void moveTo(std::vector<T>& target) {
        target.assign(std::make_move_iterator(m_items.begin()),
                      std::make_move_iterator(m_items.end()));
        m_items.clear();
    }

private:
    static constexpr size_t kKeptCapacity = 1024;
    static std::vector<T>& list() {
        thread_local std::vector<T> items;
        return items;
    }
    std::vector<T>& m_items;
};
