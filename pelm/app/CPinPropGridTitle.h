#pragma once

#include <QWidget>

class CPinPropGrid;

// The two-line column header of the pin property table.
class CPinPropGridTitle : public QWidget {
    Q_OBJECT
public:
    CPinPropGridTitle(const CPinPropGrid& grid, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const CPinPropGrid& m_grid;
};
