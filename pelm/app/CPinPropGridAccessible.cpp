#include "app/CPinPropGridAccessible.h"

#include "app/CPinPropGrid.h"
#include "app/CPinPropGridTitle.h"

#include <QWidget>

namespace {

quint64 cellKey(int row, int column) {
    return (quint64(quint32(row)) << 32) | quint32(column);
}

QAccessibleInterface* makeGridAccessible(const QString&, QObject* object) {
    if (auto* grid = qobject_cast<CPinPropGrid*>(object))
        return new CPinPropGridAccessible(grid);
    return nullptr;
}

} // namespace

CPinPropGridAccessible::CPinPropGridAccessible(CPinPropGrid* grid)
    : QAccessibleWidget(grid, QAccessible::Table) {}

CPinPropGridAccessible::~CPinPropGridAccessible() {
    forgetCells();
}

void CPinPropGridAccessible::install() {
    static const bool installed = [] {
        QAccessible::installFactory(makeGridAccessible);
        return true;
    }();
    (void)installed;
}

void CPinPropGridAccessible::notifyRefreshed(CPinPropGrid* grid) {
    if (!QAccessible::isActive())
        return;
    QAccessibleTableModelChangeEvent reset(grid, QAccessibleTableModelChangeEvent::ModelReset);
    QAccessible::updateAccessibility(&reset);
    QAccessibleEvent described(grid, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&described);
    const int row = grid->rows().currentRow();
    if (row < 0 || !grid->hasFocus())
        return;
    QAccessibleEvent focus(grid, QAccessible::Focus);
    focus.setChild(row * grid->columnCount() + grid->currentColumn());
    QAccessible::updateAccessibility(&focus);
}

CPinPropGrid* CPinPropGridAccessible::grid() const {
    return static_cast<CPinPropGrid*>(widget());
}

void CPinPropGridAccessible::forgetCells() {
    for (const QAccessible::Id id : std::as_const(m_cells))
        QAccessible::deleteAccessibleInterface(id);
    m_cells.clear();
}

void CPinPropGridAccessible::modelChange(QAccessibleTableModelChangeEvent*) {
    forgetCells();
}

void* CPinPropGridAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TableInterface)
        return static_cast<QAccessibleTableInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

int CPinPropGridAccessible::rowCount() const {
    return grid()->rows().rowCount();
}

int CPinPropGridAccessible::columnCount() const {
    return grid()->columnCount();
}

int CPinPropGridAccessible::childCount() const {
    return rowCount() * columnCount();
}

QAccessibleInterface* CPinPropGridAccessible::child(int index) const {
    const int columns = columnCount();
    if (index < 0 || columns <= 0 || index >= childCount())
        return nullptr;
    return cellAt(index / columns, index % columns);
}

int CPinPropGridAccessible::indexOfChild(const QAccessibleInterface* child) const {
    if (!child || child->role() != QAccessible::Cell || child->parent() != this)
        return -1;
    const auto* cell = static_cast<const CPinPropGridCell*>(child);
    return cell->rowIndex() * columnCount() + cell->columnIndex();
}

QAccessibleInterface* CPinPropGridAccessible::childAt(int x, int y) const {
    const QPoint at = grid()->mapFromGlobal(QPoint(x, y));
    const SPinGridRows& rows = grid()->rows();
    const int row = rows.rowAt(at.y());
    int column = rows.columnAt(at.x());
    if (column >= SPinGridRows::kFirstBlock)
        column += rows.firstBlock();
    if (!grid()->cellRect(row, column).contains(at))
        return nullptr;
    return cellAt(row, column);
}

QAccessibleInterface* CPinPropGridAccessible::focusChild() const {
    // While a cell is edited, its editor has the keyboard.
    for (QWidget* editor : grid()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (editor->isVisible() && editor->hasFocus())
            return QAccessible::queryAccessibleInterface(editor);
    }
    const int row = grid()->rows().currentRow();
    return row >= 0 ? cellAt(row, grid()->currentColumn()) : nullptr;
}

QAccessibleInterface* CPinPropGridAccessible::cellAt(int row, int column) const {
    if (row < 0 || column < 0 || row >= rowCount() || column >= columnCount())
        return nullptr;
    const quint64 key = cellKey(row, column);
    const auto found = m_cells.constFind(key);
    if (found != m_cells.constEnd()) {
        if (QAccessibleInterface* cell = QAccessible::accessibleInterface(*found))
            return cell;
    }
    auto* cell = new CPinPropGridCell(grid(), row, column);
    m_cells.insert(key, QAccessible::registerAccessibleInterface(cell));
    return cell;
}

int CPinPropGridAccessible::selectedCellCount() const {
    return grid()->rows().currentRow() >= 0 ? 1 : 0;
}

QList<QAccessibleInterface*> CPinPropGridAccessible::selectedCells() const {
    const int row = grid()->rows().currentRow();
    if (row < 0)
        return {};
    return {cellAt(row, grid()->currentColumn())};
}

QString CPinPropGridAccessible::columnDescription(int column) const {
    if (column < 0 || column >= columnCount())
        return QString();
    return CPinPropGridTitle::caption(column);
}

QString CPinPropGridAccessible::rowDescription(int row) const {
    return grid()->cellText(row, SPinGridRows::kLocation);
}

int CPinPropGridAccessible::selectedRowCount() const {
    return grid()->rows().currentRow() >= 0 ? 1 : 0;
}

QList<int> CPinPropGridAccessible::selectedRows() const {
    const int row = grid()->rows().currentRow();
    return row >= 0 ? QList<int>{row} : QList<int>{};
}

bool CPinPropGridAccessible::isRowSelected(int row) const {
    return row >= 0 && row == grid()->rows().currentRow();
}

CPinPropGridCell::CPinPropGridCell(CPinPropGrid* grid, int row, int column)
    : m_grid(grid), m_row(row), m_column(column) {}

void* CPinPropGridCell::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TableCellInterface)
        return static_cast<QAccessibleTableCellInterface*>(this);
    return nullptr;
}

bool CPinPropGridCell::isValid() const {
    return m_grid && m_row < m_grid->rows().rowCount() && m_column < m_grid->columnCount();
}

QWindow* CPinPropGridCell::window() const {
    return m_grid ? m_grid->window()->windowHandle() : nullptr;
}

QAccessibleInterface* CPinPropGridCell::parent() const {
    return m_grid ? QAccessible::queryAccessibleInterface(m_grid.data()) : nullptr;
}

QAccessibleInterface* CPinPropGridCell::table() const {
    return parent();
}

QString CPinPropGridCell::text(QAccessible::Text t) const {
    if (!m_grid)
        return QString();
    switch (t) {
    case QAccessible::Name:
    case QAccessible::Value:
        return m_grid->cellText(m_row, m_column);
    case QAccessible::Description:
        return CPinPropGridTitle::caption(m_column);
    default:
        return QString();
    }
}

QRect CPinPropGridCell::rect() const {
    if (!m_grid)
        return QRect();
    const QRect local = m_grid->cellRect(m_row, m_column);
    return local.isNull() ? QRect() : local.translated(m_grid->mapToGlobal(QPoint(0, 0)));
}

bool CPinPropGridCell::isSelected() const {
    return m_grid && m_row == m_grid->rows().currentRow() && m_column == m_grid->currentColumn();
}

QAccessible::State CPinPropGridCell::state() const {
    QAccessible::State s;
    if (!m_grid)
        return s;
    s.selectable = true;
    s.focusable = true;
    if (m_grid->cellRect(m_row, m_column).isNull()) {
        s.invisible = true;
        s.offscreen = true;
    }
    if (isSelected()) {
        s.selected = true;
        s.focused = m_grid->hasFocus();
    }
    if (m_column == SPinGridRows::kHide) {
        s.checkable = true;
        s.checked = m_grid->isNumberHidden(m_row);
    }
    return s;
}
