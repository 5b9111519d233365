#pragma once

#include <QWidget>

#include <cstdint>

class CPinPropGrid;

// The two-line column header of the pin property table.
class CPinPropGridTitle : public QWidget {
    Q_OBJECT
public:
    CPinPropGridTitle(const CPinPropGrid& grid, QWidget* parent = nullptr);

    // The caption of a column of the grid ("Block n" for the block columns).
    static QString caption(int32_t column);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const CPinPropGrid& m_grid;
};
