#include "doc/SPinGridRows.h"

#include "edit/SCompEditDoc.h"
#include "model/SPin.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<uint32_t, SPinGridRows::kTypeCount> kTypeCodes = {0, 8, 4, 12, 1, 2};

// Counter-clockwise from the top of the left edge: left, bottom, right, top.
int32_t sideRank(int32_t side) {
    switch (side) {
    case SPin::kSideLeft:
        return 0;
    case SPin::kSideBottom:
        return 1;
    case SPin::kSideRight:
        return 2;
    default:
        return 3;
    }
}

} // namespace

SPinGridRows::SPinGridRows() {
    layBlockPart(100);
    layFixedPart(300);
}

void SPinGridRows::layFixedPart(int32_t width) {
    const int32_t b = width >= 288 ? 8 : std::max(width, 0) / 36;
    m_layout.locationWidth = 4 * b;
    m_layout.hideWidth = 4 * b;
    m_layout.typeWidth = 80;
    m_layout.nameWidth = std::max(width - 8 * b - 80, 0);
}

int32_t SPinGridRows::layBlockPart(int32_t width) {
    if (width >= 64) {
        m_layout.visibleBlocks = width / 64;
        m_layout.blockWidth = width / m_layout.visibleBlocks;
    } else {
        m_layout.visibleBlocks = 1;
        m_layout.blockWidth = std::max(width, 1);
    }
    return m_layout.visibleBlocks * m_layout.blockWidth + 1;
}

int32_t SPinGridRows::layRows(int32_t height) {
    height = std::max(height, kMinRowHeight);
    m_layout.visibleRows = height / kMinRowHeight;
    m_layout.rowHeight = height / m_layout.visibleRows;
    return m_layout.visibleRows * m_layout.rowHeight + 1;
}

void SPinGridRows::sortRows(std::vector<Row>& rows) {
    std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
        const int32_t ra = sideRank(a.pin->side());
        const int32_t rb = sideRank(b.pin->side());
        if (ra != rb)
            return ra < rb;
        // Left and bottom run with the offset, right and top against it.
        return ra <= 1 ? a.pin->offset() < b.pin->offset() : a.pin->offset() > b.pin->offset();
    });
}

void SPinGridRows::rebuild(SCompEditDoc& doc) {
    m_rows.clear();
    for (size_t i = 0; i < doc.mainCount(); ++i) {
        SCompEditElm& elm = doc.mainElement(i);
        if (elm.isLive() && elm.pin())
            m_rows.push_back({false, elm.pin()});
    }
    for (size_t i = 0; i < doc.selectionCount(); ++i) {
        if (SPin* pin = doc.selectionElement(i).pin())
            m_rows.push_back({true, pin});
    }
    sortRows(m_rows);
    const auto it =
        std::find_if(m_rows.begin(), m_rows.end(), [](const Row& r) { return r.selected; });
    m_current = it == m_rows.end() ? -1 : static_cast<int32_t>(it - m_rows.begin());
    keepCurrentVisible();
}

const SPinGridRows::Row* SPinGridRows::current() const {
    return m_current >= 0 && m_current < rowCount() ? &m_rows[static_cast<size_t>(m_current)]
                                                    : nullptr;
}

void SPinGridRows::keepCurrentVisible() {
    const int32_t visible = m_layout.visibleRows;
    if (m_current >= 0) {
        if (m_current < m_firstRow)
            m_firstRow = m_current;
        else if (m_current >= m_firstRow + visible)
            m_firstRow = m_current - visible + 1;
    }
    if (m_firstRow + visible >= rowCount())
        m_firstRow = rowCount() - visible;
    m_firstRow = std::max(m_firstRow, 0);
}

void SPinGridRows::setFirstRow(int32_t value) {
    int32_t first = 0;
    if (value >= 0 && rowCount() > 0)
        first =
            value + m_layout.visibleRows < rowCount() ? value : rowCount() - m_layout.visibleRows;
    m_firstRow = std::max(first, 0);
}

void SPinGridRows::setFirstBlock(int32_t value, int32_t blockCount) {
    int32_t first = 0;
    if (value > 0)
        first = value + m_layout.visibleBlocks < blockCount ? value
                                                            : blockCount - m_layout.visibleBlocks;
    m_firstBlock = std::max(first, 0);
}

int32_t SPinGridRows::rowAt(int32_t y) const {
    return m_firstRow + y / m_layout.rowHeight;
}

int32_t SPinGridRows::columnAt(int32_t x) const {
    const Layout& l = m_layout;
    if (x < l.locationWidth)
        return kLocation;
    if (x < l.locationWidth + l.nameWidth)
        return kName;
    if (x < l.locationWidth + l.nameWidth + l.typeWidth)
        return kType;
    if (x < l.fixedWidth())
        return kHide;
    return kFirstBlock + (x - l.fixedWidth()) / l.blockWidth;
}

std::string SPinGridRows::locationText(const SPin& pin) {
    static constexpr char kLetters[] = "LTRB";
    const int32_t side = pin.side();
    const char letter = side >= 0 && side <= 3 ? kLetters[side] : '?';
    return letter + std::to_string(pin.offset());
}

int32_t SPinGridRows::typeIndex(uint32_t flags) {
    const uint32_t code = flags & 0x0f;
    for (int32_t i = 0; i < kTypeCount; ++i) {
        if (kTypeCodes[static_cast<size_t>(i)] == code)
            return i;
    }
    return 0;
}

uint32_t SPinGridRows::typeCode(int32_t index) {
    return index >= 0 && index < kTypeCount ? kTypeCodes[static_cast<size_t>(index)] : 0;
}
