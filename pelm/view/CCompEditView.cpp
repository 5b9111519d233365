#include "view/CCompEditView.h"

#include "CEditTools.h"
#include "CElementProperty.h"
#include "CQtClipboard.h"
#include "commands/SCommandTable.h"
#include "edit/SEditClipboardText.h"
#include "model/SCompIndex.h"
#include "model/SCompInfo.h"
#include "model/SPtn.h"
#include "model/SPtnObjText.h"
#include "render/SBitPatternRaster.h"
#include "render/SCompRenderer.h"
#include "render/SDrawSettings.h"

#include <QContextMenuEvent>
#include <QCursor>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>

namespace {

using Axis = SViewGeometry::Axis;
using Code = SViewGeometry::ScrollCode;

std::optional<Code> scrollCode(int action) {
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
        return Code::LineUp;
    case QAbstractSlider::SliderSingleStepAdd:
        return Code::LineDown;
    case QAbstractSlider::SliderPageStepSub:
        return Code::PageUp;
    case QAbstractSlider::SliderPageStepAdd:
        return Code::PageDown;
    case QAbstractSlider::SliderMove:
        return Code::Thumb;
    default:
        return std::nullopt; // top, bottom: ignored
    }
}

} // namespace

CCompEditView::CCompEditView(QWidget* parent)
    : QAbstractScrollArea(parent), m_tools(std::make_unique<CEditTools>(*this)) {
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    viewport()->setAutoFillBackground(false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleName(tr("Component editor"));
    const auto hook = [this](QScrollBar* bar, Axis axis) {
        connect(bar, &QScrollBar::actionTriggered, this, [this, bar, axis](int action) {
            const auto code = scrollCode(action);
            if (code)
                m_geom.scroll(axis, *code, bar->sliderPosition());
            bar->setSliderPosition(m_geom.position(axis));
        });
        connect(bar, &QScrollBar::valueChanged, this, [this, axis](int value) {
            if (m_syncingBars)
                return;
            m_geom.scroll(axis, Code::Thumb, value);
            viewport()->update();
        });
    };
    hook(horizontalScrollBar(), Axis::X);
    hook(verticalScrollBar(), Axis::Y);
    m_geom.setContent(std::nullopt);
}

CCompEditView::~CCompEditView() = default;

void CCompEditView::setComponent(SCompIndex* entry) {
    m_entry = entry && entry->component() ? entry : nullptr;
    if (m_entry)
        m_doc.loadComponent(m_entry->component());
    else
        m_doc.clearDocument();
    m_displayedBlock = 0;
    m_tools->dropFloatingPin();
    m_tools->markerOff();
    setTool(STool::Selector);
    recomputeExtent();
    emit pinsChanged();
    changed();
}

void CCompEditView::store() {
    if (m_entry && m_entry->component())
        m_doc.storeComponent(*m_entry->component());
}

bool CCompEditView::releaseSelection() {
    m_tools->markerOff();
    const bool hadPin = m_doc.selectionHasPin();
    if (hadPin)
        emit pinEditEndRequested();
    const bool released = m_doc.releaseSelection();
    if (released) {
        invalidateBackground();
        viewport()->update();
    }
    if (hadPin)
        emit pinsChanged();
    return released;
}

void CCompEditView::releaseAndStoreIfDirty() {
    if (!m_entry)
        return;
    releaseSelection();
    if (m_doc.isDirty())
        store();
}

void CCompEditView::markSelectionChanged() {
    m_doc.markSelectionChanged();
    viewport()->update();
}

void CCompEditView::setMargin(int32_t margin, bool recompute) {
    m_geom.setMargin(margin);
    if (recompute)
        recomputeExtent();
}

bool CCompEditView::selectPinByPosition(int32_t side, int32_t offset) {
    if (m_tool != STool::Selector)
        requestCommand(SCommandId::ToolSelector);
    releaseSelection();
    m_tools->resetGestures();
    bool selected = false;
    if (m_doc.mainCount() > 0 && m_entry) {
        m_doc.nextOpNumber();
        selected = m_doc.selectPinByPosition(side, offset) > 0;
        if (selected) {
            m_doc.updateSelectionRect();
            invalidateBackground();
            emit pinsChanged();
        } else {
            m_doc.dropOpNumber();
        }
    }
    changed();
    return selected;
}

void CCompEditView::setDisplayedBlock(int32_t block) {
    if (block == m_displayedBlock)
        return;
    m_displayedBlock = block;
    invalidateBackground();
    viewport()->update();
}

void CCompEditView::setTool(STool tool) {
    if (tool == m_tool)
        return;
    m_tools->dropFloatingPin();
    releaseSelection();
    m_tool = tool;
    m_tools->toolChanged(tool);
    changed();
}

void CCompEditView::requestCommand(SCommandId id) {
    if (isSignalConnected(QMetaMethod::fromSignal(&CCompEditView::commandRequested)))
        emit commandRequested(id);
    else
        runCommand(id);
}

void CCompEditView::changed() {
    viewport()->update();
    emit stateChanged();
}

bool CCompEditView::runCommand(SCommandId id) {
    SCommandState state;
    fillCommandState(state);
    const SCommandUi ui = SCommandRules::evaluate(id, state);
    if (const auto tool = SCommandTable::toolOf(id)) {
        if (ui.enabled)
            setTool(*tool);
        return true;
    }
    switch (id) {
    case SCommandId::EditNodeMode:
    case SCommandId::AddNode:
    case SCommandId::Mirror:
    case SCommandId::Rotate:
    case SCommandId::Property:
    case SCommandId::EditUndo:
    case SCommandId::ZoomIn:
    case SCommandId::ZoomOut:
    case SCommandId::NextPinName:
    case SCommandId::NextPinNumber:
    case SCommandId::CreateBitPattern:
    case SCommandId::EditCut:
    case SCommandId::EditCopy:
    case SCommandId::EditPaste:
    case SCommandId::EditDelete:
        if (ui.enabled)
            runEnabled(id);
        emit stateChanged();
        return true;
    default:
        return false;
    }
}

void CCompEditView::runEnabled(SCommandId id) {
    switch (id) {
    case SCommandId::EditNodeMode:
        m_nodeMode = !m_nodeMode;
        m_tools->markerOff();
        break;
    case SCommandId::AddNode:
        m_tools->addNode();
        break;
    case SCommandId::Mirror:
        m_doc.mirrorSelection();
        break;
    case SCommandId::Rotate:
        m_doc.rotateSelection();
        break;
    case SCommandId::Property:
        commandProperty();
        break;
    case SCommandId::EditUndo:
        commandUndo();
        break;
    case SCommandId::ZoomIn:
    case SCommandId::ZoomOut:
        zoomTo(m_geom.zoomStep() + (id == SCommandId::ZoomIn ? 1 : -1));
        break;
    case SCommandId::NextPinName:
    case SCommandId::NextPinNumber:
        if (id == SCommandId::NextPinName ? m_doc.nextPinName() : m_doc.nextPinNumber())
            emit pinsChanged();
        break;
    case SCommandId::CreateBitPattern:
        if (askBitPattern())
            createBitPattern();
        break;
    case SCommandId::EditPaste:
        commandPaste();
        break;
    default:
        commandClipboard(id);
        break;
    }
    m_doc.updateSelectionRect();
    viewport()->update();
}

void CCompEditView::fillCommandState(SCommandState& state) const {
    const SCompInfo* info = m_entry ? m_entry->component() : nullptr;
    state.componentOpen = info != nullptr;
    state.hasPattern = m_doc.hasPattern();
    state.hasBitPattern = info && info->pattern() && info->pattern()->hasBitPattern();
    state.tool = m_tool;
    state.nodeMode = m_nodeMode;
    state.selectionCount = static_cast<int32_t>(m_doc.selectionCount());
    state.firstSelectedIsPatternObject =
        m_doc.selectionCount() > 0 && m_doc.selectionElement(0).isPatternObject();
    state.singlePinSelected = m_doc.selectionCount() == 1 && m_doc.selectionElement(0).isPin();
    state.canUndo = m_doc.canUndo();
    state.canNextPinName = m_doc.canNextPinName();
    state.canNextPinNumber = m_doc.canNextPinNumber();
    state.addNodeMarker = m_tools->markerShown();
    state.zoomStep = m_geom.zoomStep();
    state.pinPropertyShown = m_pinPropertyShown;
    state.clipboardHasPinOrPattern = SEditClipboardText::canPaste(CQtClipboard(m_text));
}

void CCompEditView::recomputeExtent() {
    m_geom.setContent(m_entry ? std::optional<SSize>(m_doc.size()) : std::nullopt);
    m_geom.resize(SSize(viewport()->width(), viewport()->height()));
    applyGeometry();
    invalidateBackground();
}

void CCompEditView::applyGeometry() {
    m_syncingBars = true;
    const auto sync = [this](QScrollBar* bar, Axis axis, int client) {
        bar->setRange(0, m_geom.scrollMax(axis));
        bar->setPageStep(std::max(client, 1));
        bar->setSingleStep(SViewGeometry::kLineStep);
        bar->setValue(m_geom.position(axis));
    };
    sync(horizontalScrollBar(), Axis::X, m_geom.clientSize().width);
    sync(verticalScrollBar(), Axis::Y, m_geom.clientSize().height);
    m_syncingBars = false;
    viewport()->update();
}

void CCompEditView::zoomTo(int32_t step) {
    m_geom.setZoomStep(step);
    recomputeExtent();
    const QPoint cursor = cursorInViewport();
    const QRect client(0, 0, viewport()->width() + 1, viewport()->height() + 1);
    if (client.contains(cursor)) {
        // The model point under the mouse stays where it was.
        m_geom.scrollToPoint(SPoint(cursor.x(), cursor.y()), m_tools->currentPoint());
        applyGeometry();
    }
    if (m_tools->rightAloneHeld())
        m_tools->reanchorPan(cursor);
    invalidateBackground();
    viewport()->update();
}

QPoint CCompEditView::cursorInViewport() const {
    return viewport()->mapFromGlobal(QCursor::pos());
}

void CCompEditView::pan(QPoint device, SPoint model) {
    m_geom.scrollToPoint(SPoint(device.x(), device.y()), model);
    applyGeometry();
}

SPoint CCompEditView::toModel(QPoint device) const {
    return m_geom.toModel(SPoint(device.x(), device.y()));
}

void CCompEditView::setTextEncoding(const QByteArray& name) {
    m_encoding = name;
    m_text = name.isEmpty() ? CTextEncoding() : CTextEncoding(QString::fromLatin1(name));
}

void CCompEditView::refuseUnencodable(const QString& bad) {
    QMessageBox::warning(
        this, tr("Pelm"),
        tr("The character \"%1\" cannot be written in the encoding %2.").arg(bad, m_text.name()));
}

void CCompEditView::drawBackgroundLayer(QPainter& painter) {
    SCompRenderer::Background what;
    what.doc = m_entry ? &m_doc : nullptr;
    what.pattern = m_entry && m_entry->component() ? m_entry->component()->pattern() : nullptr;
    what.factor = m_geom.factor();
    what.block = m_displayedBlock;
    what.visibleModel = m_geom.visibleModelArea();
    SCompRenderer::drawBackground(painter, SDrawSettings::instance(), what);
}

void CCompEditView::updateBackground() {
    const QSize size = viewport()->size();
    if (m_background.size() != size) {
        m_background = QImage(size, QImage::Format_RGB32);
        m_backgroundValid = false;
        if (m_background.isNull())
            return; // drawn directly until the next attempt
    }
    const SPoint offset = m_geom.scrollOffset();
    if (m_backgroundValid && offset == m_backgroundScroll)
        return;
    m_background.fill(SCompRenderer::kBackground);
    QPainter painter(&m_background);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.translate(-offset.x, -offset.y);
    drawBackgroundLayer(painter);
    m_backgroundScroll = offset;
    m_backgroundValid = true;
}

void CCompEditView::paintEvent(QPaintEvent*) {
    updateBackground();
    QPainter painter(viewport());
    painter.setRenderHint(QPainter::Antialiasing, false);
    const SPoint offset = m_geom.scrollOffset();
    if (!m_background.isNull()) {
        painter.drawImage(0, 0, m_background);
        painter.translate(-offset.x, -offset.y);
    } else {
        painter.fillRect(viewport()->rect(), SCompRenderer::kBackground);
        painter.translate(-offset.x, -offset.y);
        drawBackgroundLayer(painter);
    }
    drawForeground(painter);
}

void CCompEditView::drawForeground(QPainter& painter) {
    const int32_t f = m_geom.factor();
    SCompRenderer::drawSelection(painter, SDrawSettings::instance(), m_doc, f, m_displayedBlock);
    if (m_doc.selectionCount() > 0) {
        const SCompEditElm& first = m_doc.selectionElement(0);
        if (m_nodeMode && m_doc.selectionCount() == 1 && first.isPatternObject()) {
            SCompRenderer::drawNodeMarks(painter, *first.patternObject(), f);
        } else {
            const SRect r = m_doc.selectionRect();
            // Held where rectangle arithmetic cannot overflow.
            const auto px = [f](int32_t v) {
                return static_cast<int>(std::clamp<int64_t>(int64_t{v} * f, -(1 << 28), 1 << 28));
            };
            SCompRenderer::drawFocusRect(
                painter, QRect(QPoint(px(r.left), px(r.top)), QPoint(px(r.right), px(r.bottom))));
        }
    }
    m_tools->paint(painter, f);
}

void CCompEditView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    m_geom.resize(SSize(viewport()->width(), viewport()->height()));
    applyGeometry();
    invalidateBackground();
}

void CCompEditView::scrollContentsBy(int, int) {
    viewport()->update();
}

void CCompEditView::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    if (event->button() == Qt::LeftButton)
        m_tools->leftDown(event->position().toPoint());
    else if (event->button() == Qt::RightButton)
        m_tools->rightDown(event->position().toPoint());
    emit stateChanged();
}

void CCompEditView::mouseMoveEvent(QMouseEvent* event) {
    m_tools->move(event->position().toPoint(), event->buttons() & Qt::RightButton,
                  event->buttons() & Qt::LeftButton);
}

void CCompEditView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_tools->leftUp(event->position().toPoint());
        emit stateChanged();
    } else if (event->button() == Qt::RightButton) {
        // The menu only for a still right click: no pan, no wheel zoom in between.
        if (m_tools->rightUp() && m_contextMenu) {
            emit stateChanged();
            m_contextMenu->exec(event->globalPosition().toPoint());
        }
    }
}

void CCompEditView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_tools->doubleClick();
        emit stateChanged();
    }
}

void CCompEditView::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if ((event->modifiers() & Qt::ControlModifier) || m_tools->rightAloneHeld()) {
        m_tools->cancelRightClick();
        for (int32_t steps = m_geom.wheelZoomSteps(delta); steps != 0; steps += steps > 0 ? -1 : 1)
            runCommand(steps > 0 ? SCommandId::ZoomIn : SCommandId::ZoomOut);
    } else {
        for (int32_t steps = m_geom.wheelScrollSteps(delta); steps != 0;
             steps += steps > 0 ? -1 : 1)
            m_geom.scroll(Axis::Y, steps > 0 ? Code::LineUp : Code::LineDown);
        applyGeometry();
    }
    event->accept();
}

void CCompEditView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        if (!m_tools->escape())
            setTool(STool::Selector);
        changed();
        return;
    }
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    // Page keys zoom (the frame's shortcuts normally take them first).
    if (mods == Qt::NoModifier &&
        (event->key() == Qt::Key_PageUp || event->key() == Qt::Key_PageDown)) {
        runCommand(event->key() == Qt::Key_PageUp ? SCommandId::ZoomIn : SCommandId::ZoomOut);
        return;
    }
    if (mods == Qt::NoModifier && event->text().size() == 1) {
        if (const auto id = SCommandTable::letterCommand(event->text().at(0).toLatin1())) {
            requestCommand(*id);
            return;
        }
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void CCompEditView::contextMenuEvent(QContextMenuEvent* event) {
    // The mouse's menu comes with the right button's release; this one is the keyboard's.
    if (event->reason() != QContextMenuEvent::Mouse && m_contextMenu) {
        emit stateChanged();
        m_contextMenu->exec(event->globalPos());
    }
    event->accept();
}

bool CCompEditView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::Wheel) {
        wheelEvent(static_cast<QWheelEvent*>(event));
        return true;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void CCompEditView::commandUndo() {
    m_tools->markerOff();
    m_doc.undo();
    invalidateBackground();
    emit pinsChanged();
}

void CCompEditView::commandClipboard(SCommandId id) {
    CQtClipboard clipboard(m_text);
    const bool hadPin = m_doc.selectionHasPin();
    if (id == SCommandId::EditCopy || id == SCommandId::EditCut) {
        // A selection that could not be put on the clipboard is not cut: it would be lost.
        if (!m_doc.copySelectionToClipboard(clipboard))
            return;
    }
    if (id == SCommandId::EditCut || id == SCommandId::EditDelete) {
        m_tools->markerOff();
        m_doc.deleteSelection();
        invalidateBackground();
        if (hadPin)
            emit pinsChanged();
    }
}

void CCompEditView::commandPaste() {
    const CQtClipboard clipboard(m_text);
    const SPoint origin = SEditClipboardText::pasteOrigin(m_geom.scrollOffset(), m_geom.factor());
    releaseSelection();
    auto result = m_doc.paste(clipboard, origin);
    if (result.format == SEditClipboardText::Format::Pin)
        m_tools->setFloatingPin(std::move(result.floatingPin));
    invalidateBackground();
}

bool CCompEditView::askBitPattern() {
    return QMessageBox::question(
               this, tr("Pelm"), tr("It CREATES BIT-PATTERN and OVERWRITES EXISTING"),
               QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel) == QMessageBox::Ok;
}

bool CCompEditView::createBitPattern() {
    SPtn* pattern = m_entry && m_entry->component() ? m_entry->component()->pattern() : nullptr;
    if (!pattern || !pattern->hasBitPattern())
        return false;
    // Released first, so that objects drawn but not yet committed count too.
    releaseSelection();
    if (m_doc.mainCount() == 0)
        return false;
    const SSize px = pattern->size();
    if (pattern->bitPatternLength() != pattern->bitPatternStride() * px.height)
        return false;
    std::vector<SPtnObj*> objects;
    for (size_t i = 0; i < m_doc.mainCount(); ++i) {
        SCompEditElm& elm = m_doc.mainElement(i);
        if (elm.isLive() && elm.patternObject())
            objects.push_back(elm.patternObject());
    }
    const std::vector<uint8_t> bits =
        SBitPatternRaster::rasterise(SDrawSettings::instance(), objects, px);
    std::copy(bits.begin(), bits.end(), pattern->bitPatternData());
    invalidateBackground();
    viewport()->update();
    m_doc.setDirty(true);
    return true;
}

void CCompEditView::commandProperty() {
    if (m_doc.selectionCount() != 1)
        return;
    SCompEditElm& elm = m_doc.selectionElement(0);
    const CElementProperty editor(this, m_text);
    bool confirmed = false;
    if (SPin* pin = elm.pin()) {
        // Pins are edited in the pin property window while it is shown.
        if (m_pinPropertyShown)
            return;
        confirmed = editor.editPin(*pin, m_doc);
    } else if (SPtnObj* object = elm.patternObject()) {
        confirmed = object->id() == SPtnObjId::Text
                        ? editor.editText(static_cast<SPtnObjText&>(*object))
                        : editor.editStyle(*object);
    }
    if (!confirmed)
        return;
    m_doc.markSelectionChanged();
    if (elm.isPin())
        emit pinsChanged();
    viewport()->update();
}
