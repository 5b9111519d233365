#include "app/CPinPropGrid.h"

#include "app/CEditForGrid.h"
#include "app/CPelmMessage.h"
#include "app/CPinPropGridAccessible.h"
#include "gui/CTextEncoding.h"
#include "model/SPin.h"
#include "render/SCompRenderer.h"
#include "render/SDrawSettings.h"
#include "view/CCompEditView.h"

#include <QComboBox>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

#include <algorithm>

namespace {

const QColor kCurrentRow(0xD0, 0xD0, 0xFF);
const QColor kGrey(0xD0, 0xD0, 0xD0);
constexpr int kTextFlags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;

QString typeName(int32_t index) {
    static const char* const kNames[] = {
        QT_TRANSLATE_NOOP("CPinPropGrid", "Plain"),
        QT_TRANSLATE_NOOP("CPinPropGrid", "Negation"),
        QT_TRANSLATE_NOOP("CPinPropGrid", "Clock"),
        QT_TRANSLATE_NOOP("CPinPropGrid", "Negation and clock"),
        QT_TRANSLATE_NOOP("CPinPropGrid", "Number close to the pin"),
        QT_TRANSLATE_NOOP("CPinPropGrid", "Zero length"),
    };
    return CPinPropGrid::tr(kNames[index]);
}

// The hide mark: a struck-out "#".
void drawHideMark(QPainter& p, QPoint at) {
    p.save();
    p.setPen(Qt::black);
    p.drawRect(at.x() + 1, at.y() + 2, 12, 11);
    p.drawText(QRect(at.x() + 1, at.y() + 2, 13, 12), Qt::AlignCenter, QStringLiteral("#"));
    p.setPen(QPen(Qt::red, 2));
    p.drawLine(at.x() + 2, at.y() + 13, at.x() + 13, at.y() + 2);
    p.restore();
}

} // namespace

CPinPropGrid::CPinPropGrid(CCompEditView& view, const CTextEncoding& encoding, QWidget* parent)
    : QWidget(parent), m_view(view), m_encoding(encoding), m_types(new QComboBox(this)),
      m_edit(new CEditForGrid(this)) {
    setObjectName(QStringLiteral("PinPropsGrid"));
    // Before anything names the widget: that builds and caches its accessible interface.
    CPinPropGridAccessible::install();
    setAccessibleName(tr("Pins"));
    m_font = QFont(QStringLiteral("MS UI Gothic"));
    m_font.setPixelSize(12);
    m_types->setIconSize(QSize(72, 15));
    for (int32_t i = 0; i < SPinGridRows::kTypeCount; ++i) {
        m_types->addItem(QIcon(typePicture(i)), QString());
        m_types->setItemData(i, typeName(i), Qt::AccessibleTextRole);
        m_types->setItemData(i, typeName(i), Qt::ToolTipRole);
    }
    m_types->setAccessibleName(tr("Pin type"));
    m_types->hide();
    connect(m_types, &QComboBox::activated, this, [this] { endEdit(); });
    m_edit->setFont(m_font);
    m_edit->setFrame(false);
    m_edit->hide();
    connect(m_edit, &CEditForGrid::stepRequested, this, &CPinPropGrid::stepRow);
}

QPixmap CPinPropGrid::typePicture(int32_t index) {
    QPixmap picture(72, 15);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    // A pin on the right edge of a body whose edge stands at the picture's left.
    p.setPen(Qt::black);
    p.drawLine(4, 0, 4, 14);
    // Three times the model size, the root at the body edge.
    p.translate(4, 7);
    SCompRenderer::drawPin(p, SDrawSettings::instance(), SPoint{0, 0},
                           SPinGridRows::typeCode(index), SPin::kSideRight, {}, {},
                           SCompRenderer::kPinCommitted, 3, 1);
    return picture;
}

int32_t CPinPropGrid::blockCount() const {
    return m_view.document().blockCount();
}

int32_t CPinPropGrid::columnCount() const {
    return SPinGridRows::kFirstBlock + std::max(blockCount(), 0);
}

QString CPinPropGrid::cellText(int32_t row, int32_t column) const {
    if (row < 0 || row >= m_rows.rowCount() || column < 0 || column >= columnCount())
        return QString();
    const SPin& pin = *m_rows.rows()[static_cast<size_t>(row)].pin;
    switch (column) {
    case SPinGridRows::kLocation:
        return QString::fromStdString(SPinGridRows::locationText(pin));
    case SPinGridRows::kName:
        return m_encoding.toUnicode(SPin::encodeName(pin.name().value_or("")));
    case SPinGridRows::kType:
        return typeName(SPinGridRows::typeIndex(pin.typeFlags()));
    case SPinGridRows::kHide:
        return isNumberHidden(row) ? tr("Hidden") : QString();
    default:
        return m_encoding.toUnicode(pin.number(column - SPinGridRows::kFirstBlock).value_or(""));
    }
}

bool CPinPropGrid::isNumberHidden(int32_t row) const {
    if (row < 0 || row >= m_rows.rowCount())
        return false;
    return (m_rows.rows()[static_cast<size_t>(row)].pin->typeFlags() & SPin::kFlagNumberHidden) !=
           0;
}

int32_t CPinPropGrid::currentColumn() const {
    if (m_editColumn < 0)
        return SPinGridRows::kName;
    // Block columns are edited by their place on screen.
    if (m_editColumn >= SPinGridRows::kFirstBlock)
        return m_editColumn + m_rows.firstBlock();
    return m_editColumn;
}

QRect CPinPropGrid::cellRect(int32_t row, int32_t column) const {
    const SPinGridRows::Layout& l = m_rows.layout();
    const int32_t screenRow = row - m_rows.firstRow();
    if (row < 0 || row >= m_rows.rowCount() || screenRow < 0 || screenRow >= l.visibleRows)
        return QRect();
    const int32_t top = screenRow * l.rowHeight;
    const std::array<int32_t, 4> widths{l.locationWidth, l.nameWidth, l.typeWidth, l.hideWidth};
    if (column >= 0 && column < SPinGridRows::kFirstBlock) {
        int32_t left = 0;
        for (int32_t c = 0; c < column; ++c)
            left += widths[static_cast<size_t>(c)];
        return QRect(left, top, widths[static_cast<size_t>(column)], l.rowHeight);
    }
    const int32_t k = column - SPinGridRows::kFirstBlock - m_rows.firstBlock();
    if (column >= columnCount() || k < 0 || k >= l.visibleBlocks)
        return QRect();
    return QRect(l.fixedWidth() + k * l.blockWidth, top, l.blockWidth, l.rowHeight);
}

void CPinPropGrid::refresh() {
    m_rows.rebuild(m_view.document());
    // The table is painted: screen readers get the current row as text.
    QString current = tr("No pin selected");
    if (const SPinGridRows::Row* row = m_rows.current()) {
        const SPin& pin = *row->pin;
        QStringList numbers;
        for (int32_t b = 0; b < pin.blockCount(); ++b)
            numbers << m_encoding.toUnicode(pin.number(b).value_or(""));
        current =
            tr("Pin %1, name %2, type %3, numbers %4%5")
                .arg(QString::fromStdString(SPinGridRows::locationText(pin)),
                     m_encoding.toUnicode(SPin::encodeName(pin.name().value_or(""))),
                     typeName(SPinGridRows::typeIndex(pin.typeFlags())),
                     numbers.join(QLatin1Char(' ')),
                     (pin.typeFlags() & SPin::kFlagNumberHidden) ? tr(", hidden") : QString());
    }
    setAccessibleDescription(current);
    CPinPropGridAccessible::notifyRefreshed(this);
    emit scrollStateChanged();
    update();
}

void CPinPropGrid::changed() {
    m_view.setDirty(true);
    m_view.markSelectionChanged();
    m_view.viewport()->update();
    refresh();
}

bool CPinPropGrid::commitName(SPin& pin) {
    std::string typed;
    if (!CPelmMessage::takeText(this, m_encoding, m_edit->text(), typed))
        return false;
    const auto name = pin.name();
    if (name && SPin::encodeName(*name) == typed)
        return false;
    pin.setName(typed);
    m_view.document().setLastPinName(typed);
    return true;
}

bool CPinPropGrid::commitNumber(SPin& pin, int32_t block) {
    std::string typed;
    if (!CPelmMessage::takeText(this, m_encoding, m_edit->text(), typed))
        return false;
    const auto number = pin.number(block);
    if (number && *number == typed)
        return false;
    pin.setNumber(block, typed);
    m_view.document().setLastPinNumber(typed);
    return true;
}

void CPinPropGrid::endEdit() {
    const int32_t column = m_editColumn;
    if (column < 0)
        return;
    m_editColumn = -1;
    const SPinGridRows::Row* row = m_rows.current();
    bool stored = false;
    if (row && column == SPinGridRows::kName) {
        stored = commitName(*row->pin);
    } else if (row && column == SPinGridRows::kType) {
        const uint32_t flags = row->pin->typeFlags();
        const uint32_t type = SPinGridRows::typeCode(m_types->currentIndex());
        const uint32_t next = (flags & ~0x0fu) | type;
        stored = next != flags;
        row->pin->setTypeFlags(next);
    } else if (row && column >= SPinGridRows::kFirstBlock) {
        stored = commitNumber(*row->pin, m_rows.firstBlock() + column - SPinGridRows::kFirstBlock);
    }
    const bool hadFocus = m_edit->hasFocus() || m_types->hasFocus();
    m_edit->hide();
    m_types->hide();
    if (hadFocus)
        setFocus();
    if (stored)
        changed();
}

void CPinPropGrid::placeEditor(const QString& text, int32_t left, int32_t width,
                               int32_t screenRow) {
    const int32_t h = m_rows.layout().rowHeight;
    m_edit->setGeometry(left + 1, screenRow * h + 1, width - 2, h - 1);
    m_edit->setText(text);
    m_edit->show();
    m_edit->setFocus();
    m_edit->selectAll();
}

void CPinPropGrid::startEdit(int32_t column) {
    const SPinGridRows::Row* row = m_rows.current();
    if (!row)
        return;
    SPin& pin = *row->pin;
    const SPinGridRows::Layout& l = m_rows.layout();
    const int32_t screenRow = m_rows.currentRow() - m_rows.firstRow();
    if (column == SPinGridRows::kName) {
        placeEditor(m_encoding.toUnicode(SPin::encodeName(pin.name().value_or(""))),
                    l.locationWidth, l.nameWidth, screenRow);
        m_editColumn = column;
    } else if (column == SPinGridRows::kType) {
        m_types->setCurrentIndex(SPinGridRows::typeIndex(pin.typeFlags()));
        const int width = style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 4 + 72 + 24;
        m_types->setGeometry(l.locationWidth + l.nameWidth, screenRow * l.rowHeight, width,
                             l.rowHeight);
        m_types->show();
        m_types->setFocus();
        m_editColumn = column;
    } else if (column == SPinGridRows::kHide) {
        pin.setTypeFlags(pin.typeFlags() ^ SPin::kFlagNumberHidden);
        changed();
    } else if (column >= SPinGridRows::kFirstBlock) {
        const int32_t k = column - SPinGridRows::kFirstBlock;
        const int32_t block = m_rows.firstBlock() + k;
        if (block >= pin.blockCount() || k >= l.visibleBlocks)
            return;
        placeEditor(m_encoding.toUnicode(pin.number(block).value_or("")),
                    l.fixedWidth() + k * l.blockWidth, l.blockWidth, screenRow);
        m_editColumn = column;
    }
}

void CPinPropGrid::clickCell(QPoint at) {
    const int32_t row = m_rows.rowAt(at.y());
    const int32_t column = m_rows.columnAt(at.x());
    endEdit();
    if (row < 0 || row >= m_rows.rowCount())
        return;
    const SPin* pin = m_rows.rows()[static_cast<size_t>(row)].pin;
    m_view.selectPinByPosition(pin->side(), pin->offset());
    refresh();
    startEdit(column);
}

void CPinPropGrid::stepRow(int key) {
    const int32_t column = m_editColumn;
    if (column != SPinGridRows::kName && column < SPinGridRows::kFirstBlock)
        return;
    const int32_t current = m_rows.currentRow();
    if (current < 0)
        return;
    int32_t next = current;
    if (key == Qt::Key_Up && current > 0)
        next = current - 1;
    else if (key != Qt::Key_Up && current + 1 < m_rows.rowCount())
        next = current + 1;
    const SPin* pin = m_rows.rows()[static_cast<size_t>(next)].pin;
    const int32_t side = pin->side();
    const int32_t offset = pin->offset();
    endEdit();
    m_view.selectPinByPosition(side, offset);
    refresh();
    startEdit(column);
}

void CPinPropGrid::scrollRowsTo(int32_t value) {
    endEdit();
    m_rows.setFirstRow(value);
    emit scrollStateChanged();
    update();
}

void CPinPropGrid::scrollBlocksTo(int32_t value) {
    endEdit();
    m_rows.setFirstBlock(value, blockCount());
    m_view.setDisplayedBlock(m_rows.firstBlock());
    emit scrollStateChanged();
    update();
}

void CPinPropGrid::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        clickCell(event->position().toPoint());
    QWidget::mouseReleaseEvent(event);
}

void CPinPropGrid::paintEvent(QPaintEvent*) {
    // Painted into a buffer first (Qt double-buffers widgets), so no flicker either way.
    QPainter p(this);
    const SPinGridRows::Layout& l = m_rows.layout();
    const int32_t visibleRows = std::min(l.visibleRows, m_rows.rowCount() - m_rows.firstRow());
    p.fillRect(rect(), Qt::white);
    const int32_t screenCurrent = m_rows.currentRow() - m_rows.firstRow();
    if (m_rows.currentRow() >= 0 && screenCurrent >= 0 && screenCurrent < l.visibleRows)
        p.fillRect(0, screenCurrent * l.rowHeight, width(), l.rowHeight, kCurrentRow);
    p.fillRect(0, 0, l.locationWidth, height(), kGrey);
    const int32_t rowsBottom = std::max(visibleRows, 0) * l.rowHeight;
    p.fillRect(0, rowsBottom, width(), height() - rowsBottom, kGrey);
    const int32_t blocksLeft = blockCount() - m_rows.firstBlock();
    if (blocksLeft < l.visibleBlocks) {
        const int32_t x = l.fixedWidth() + std::max(blocksLeft, 0) * l.blockWidth;
        p.fillRect(x, 0, width() - x, height(), kGrey);
    }
    p.setFont(m_font);
    for (int32_t i = 0; i < visibleRows; ++i)
        paintRow(p, i, m_rows.rows()[static_cast<size_t>(m_rows.firstRow() + i)]);
    paintLines(p);
}

void CPinPropGrid::paintRow(QPainter& p, int32_t screenRow, const SPinGridRows::Row& row) const {
    const SPinGridRows::Layout& l = m_rows.layout();
    const SPin& pin = *row.pin;
    const int32_t top = screenRow * l.rowHeight;
    const auto cell = [&](int32_t left, int32_t w) {
        return QRect(left + 2, top, w - 2, l.rowHeight);
    };
    p.setPen(Qt::black);
    p.drawText(cell(0, l.locationWidth), kTextFlags,
               QString::fromStdString(SPinGridRows::locationText(pin)));
    p.drawText(cell(l.locationWidth, l.nameWidth), kTextFlags,
               m_encoding.toUnicode(SPin::encodeName(pin.name().value_or(""))));
    const int32_t typeLeft = l.locationWidth + l.nameWidth;
    p.drawPixmap(typeLeft + 2, top + 2, typePicture(SPinGridRows::typeIndex(pin.typeFlags())));
    if (pin.typeFlags() & SPin::kFlagNumberHidden)
        drawHideMark(p, QPoint(typeLeft + l.typeWidth + 4, top));
    for (int32_t k = 0; k < l.visibleBlocks; ++k) {
        const int32_t block = m_rows.firstBlock() + k;
        if (block >= blockCount())
            break;
        p.drawText(cell(l.fixedWidth() + k * l.blockWidth, l.blockWidth), kTextFlags,
                   m_encoding.toUnicode(pin.number(block).value_or("")));
    }
}

void CPinPropGrid::paintLines(QPainter& p) const {
    const SPinGridRows::Layout& l = m_rows.layout();
    p.setPen(QPen(Qt::black, 1));
    p.drawRect(0, 0, width() - 1, height() - 1);
    int32_t x = 0;
    for (const int32_t w : {l.locationWidth, l.nameWidth, l.typeWidth, l.hideWidth}) {
        x += w;
        p.drawLine(x, 0, x, height());
    }
    for (int32_t k = 1; k < l.visibleBlocks; ++k)
        p.drawLine(x + k * l.blockWidth, 0, x + k * l.blockWidth, height());
    for (int32_t r = 1; r <= l.visibleRows; ++r)
        p.drawLine(0, r * l.rowHeight, width(), r * l.rowHeight);
}
