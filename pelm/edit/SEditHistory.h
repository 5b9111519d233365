#pragma once

#include "edit/SCompEditElm.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// The committed elements of the edit document in the order they were added, with the operation
// counter they are stamped by. Undo reverts the newest operation that changed anything: what it
// took out comes back, what it placed goes.
class SEditHistory {
public:
    using List = std::vector<std::unique_ptr<SCompEditElm>>;

    int32_t opNumber() const { return m_opNumber; }
    // A fresh operation number (it stays at the largest one once reached).
    int32_t nextOpNumber();
    // Gives back a number that changed nothing.
    void dropOpNumber();
    bool canUndo() const { return m_opNumber > 0; }
    // False when no operation changed anything.
    bool undo();

    // Every element, and the counter back to 0.
    void clear();
    void reserve(size_t count) { m_elements.reserve(count); }
    void append(std::unique_ptr<SCompEditElm> elm) { m_elements.push_back(std::move(elm)); }

    size_t size() const { return m_elements.size(); }
    const SCompEditElm& at(size_t index) const { return *m_elements[index]; }
    SCompEditElm& at(size_t index) { return *m_elements[index]; }
    // The elements may be changed in place, the list only through this class.
    const List& elements() const { return m_elements; }

private:
    int32_t undoStep();

    int32_t m_opNumber = 0;
    // Held by pointer: selection copies point at their sources.
    List m_elements;
};
