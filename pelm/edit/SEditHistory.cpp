#include "edit/SEditHistory.h"

#include <limits>

int32_t SEditHistory::nextOpNumber() {
    if (m_opNumber < std::numeric_limits<int32_t>::max())
        ++m_opNumber;
    return m_opNumber;
}

void SEditHistory::dropOpNumber() {
    if (m_opNumber > 0)
        --m_opNumber;
}

void SEditHistory::clear() {
    m_elements.clear();
    m_opNumber = 0;
}

bool SEditHistory::undo() {
    if (m_elements.empty()) {
        m_opNumber = 0;
        return false;
    }
    int32_t changes = 0;
    while (changes == 0 && m_opNumber > 0) {
        changes = undoStep();
        --m_opNumber;
    }
    return changes > 0;
}

// Reverts the current operation in one pass: what it took out comes back, what it placed goes.
int32_t SEditHistory::undoStep() {
    const int32_t op = m_opNumber;
    int32_t changes = 0;
    size_t kept = 0;
    for (size_t i = 0; i < m_elements.size(); ++i) {
        SCompEditElm& elm = *m_elements[i];
        // An element placed by this very operation goes even if the operation also took it out.
        if (elm.m_placeOp == op) {
            ++changes;
            continue;
        }
        if (elm.m_deleteOp == op) {
            elm.m_deleteOp = -1;
            ++changes;
        }
        if (kept != i)
            m_elements[kept] = std::move(m_elements[i]);
        ++kept;
    }
    m_elements.resize(kept);
    return changes;
}
