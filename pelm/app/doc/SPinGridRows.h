#pragma once

#include <cstdint>
#include <string>
#include <vector>

class SCompEditDoc;
class SPin;

// The pin property table without its window: one row per pin of the edit document, walked
// counter-clockwise round the body, the current row, the scrolled-to row and block, the column
// layout, and which cell a point falls in.
class SPinGridRows {
public:
    struct Row {
        bool selected = false;
        SPin* pin = nullptr; // owned by the edit document
    };
    enum Column : int32_t { kLocation = 0, kName = 1, kType = 2, kHide = 3, kFirstBlock = 4 };
    struct Layout {
        int32_t locationWidth = 0;
        int32_t nameWidth = 0;
        int32_t typeWidth = 0;
        int32_t hideWidth = 0;
        int32_t blockWidth = 0;
        int32_t visibleBlocks = 0;
        int32_t rowHeight = 20;
        int32_t visibleRows = 1;
        int32_t fixedWidth() const { return locationWidth + nameWidth + typeWidth + hideWidth; }
    };
    static constexpr int32_t kTypeCount = 6;
    static constexpr int32_t kMinRowHeight = 20;

    SPinGridRows();

    // Column widths for a fixed part of `width` pixels.
    void layFixedPart(int32_t width);
    // Block columns for `width` pixels; returns the width they take.
    int32_t layBlockPart(int32_t width);
    // Rows for `height` pixels (at least 20); returns the height they take.
    int32_t layRows(int32_t height);
    const Layout& layout() const { return m_layout; }

    // Live pins not selected, then the selected pins; sorted; the first selected is current.
    void rebuild(SCompEditDoc& doc);
    static void sortRows(std::vector<Row>& rows);

    const std::vector<Row>& rows() const { return m_rows; }
    int32_t rowCount() const { return static_cast<int32_t>(m_rows.size()); }
    int32_t currentRow() const { return m_current; }
    const Row* current() const;
    int32_t firstRow() const { return m_firstRow; }
    int32_t firstBlock() const { return m_firstBlock; }
    void setFirstRow(int32_t value);
    void setFirstBlock(int32_t value, int32_t blockCount);
    void keepCurrentVisible();

    // The cell under a point of the grid: row index (may be past the last row) and column.
    int32_t rowAt(int32_t y) const;
    int32_t columnAt(int32_t x) const;

    // "L1", "T4", ...: the side letter and the offset.
    static std::string locationText(const SPin& pin);
    // Place of a type code in the type list (unknown codes: 0), and back.
    static int32_t typeIndex(uint32_t flags);
    static uint32_t typeCode(int32_t index);

private:
    Layout m_layout;
    std::vector<Row> m_rows;
    int32_t m_current = -1;
    int32_t m_firstRow = 0;
    int32_t m_firstBlock = 0;
};
