#pragma once

#include "doc/SPinGridRows.h"

#include <QFont>
#include <QPixmap>
#include <QWidget>

#include <array>
#include <cstdint>

class CCompEditView;
class CEditForGrid;
class CTextEncoding;
class QComboBox;

// The body of the pin property table: one row per pin of the component in the view, edited in
// place (name, type, hide flag, block numbers). Edits go straight into the edit document's pins.
class CPinPropGrid : public QWidget {
    Q_OBJECT
public:
    CPinPropGrid(CCompEditView& view, const CTextEncoding& encoding, QWidget* parent = nullptr);

    SPinGridRows& rows() { return m_rows; }
    const SPinGridRows& rows() const { return m_rows; }
    int32_t blockCount() const;
    int32_t editingColumn() const { return m_editColumn; }
    CEditForGrid* editor() const { return m_edit; }
    QComboBox* typeList() const { return m_types; }
    const QFont& gridFont() const { return m_font; }

    // What the painted table shows, for screen readers: the location, name, type and hide
    // columns, then one column per block of the component (all blocks, not only those in view).
    int32_t columnCount() const;
    // The text a cell shows; empty outside the table. The hide cell reads "Hidden" when set.
    QString cellText(int32_t row, int32_t column) const;
    bool isNumberHidden(int32_t row) const;
    // The column being edited, else the name column.
    int32_t currentColumn() const;
    // Whether a cell is scrolled into view, and where it is painted (empty when out of view).
    QRect cellRect(int32_t row, int32_t column) const;

    // Rebuilds the rows from the edit document, keeps the current row in view, repaints.
    void refresh();
    // Commits the cell being edited.
    void endEdit();
    void startEdit(int32_t column);
    // Click at a point of the grid: selects the row's pin in the view and edits the cell.
    void clickCell(QPoint at);
    // Up, down or Enter while a name or number is edited: the same column one row on.
    void stepRow(int key);
    void scrollRowsTo(int32_t value);
    void scrollBlocksTo(int32_t value);

    // The picture of a type list entry, drawn by the component renderer.
    static QPixmap typePicture(int32_t index);

signals:
    // Rows or blocks scrolled or the row count changed: the scroll bars follow.
    void scrollStateChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void paintRow(QPainter& p, int32_t screenRow, const SPinGridRows::Row& row) const;
    void paintLines(QPainter& p) const;
    bool commitName(SPin& pin);
    bool commitNumber(SPin& pin, int32_t block);
    void placeEditor(const QString& text, int32_t left, int32_t width, int32_t screenRow);
    void changed();

    CCompEditView& m_view;
    const CTextEncoding& m_encoding;
    SPinGridRows m_rows;
    QComboBox* m_types;
    CEditForGrid* m_edit;
    QFont m_font;
    int32_t m_editColumn = -1;
};
