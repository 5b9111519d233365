#pragma once

#include <QTreeView>

class CResultModel;

// The hit list: report style, single selection, full rows. Tells the model the path width when a
// resize of the "Path" column ends, sorts on header clicks, and asks for the hand-off of a hit
// on a click or Enter.
class CResultList : public QTreeView {
    Q_OBJECT
public:
    explicit CResultList(CResultModel* model, QWidget* parent = nullptr);

    // The row of the first selected hit, or -1.
    int selectedRow() const;
    // Sets the column widths to 40 %, 40 % and 20 % of the list's width.
    void setInitialColumnWidths();

    // Room left beside the path text in its column.
    static constexpr int kPathMargin = 10;

signals:
    void handoffRequested(int row);
    void contextMenuRequested(int row, const QPoint& globalPos);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void pathColumnResized();
    void applyPathWidth();

    CResultModel* m_model;
    bool m_resizing = false; // a drag of a header edge is under way
};
