#include "app/CPinPropGridTitle.h"

#include "app/CPinPropGrid.h"

#include <QPainter>

CPinPropGridTitle::CPinPropGridTitle(const CPinPropGrid& grid, QWidget* parent)
    : QWidget(parent), m_grid(grid) {
    setObjectName(QStringLiteral("PinPropsGridTitle"));
}

QString CPinPropGridTitle::caption(int32_t column) {
    switch (column) {
    case SPinGridRows::kLocation:
        return tr("Loc");
    case SPinGridRows::kName:
        return tr("Name");
    case SPinGridRows::kType:
        return tr("Type");
    case SPinGridRows::kHide:
        return tr("Hide");
    default:
        return tr("Block %1").arg(column - SPinGridRows::kFirstBlock + 1);
    }
}

void CPinPropGridTitle::paintEvent(QPaintEvent*) {
    const SPinGridRows::Layout& l = m_grid.rows().layout();
    QPainter p(this);
    p.fillRect(rect(), QColor(0xF0, 0xF0, 0xFF));
    p.setFont(m_grid.gridFont());
    p.setPen(Qt::black);
    const int h = height();
    const int half = h / 2;
    const int flags = Qt::AlignCenter | Qt::TextSingleLine;
    const int nameLeft = l.locationWidth;
    const int typeLeft = nameLeft + l.nameWidth;
    const int hideLeft = typeLeft + l.typeWidth;
    const int blocksLeft = hideLeft + l.hideWidth;
    p.drawText(QRect(0, 0, l.locationWidth, h), flags, caption(SPinGridRows::kLocation));
    p.drawText(QRect(nameLeft, 0, l.nameWidth, h), flags, caption(SPinGridRows::kName));
    p.drawText(QRect(typeLeft, 0, l.typeWidth, h), flags, caption(SPinGridRows::kType));
    p.drawText(QRect(hideLeft, 0, width() - hideLeft, half), flags, tr("Num"));
    p.drawText(QRect(hideLeft, half, l.hideWidth, h - half), flags, caption(SPinGridRows::kHide));
    for (int k = 0; k < l.visibleBlocks; ++k) {
        const int left = blocksLeft + k * l.blockWidth;
        p.drawText(QRect(left, half, l.blockWidth, h - half), flags,
                   caption(SPinGridRows::kFirstBlock + m_grid.rows().firstBlock() + k));
        p.drawLine(left, half, left, h);
    }
    p.drawRect(0, 0, width() - 1, h - 1);
    p.drawLine(nameLeft, 0, nameLeft, h);
    p.drawLine(typeLeft, 0, typeLeft, h);
    p.drawLine(hideLeft, 0, hideLeft, h);
    p.drawLine(hideLeft, half, width(), half);
}
