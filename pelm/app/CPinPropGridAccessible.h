#pragma once

#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>

#include <cstdint>

class CPinPropGrid;

// The pin table as screen readers see it: a read-only table of the painted cells, with the
// column captions of the title and the current cell as the selected and focused one.
class CPinPropGridAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit CPinPropGridAccessible(CPinPropGrid* grid);
    ~CPinPropGridAccessible() override;

    // Lets Qt build this interface for every pin table; called by the grid, once is enough.
    static void install();
    // The rows were rebuilt or the current cell moved: assistive tools are told.
    static void notifyRefreshed(CPinPropGrid* grid);

    void* interface_cast(QAccessible::InterfaceType type) override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override;
    int selectedCellCount() const override;
    QList<QAccessibleInterface*> selectedCells() const override;
    QString columnDescription(int column) const override;
    QString rowDescription(int row) const override;
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override;
    int columnCount() const override;
    int rowCount() const override;
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override;
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int row) const override;
    // Selection follows the pin selected in the drawing; it is not set from here.
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent* event) override;

    CPinPropGrid* grid() const;

private:
    void forgetCells();

    // Cell interfaces by (row, column), owned by Qt's registry once registered.
    mutable QHash<quint64, QAccessible::Id> m_cells;
};

// One cell of the pin table. It reads the grid live, so it stays right as rows change.
class CPinPropGridCell : public QAccessibleInterface, public QAccessibleTableCellInterface {
public:
    CPinPropGridCell(CPinPropGrid* grid, int row, int column);

    void* interface_cast(QAccessible::InterfaceType type) override;
    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::Cell; }
    QAccessible::State state() const override;

    bool isSelected() const override;
    QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return m_column; }
    int rowIndex() const override { return m_row; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override;

private:
    QPointer<CPinPropGrid> m_grid;
    int m_row;
    int m_column;
};
