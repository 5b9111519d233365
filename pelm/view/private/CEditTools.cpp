#include "CEditTools.h"

#include "dialogs/CPtnTextDlg.h"
#include "geom/SSegmentProximity.h"
#include "model/SPin.h"
#include "model/SPtnObjArc.h"
#include "model/SPtnObjCircle.h"
#include "model/SPtnObjLine.h"
#include "model/SPtnObjPolygon.h"
#include "model/SPtnObjText.h"
#include "render/SCompRenderer.h"
#include "render/SDrawSettings.h"
#include "view/CCompEditView.h"

#include <QCursor>
#include <QPainter>
#include <QPixmap>

#include <algorithm>
#include <cstdlib>

namespace {

bool isDrawingTool(STool tool) {
    return tool == STool::Line || tool == STool::Circle || tool == STool::Polygon ||
           tool == STool::Arc || tool == STool::Text;
}

// Logical pixels of a model point; points from files may lie anywhere, so the product is held
// where rectangle arithmetic cannot overflow.
QPoint devicePoint(SPoint p, int32_t f) {
    constexpr int64_t kLimit = int64_t{1} << 28;
    return {static_cast<int>(std::clamp(int64_t{p.x} * f, -kLimit, kLimit)),
            static_cast<int>(std::clamp(int64_t{p.y} * f, -kLimit, kLimit))};
}

} // namespace

CEditTools::CEditTools(CCompEditView& view) : m_view(view) {}

CEditTools::~CEditTools() = default;

void CEditTools::toolChanged(STool tool) {
    m_floating.reset();
    m_count = 0;
    m_draggedNode = -1;
    if (tool == STool::Pin) {
        m_floating = std::make_unique<SPin>();
        m_floating->setBlockCount(1);
        m_floating->setNameBytes(std::string_view());
        m_floating->setNumber(0, std::string_view());
    }
}

void CEditTools::dropFloatingPin() {
    m_floating.reset();
}

void CEditTools::setFloatingPin(std::unique_ptr<SPin> pin) {
    m_floating = std::move(pin);
    if (m_floating)
        m_floating->setBlockCount(std::max(m_floating->blockCount(), 1));
}

bool CEditTools::singleObjectSelected() const {
    const SCompEditDoc& doc = m_view.m_doc;
    return doc.selectionCount() == 1 && doc.selectionElement(0).isPatternObject();
}

SPtnObj* CEditTools::singleObject() const {
    return singleObjectSelected() ? m_view.m_doc.selectionElement(0).patternObject() : nullptr;
}

int32_t CEditTools::nodeAt(QPoint device) const {
    const SPtnObj* object = singleObject();
    if (!object)
        return -1;
    const int32_t f = m_view.m_geom.factor();
    const SPoint offset = m_view.m_geom.scrollOffset();
    const QPoint logical(device.x() + offset.x, device.y() + offset.y);
    for (int32_t i = 0; i < object->nodeCount(); ++i) {
        const QPoint n = devicePoint(object->node(i), f);
        if (std::abs(int64_t{n.x()} - logical.x()) <= 3 &&
            std::abs(int64_t{n.y()} - logical.y()) <= 3)
            return i;
    }
    return -1;
}

void CEditTools::leftDown(QPoint device) {
    m_buttons |= kLeft;
    m_crosshair = false;
    m_press = m_view.toModel(device);
    m_current = m_press;
    m_draggedNode = -1;
    if (!m_view.m_entry)
        return;
    bool done = false;
    if (m_view.m_doc.selectionCount() > 0)
        pressWithSelection(device, done);
    if (done)
        return;
    if (m_view.m_doc.selectionCount() > 0) {
        if (m_view.m_nodeMode && singleObjectSelected()) {
            m_draggedNode = nodeAt(device);
        } else if (m_view.m_doc.isInSelectionRect(m_press)) {
            m_moved = SPoint();
            const SCompEditElm& first = m_view.m_doc.selectionElement(0);
            if (m_view.m_doc.selectionCount() == 1 && first.isPin()) {
                m_savedPin = {first.pin()->side(), first.pin()->offset()};
                m_dragMode = 2;
            } else {
                m_dragMode = 1;
            }
        }
    } else {
        pressEmpty();
    }
    m_view.changed();
}

// A press away from the selection's nodes or rectangle releases it; with a drawing tool that
// press does nothing else.
void CEditTools::pressWithSelection(QPoint device, bool& done) {
    const bool onNode = m_view.m_nodeMode && singleObjectSelected() && nodeAt(device) >= 0;
    const bool inRect = !m_view.m_nodeMode && m_view.m_doc.isInSelectionRect(m_press);
    if (onNode || inRect)
        return;
    if (m_view.releaseSelection() && isDrawingTool(m_view.m_tool))
        done = true;
}

void CEditTools::pressEmpty() {
    if (m_floating) {
        const SPinPosition pos = m_view.m_doc.pinPositionFromPoint(m_press);
        m_floating->setSide(pos.side);
        m_floating->setOffset(pos.offset);
        const bool pinTool = m_view.m_tool == STool::Pin;
        if (pinTool) {
            m_floating->setNameBytes(std::string_view("NAME"));
            m_floating->setNumber(0, std::string_view("NUM"));
        }
        placeFloatingPin();
        if (pinTool && m_floating) {
            m_floating->setNameBytes(std::string_view());
            m_floating->setBlockCount(1);
            m_floating->setNumber(0, std::string_view());
        }
        return;
    }
    if (m_view.m_tool == STool::Selector)
        m_rubberBand = true;
    else if (isDrawingTool(m_view.m_tool) && m_view.m_doc.hasPattern())
        drawingClick(m_press);
}

void CEditTools::placeFloatingPin() {
    SCompEditDoc& doc = m_view.m_doc;
    const SPoint root = doc.pinPoint(m_floating->side(), m_floating->offset());
    const SRect visible = m_view.m_geom.visibleModelArea();
    const bool inside = root.x >= visible.left && root.x < visible.right && root.y >= visible.top &&
                        root.y < visible.bottom;
    if (doc.findPinAtSamePosition(m_floating.get()) || !inside)
        return;
    doc.nextOpNumber();
    m_floating->setBlockCount(doc.blockCount());
    doc.addPinToSelection(m_floating.get());
    doc.updateSelectionRect();
    if (m_view.m_tool == STool::Selector)
        m_floating.reset();
    emit m_view.pinsChanged();
}

void CEditTools::drawingClick(SPoint p) {
    const STool tool = m_view.m_tool;
    if (tool == STool::Text) {
        textClick(p);
        return;
    }
    if (m_count == 0) {
        m_points[0] = m_points[1] = p;
        m_count = 1;
        return;
    }
    if (tool == STool::Line) {
        makeObject(SPtnObjLine(m_points[0], p));
        m_count = 0;
    } else if (tool == STool::Circle) {
        makeObject(SPtnObjCircle(m_points[0], p));
        m_count = 0;
    } else if (tool == STool::Polygon || (tool == STool::Arc && m_count < 3)) {
        if (m_count < kMaxPolygonClicks) {
            m_points[static_cast<size_t>(m_count)] = p;
            ++m_count;
            m_points[static_cast<size_t>(m_count)] = p;
        }
    } else if (tool == STool::Arc) {
        const SPoint c = m_points[0];
        const int32_t radius = std::abs(subWrap(c.x, m_points[1].x));
        makeObject(SPtnObjArc(c, radius, SPtnObj::angleOf(c, m_points[2]), SPtnObj::angleOf(c, p)));
        m_count = 0;
    }
}

void CEditTools::textClick(SPoint p) {
    CPtnTextDlg dialog(&m_view);
    m_buttons = 0;
    if (dialog.exec() != QDialog::Accepted || dialog.text.isEmpty())
        return;
    std::string bytes;
    std::string face;
    QString bad;
    if (!m_view.encoding().fromUnicode(dialog.text, bytes, &bad) ||
        !m_view.encoding().fromUnicode(dialog.font.face, face, &bad)) {
        m_view.refuseUnencodable(bad);
        return;
    }
    SPtnObjText text;
    text.setPosition(p);
    text.setAlignment(static_cast<uint32_t>(dialog.alignment));
    text.setText(std::move(bytes));
    text.setFontSize(std::abs(dialog.font.height));
    text.setBold(dialog.font.weight > 699);
    text.setItalic(dialog.font.italic);
    text.setFontName(std::move(face));
    makeObject(text);
    m_count = 0;
}

void CEditTools::makeObject(const SPtnObj& object) {
    SCompEditDoc& doc = m_view.m_doc;
    doc.nextOpNumber();
    doc.addPatternObjectToSelection(&object);
    doc.markSelectionChanged();
}

void CEditTools::doubleClick() {
    m_buttons |= kLeft;
    if (m_view.m_doc.selectionCount() == 1) {
        m_buttons = 0;
        m_view.commandProperty();
    }
    if (m_view.m_tool == STool::Polygon && m_count > 1) {
        const auto n = static_cast<size_t>(std::min(m_count, SCompRenderer::kMaxPolygonPoints));
        makeObject(SPtnObjPolygon(std::vector<SPoint>(m_points.begin(), m_points.begin() + n)));
        m_view.m_doc.updateSelectionRect();
        m_count = 0;
    }
    m_view.changed();
}

void CEditTools::leftUp(QPoint device) {
    m_buttons &= ~kLeft;
    m_crosshair = false;
    const SPoint release = m_view.toModel(device);
    SCompEditDoc& doc = m_view.m_doc;
    if (doc.selectionCount() == 1 && m_dragMode == 2) {
        SPin* pin = doc.selectionElement(0).pin();
        if (pin && doc.findPinAtSamePosition(pin)) {
            // The place is taken: the pin goes back where it was.
            pin->setSide(m_savedPin.side);
            pin->setOffset(m_savedPin.offset);
            doc.markSelectionChanged();
            doc.updateSelectionRect();
        } else {
            emit m_view.pinsChanged();
        }
    } else if (m_view.m_tool == STool::Selector && m_rubberBand && m_dragMode == 0) {
        doc.nextOpNumber();
        const bool band = std::abs(int64_t{release.x} - m_press.x) > 2 ||
                          std::abs(int64_t{release.y} - m_press.y) > 2;
        if (band)
            doc.selectPatternObjectsIn(SRect(m_press, release).normalized());
        else
            selectByClick(release, device);
        if (doc.selectionCount() > 0) {
            doc.updateSelectionRect();
            m_view.invalidateBackground();
            if (doc.selectionHasPin())
                emit m_view.pinsChanged();
        } else {
            doc.dropOpNumber();
        }
    }
    m_rubberBand = false;
    m_draggedNode = -1;
    m_dragMode = 0;
    m_view.changed();
}

void CEditTools::selectByClick(SPoint p, QPoint device) {
    SCompEditDoc& doc = m_view.m_doc;
    if (doc.selectPinAt(p) > 0)
        return;
    const SPoint offset = m_view.m_geom.scrollOffset();
    const QPoint logical(device.x() + offset.x, device.y() + offset.y);
    for (size_t i = doc.mainCount(); i-- > 0;) {
        SCompEditElm& elm = doc.mainElement(i);
        SPtnObj* object = elm.patternObject();
        if (!elm.isLive() || !object)
            continue;
        if (SCompRenderer::hitsObject(SDrawSettings::instance(), *object, logical,
                                      m_view.m_geom.factor())) {
            doc.selectMainElement(i);
            return;
        }
    }
}

void CEditTools::move(QPoint device, bool rightHeld, bool leftHeld) {
    m_crosshair = false;
    const SPoint m = m_view.toModel(device);
    m_current = m;
    if (!leftHeld)
        m_buttons &= ~kLeft;
    if (!rightHeld)
        m_buttons &= ~kRight;
    if (m_rightPending && (std::abs(device.x() - m_rightPressDevice.x()) > kPanSlop ||
                           std::abs(device.y() - m_rightPressDevice.y()) > kPanSlop))
        m_rightPending = false;
    if (!m_rightPending && rightHeld && m_buttons == kRight) {
        m_view.pan(device, m_rightPressModel);
        return;
    }
    updateCursor(device);
    SCompEditDoc& doc = m_view.m_doc;
    if (m_draggedNode >= 0) {
        if (SPtnObj* object = singleObject()) {
            object->setNode(m_draggedNode, m.x, m.y);
            doc.markSelectionChanged();
        }
        if (!singleObjectSelected())
            m_draggedNode = -1;
    } else if (m_dragMode == 2 && doc.selectionCount() == 1 && doc.selectionElement(0).pin()) {
        SPin* pin = doc.selectionElement(0).pin();
        const SPinPosition pos = doc.pinPositionFromPoint(m);
        if (pos.side != pin->side() || pos.offset != pin->offset()) {
            pin->setSide(pos.side);
            pin->setOffset(pos.offset);
            doc.markSelectionChanged();
        }
    } else if (m_dragMode == 1) {
        moveDrag(m);
    } else if (m_floating) {
        const SPinPosition pos = doc.pinPositionFromPoint(m);
        m_floating->setSide(pos.side);
        m_floating->setOffset(pos.offset);
    }
    updateMarker(device);
    const STool tool = m_view.m_tool;
    if (isDrawingTool(tool) && tool != STool::Text) {
        if (m_count > 0)
            m_points[static_cast<size_t>(m_count)] = m;
        else if (doc.selectionCount() == 0)
            m_crosshair = true;
    }
    doc.updateSelectionRect();
    m_view.viewport()->update();
}

void CEditTools::moveDrag(SPoint m) {
    const SPoint total = m - m_press;
    const SPoint delta = total - m_moved;
    m_moved = total;
    if (delta != SPoint())
        m_view.m_doc.moveSelection(delta.x, delta.y);
}

bool CEditTools::updateMarker(QPoint device) {
    const Marker before = m_marker;
    m_marker = Marker{};
    const bool idle = m_draggedNode < 0 && m_dragMode == 0;
    if (m_view.m_nodeMode && idle && singleObjectSelected() && nodeAt(device) < 0) {
        auto* polygon = dynamic_cast<SPtnObjPolygon*>(singleObject());
        const int32_t n = polygon ? polygon->nodeCount() : 0;
        for (int32_t i = 0; i < n && !m_marker.on; ++i) {
            const auto foot =
                SSegmentProximity::test(m_current, polygon->node(i), polygon->node((i + 1) % n), 1);
            if (foot)
                m_marker = Marker{true, polygon, i, *foot};
        }
    }
    return before.on != m_marker.on || before.at != m_marker.at;
}

void CEditTools::updateCursor(QPoint device) {
    bool special = false;
    if (m_view.m_nodeMode && singleObjectSelected())
        special = m_draggedNode >= 0 || nodeAt(device) >= 0;
    else if (!m_view.m_nodeMode && m_view.m_doc.selectionCount() > 0)
        special = m_view.m_doc.isInSelectionRect(m_view.toModel(device));
    m_view.viewport()->setCursor(special ? Qt::SizeAllCursor : Qt::ArrowCursor);
}

void CEditTools::rightDown(QPoint device) {
    m_buttons |= kRight;
    m_rightPending = true;
    m_rightPressDevice = device;
    m_rightPressModel = m_view.toModel(device);
}

bool CEditTools::rightUp() {
    m_buttons &= ~kRight;
    const bool menu = m_rightPending;
    m_rightPending = false;
    return menu;
}

void CEditTools::reanchorPan(QPoint device) {
    m_rightPressDevice = device;
    m_rightPressModel = m_view.toModel(device);
}

void CEditTools::resetGestures() {
    m_rubberBand = false;
    m_draggedNode = -1;
    m_dragMode = 0;
}

bool CEditTools::addNode() {
    if (!m_marker.on || !m_marker.polygon)
        return false;
    m_marker.polygon->insertNode(m_marker.edge, m_marker.at.x, m_marker.at.y);
    m_marker = Marker{};
    m_view.m_doc.markSelectionChanged();
    return true;
}

// Escape steps back one thing; when there was nothing to step back, the view goes to the
// Selector tool (returns false).
bool CEditTools::escape() {
    bool did = m_view.releaseSelection();
    if (m_view.m_tool == STool::Selector && m_floating) {
        m_floating.reset();
        did = true;
    }
    if (m_count > 0) {
        m_points[static_cast<size_t>(m_count - 1)] = m_points[static_cast<size_t>(m_count)];
        --m_count;
        did = true;
    }
    m_draggedNode = -1;
    return did;
}

void CEditTools::paint(QPainter& painter, int32_t factor) {
    SCompEditDoc& doc = m_view.m_doc;
    if (m_view.m_tool == STool::Selector && m_rubberBand)
        SCompRenderer::drawFocusRect(
            painter, QRect(devicePoint(m_press, factor), devicePoint(m_current, factor)));
    if (m_view.m_entry) {
        if (m_floating && m_dragMode == 0)
            SCompRenderer::drawPin(painter, SDrawSettings::instance(), *m_floating,
                                   doc.pinPoint(m_floating->side(), m_floating->offset()), 0,
                                   SCompRenderer::kPinSelected, factor, 1);
        paintFeedback(painter, factor);
    }
    if (m_marker.on) {
        const QPoint at = devicePoint(m_marker.at, factor);
        static const QPixmap icon = QPixmap(QStringLiteral(":/pelm/icons/add-node.svg"));
        painter.drawPixmap(QRect(at.x() - 5, at.y() - 5, 11, 11), icon);
    }
    if (m_crosshair) {
        SCompRenderer::drawCrosshair(painter, devicePoint(m_current, factor));
    }
}

void CEditTools::paintFeedback(QPainter& painter, int32_t factor) const {
    if (m_count <= 0)
        return;
    const STool tool = m_view.m_tool;
    painter.setPen(QPen(SCompRenderer::kSelected, 1));
    painter.setBrush(Qt::NoBrush);
    if (tool == STool::Line || tool == STool::Polygon) {
        QPolygon line;
        for (int32_t i = 0; i <= m_count; ++i)
            line.append(devicePoint(m_points[static_cast<size_t>(i)], factor));
        if (m_count > 1)
            line.append(line.first());
        painter.drawPolyline(line);
    } else if (tool == STool::Circle) {
        painter.drawEllipse(
            QRect(devicePoint(m_points[0], factor), devicePoint(m_points[1], factor)).normalized());
    } else if (tool == STool::Arc) {
        const SPoint c = m_points[0];
        const int32_t r = std::abs(subWrap(c.x, m_points[1].x));
        painter.setPen(QPen(SCompRenderer::kArcGuide, 1));
        painter.drawEllipse(QRect(devicePoint({c.x - r, c.y - r}, factor),
                                  devicePoint({c.x + r, c.y + r}, factor)));
        if (m_count >= 2) {
            const SPoint end = m_count == 3
                                   ? m_points[3]
                                   : SPoint(2 * c.x - m_points[2].x, 2 * c.y - m_points[2].y);
            SPtnObjArc arc(c, r, SPtnObj::angleOf(c, m_points[2]), SPtnObj::angleOf(c, end));
            SCompRenderer::drawPatternObject(painter, SDrawSettings::instance(), arc,
                                             SCompRenderer::kSelected, {}, factor, 1);
        }
    }
}
