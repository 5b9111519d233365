#pragma once

#include <QAbstractListModel>
#include <QFont>
#include <QListView>
#include <QStyledItemDelegate>

#include <cstdint>

class CTextEncoding;
class QMenu;
class SPelmDoc;

// The entries of the library document in list order, as list items.
class CNameListModel : public QAbstractListModel {
    Q_OBJECT
public:
    // The entry's component, to find the other names of the selected one.
    static constexpr int kComponentRole = Qt::UserRole + 1;

    CNameListModel(const SPelmDoc& doc, const CTextEncoding& encoding, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    // Re-reads the document's list (after entries came, went or moved).
    void reload();

private:
    const SPelmDoc& m_doc;
    const CTextEncoding& m_encoding;
};

// Draws the names: the selected one highlighted, the other names of its component in red and
// indented.
class CNameListDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    static constexpr int kItemHeight = 15;
    static constexpr int kAliasIndent = 10;

    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

// The component name list on the left of the main frame.
class SLBCompName : public QListView {
    Q_OBJECT
public:
    SLBCompName(const SPelmDoc& doc, const CTextEncoding& encoding, QWidget* parent = nullptr);

    CNameListModel* nameModel() const { return m_model; }
    // Shows the document's list and selection; reloads the items when the list changed.
    void sync();
    void setContextMenu(QMenu* menu) { m_contextMenu = menu; }
    int32_t selectedRow() const;

signals:
    // The user moved the selection (-1: none).
    void selectionMoved(int32_t row);
    void componentPropertyRequested();

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    const SPelmDoc& m_doc;
    CNameListModel* m_model;
    QMenu* m_contextMenu = nullptr;
    uint64_t m_revision = ~uint64_t(0);
    bool m_syncing = false;
};
