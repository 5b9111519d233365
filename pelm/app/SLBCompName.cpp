#include "app/SLBCompName.h"

#include "doc/SPelmDoc.h"
#include "gui/CTextEncoding.h"
#include "model/SCompIndex.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QPainter>
#include <QStyle>

CNameListModel::CNameListModel(const SPelmDoc& doc, const CTextEncoding& encoding, QObject* parent)
    : QAbstractListModel(parent), m_doc(doc), m_encoding(encoding) {}

int CNameListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_doc.count();
}

QVariant CNameListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_doc.count())
        return {};
    const SCompIndex* entry = m_doc.order()[static_cast<size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return m_encoding.toUnicode(entry->name());
    case kComponentRole:
        return QVariant::fromValue(static_cast<const void*>(entry->component()));
    default:
        return {};
    }
}

void CNameListModel::reload() {
    beginResetModel();
    endResetModel();
}

void CNameListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
    const auto* view = qobject_cast<const QListView*>(option.widget);
    const QModelIndex current = view ? view->currentIndex() : QModelIndex();
    const bool selected = option.state & QStyle::State_Selected;
    const bool focused = view && view->hasFocus();
    const QPalette& pal = option.palette;
    painter->save();
    painter->fillRect(option.rect, selected && focused ? pal.highlight() : pal.base());
    QColor ink = pal.color(QPalette::Text);
    QRect textRect = option.rect.adjusted(2, 0, 0, 0);
    if (selected && focused) {
        ink = pal.color(QPalette::HighlightedText);
    } else if (!selected && current.isValid() &&
               index.data(CNameListModel::kComponentRole) ==
                   current.data(CNameListModel::kComponentRole)) {
        // Another name of the selected component.
        ink = Qt::red;
        textRect.adjust(kAliasIndent, 0, 0, 0);
    }
    if (selected) {
        painter->setPen(QPen(pal.color(QPalette::Text), 1, Qt::DotLine));
        painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
    }
    painter->setFont(option.font);
    painter->setPen(ink);
    painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                      index.data(Qt::DisplayRole).toString());
    painter->restore();
}

QSize CNameListDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    return {option.rect.width(), kItemHeight};
}

SLBCompName::SLBCompName(const SPelmDoc& doc, const CTextEncoding& encoding, QWidget* parent)
    : QListView(parent), m_doc(doc), m_model(new CNameListModel(doc, encoding, this)) {
    setObjectName(QStringLiteral("NameList"));
    setAccessibleName(tr("Name list"));
    setModel(m_model);
    setItemDelegate(new CNameListDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QFont itemFont(QStringLiteral("MS UI Gothic"));
    itemFont.setPixelSize(13);
    setFont(itemFont);
}

int32_t SLBCompName::selectedRow() const {
    const QModelIndex index = currentIndex();
    return index.isValid() && selectionModel()->isSelected(index) ? index.row() : -1;
}

void SLBCompName::sync() {
    m_syncing = true;
    if (m_revision != m_doc.listRevision()) {
        m_revision = m_doc.listRevision();
        m_model->reload();
    }
    const int32_t row = m_doc.selectedIndex();
    if (row >= 0) {
        const QModelIndex index = m_model->index(row);
        setCurrentIndex(index);
        scrollTo(index);
    } else {
        clearSelection();
        setCurrentIndex({});
    }
    m_syncing = false;
    viewport()->update();
}

void SLBCompName::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QListView::currentChanged(current, previous);
    // Every item's colour depends on the selection.
    viewport()->update();
    if (!m_syncing)
        emit selectionMoved(current.isValid() ? current.row() : -1);
}

void SLBCompName::focusInEvent(QFocusEvent* event) {
    QListView::focusInEvent(event);
    viewport()->update();
}

void SLBCompName::focusOutEvent(QFocusEvent* event) {
    QListView::focusOutEvent(event);
    viewport()->update();
}

void SLBCompName::contextMenuEvent(QContextMenuEvent* event) {
    // The right click leaves the selection as it is.
    if (m_contextMenu)
        m_contextMenu->exec(event->globalPos());
}

void SLBCompName::mousePressEvent(QMouseEvent* event) {
    // The right button only opens the context menu.
    if (event->button() == Qt::RightButton)
        return;
    QListView::mousePressEvent(event);
}

void SLBCompName::mouseDoubleClickEvent(QMouseEvent* event) {
    QListView::mouseDoubleClickEvent(event);
    emit componentPropertyRequested();
}
