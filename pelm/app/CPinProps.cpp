#include "app/CPinProps.h"

#include "app/CPinPropGrid.h"
#include "app/CPinPropGridTitle.h"
#include "view/CCompEditView.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>

namespace {

constexpr int kMargin = 7;
constexpr int kTitleHeight = 34;
constexpr int kFixedPart = 300;

} // namespace

CPinProps::CPinProps(CCompEditView& view, const CTextEncoding& encoding, QWidget* parent)
    : QDialog(parent, Qt::Tool), m_grid(new CPinPropGrid(view, encoding, this)),
      m_title(new CPinPropGridTitle(*m_grid, this)), m_rowBar(new QScrollBar(Qt::Vertical, this)),
      m_blockBar(new QScrollBar(Qt::Horizontal, this)),
      m_close(new QPushButton(tr("Close"), this)) {
    setWindowTitle(tr("Pin property"));
    setModal(false);
    m_close->setAutoDefault(false);
    m_rowBar->setAccessibleName(tr("Pin rows"));
    m_blockBar->setAccessibleName(tr("Blocks"));
    connect(m_close, &QPushButton::clicked, this, [this] {
        endEdit();
        emit closeRequested();
    });
    connect(m_grid, &CPinPropGrid::scrollStateChanged, this, &CPinProps::updateBars);
    connect(m_rowBar, &QScrollBar::valueChanged, this, [this](int v) {
        if (!m_updatingBars)
            m_grid->scrollRowsTo(v);
    });
    connect(m_blockBar, &QScrollBar::valueChanged, this, [this](int v) {
        if (m_updatingBars)
            return;
        m_grid->scrollBlocksTo(v);
        m_title->update();
    });
    resize(560, 330);
    layOut();
}

void CPinProps::layOut() {
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const int buttonHeight = m_close->sizeHint().height();
    const int availableHeight = height() - 3 - kTitleHeight - bar - buttonHeight - 2 * kMargin;
    SPinGridRows& rows = m_grid->rows();
    const int gridHeight = rows.layRows(std::max(availableHeight, SPinGridRows::kMinRowHeight));
    const QRect rowBarRect(width() - kMargin - bar, 3 + kTitleHeight, bar, gridHeight);
    const QRect gridRect(kMargin, rowBarRect.top(), rowBarRect.left() - kMargin, gridHeight);
    const int blockPart = rows.layBlockPart(std::max(gridRect.width() - kFixedPart - 1, 64));
    rows.layFixedPart(gridRect.width() - blockPart);
    m_rowBar->setGeometry(rowBarRect);
    m_grid->setGeometry(gridRect);
    m_blockBar->setGeometry(gridRect.right() + 1 - blockPart, gridRect.bottom() + 1, blockPart,
                            bar);
    m_title->setGeometry(gridRect.left(), 3, gridRect.width(), kTitleHeight);
    const QSize button = m_close->sizeHint();
    m_close->setGeometry(width() - kMargin - button.width(), height() - kMargin - button.height(),
                         button.width(), button.height());
    rows.keepCurrentVisible();
    updateBars();
    m_grid->update();
    m_title->update();
}

void CPinProps::updateBars() {
    const SPinGridRows& rows = m_grid->rows();
    m_updatingBars = true;
    const auto set = [](QScrollBar* bar, int count, int page, int value) {
        bar->setRange(0, std::max(count - page, 0));
        bar->setPageStep(page);
        bar->setValue(value);
        bar->setEnabled(count > page);
    };
    set(m_rowBar, rows.rowCount(), rows.layout().visibleRows, rows.firstRow());
    set(m_blockBar, m_grid->blockCount(), rows.layout().visibleBlocks, rows.firstBlock());
    m_updatingBars = false;
    m_title->update();
}

void CPinProps::endEdit() {
    m_grid->endEdit();
}

void CPinProps::refresh() {
    m_grid->refresh();
}

void CPinProps::reset() {
    m_grid->endEdit();
    m_grid->scrollBlocksTo(0);
    m_title->update();
}

void CPinProps::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    layOut();
}

void CPinProps::closeEvent(QCloseEvent* event) {
    endEdit();
    event->ignore();
    emit closeRequested();
}

void CPinProps::keyPressEvent(QKeyEvent* event) {
    // Escape does what Close does; Enter belongs to the cell editor.
    if (event->key() == Qt::Key_Escape) {
        endEdit();
        emit closeRequested();
        return;
    }
    QDialog::keyPressEvent(event);
}
