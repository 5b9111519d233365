#include "window/CResultList.h"

#include "window/CResultModel.h"

#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>

CResultList::CResultList(CResultModel* model, QWidget* parent) : QTreeView(parent), m_model(model) {
    setModel(model);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTextElideMode(Qt::ElideRight);
    setSortingEnabled(false); // our own header images show the order
    QHeaderView* head = header();
    head->setSectionsClickable(true);
    head->setSectionsMovable(false);
    head->setStretchLastSection(true);
    head->viewport()->installEventFilter(this);
    connect(head, &QHeaderView::sectionClicked, m_model, &CResultModel::clickHeader);
    connect(head, &QHeaderView::sectionResized, this, [this](int section) {
        if (section == 0)
            pathColumnResized();
    });
    connect(this, &QTreeView::clicked, this, [this](const QModelIndex& index) {
        if (index.isValid())
            emit handoffRequested(index.row());
    });
}

int CResultList::selectedRow() const {
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void CResultList::setInitialColumnWidths() {
    // Leave room for the vertical scroll bar that a long list brings, so that the three
    // columns never need a horizontal one.
    int width = viewport()->width();
    if (!verticalScrollBar()->isVisible())
        width -= style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    header()->resizeSection(0, width * 20 * 2 / 100);
    header()->resizeSection(1, width * 20 * 2 / 100);
    header()->resizeSection(2, width * 20 / 100);
    applyPathWidth();
}

void CResultList::pathColumnResized() {
    // Re-eliding waits for the end of a drag; a resize made otherwise takes effect at once.
    if (QGuiApplication::mouseButtons() & Qt::LeftButton)
        m_resizing = true;
    else
        applyPathWidth();
}

void CResultList::applyPathWidth() {
    m_resizing = false;
    const int width = header()->sectionSize(0) - kPathMargin;
    if (width != m_model->elideWidth())
        m_model->setElide(font(), width);
}

bool CResultList::eventFilter(QObject* watched, QEvent* event) {
    if (watched == header()->viewport() && event->type() == QEvent::MouseButtonRelease &&
        m_resizing)
        applyPathWidth();
    return QTreeView::eventFilter(watched, event);
}

void CResultList::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // Enter hands the hit off instead of pressing the dialog's default button.
        if (const int row = selectedRow(); row >= 0)
            emit handoffRequested(row);
        event->accept();
        return;
    }
    QTreeView::keyPressEvent(event);
}

void CResultList::contextMenuEvent(QContextMenuEvent* event) {
    const QModelIndex index = indexAt(viewport()->mapFromGlobal(event->globalPos()));
    if (index.isValid())
        setCurrentIndex(index);
    emit contextMenuRequested(index.isValid() ? index.row() : -1, event->globalPos());
}
