#include "window/CSheetView.h"

#include "schematic/SXKorvDocSch.h"
#include "viewcore/SObjectInfo.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <climits>

namespace {

int clampInt(int64_t v) {
    return static_cast<int>(std::clamp<int64_t>(v, INT_MIN / 2, INT_MAX / 2));
}

} // namespace

CSheetView::CSheetView(std::unique_ptr<SXKorvDocSch> doc, QString path, CTextEncoding encoding,
                       QWidget* parent)
    : QAbstractScrollArea(parent), m_doc(std::move(doc)), m_path(std::move(path)),
      m_index(m_doc->objects()), m_renderer(std::move(encoding)), m_layers(m_doc->visibleLayers()) {
    m_viewport.setSheetSize(m_doc->sheetSize());
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(tr("Schematic sheet"));
    m_markTimer.setSingleShot(true);
    connect(&m_markTimer, &QTimer::timeout, this, [this] {
        m_mark.reset();
        viewport()->update();
    });
}

CSheetView::~CSheetView() = default;

void CSheetView::setLayers(int32_t mask) {
    m_layers = mask & 0xFF;
    m_tiles.clear();
    viewport()->update();
}

void CSheetView::setEncoding(const CTextEncoding& encoding) {
    m_renderer.setEncoding(encoding);
    m_tiles.clear();
    viewport()->update();
}

int CSheetView::zoomPercent() const {
    return static_cast<int>((int64_t{m_viewport.num()} * 100 + SSheetViewport::kDen / 2) /
                            SSheetViewport::kDen);
}

void CSheetView::fitToWindow() {
    m_fitting = true;
    m_viewport.fit();
    viewChanged();
}

void CSheetView::zoomActual() {
    m_fitting = false;
    m_viewport.setNum(SSheetViewport::kDen);
    viewChanged();
}

void CSheetView::zoomIn() {
    m_fitting = false;
    m_viewport.zoomSteps(1, {m_viewport.viewportWidth() / 2.0, m_viewport.viewportHeight() / 2.0});
    viewChanged();
}

void CSheetView::zoomOut() {
    m_fitting = false;
    m_viewport.zoomSteps(-1, {m_viewport.viewportWidth() / 2.0, m_viewport.viewportHeight() / 2.0});
    viewChanged();
}

void CSheetView::centreOn(SPoint p, bool mark) {
    if (!m_placed) {
        // Not laid out yet: do it once the window has its size.
        m_pendingCentre = p;
        m_pendingMark = mark;
        return;
    }
    m_fitting = false;
    // Too small to find a spot in: come close enough to read the texts around it.
    if (m_viewport.num() < SSheetViewport::kDen / 2)
        m_viewport.setNum(SSheetViewport::kDen);
    m_viewport.centreOn({static_cast<double>(p.x), static_cast<double>(p.y)});
    if (mark) {
        m_mark = p;
        m_markTimer.start(kMarkMs);
    }
    viewChanged();
}

QString CSheetView::describeAt(QPoint device) const {
    const SPointF at =
        m_viewport.toSheet({static_cast<double>(device.x()), static_cast<double>(device.y())});
    const int64_t hit = m_index.hitAt(at, 4.0 / m_viewport.scale(), m_layers);
    if (hit < 0)
        return {};
    const SObjectInfo info = SObjectDescription::describe(m_index.object(static_cast<size_t>(hit)));
    QString text = QString::fromLatin1(info.kind.data(), static_cast<qsizetype>(info.kind.size()));
    if (!info.text.empty())
        text += QStringLiteral(": ") + m_renderer.encoding().toUnicode(info.text);
    return text;
}

void CSheetView::paintEvent(QPaintEvent* event) {
    QElapsedTimer timer;
    timer.start();
    QPainter painter(viewport());
    CSheetFrame frame = CSheetFrame::of(m_viewport, m_layers);
    frame.device = event->rect();
    painter.setClipRect(event->rect());
    m_tiles.draw(painter, m_renderer, *m_doc, m_index, frame);
    drawMark(painter);
    m_lastPaintMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

void CSheetView::drawMark(QPainter& painter) {
    if (!m_mark)
        return;
    const CSheetFrame frame = CSheetFrame::of(m_viewport, m_layers);
    const QPointF at = frame.map(*m_mark);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setBrush(Qt::NoBrush);
    // A ring around the spot, wide enough to leave the text it marks readable.
    constexpr double kRing = 22;
    painter.setPen(QPen(QColor(255, 255, 255, 200), 5));
    painter.drawEllipse(at, kRing, kRing);
    painter.setPen(QPen(QColor(230, 0, 0), 2.5));
    painter.drawEllipse(at, kRing, kRing);
    for (const QPointF dir : {QPointF(1, 0), QPointF(-1, 0), QPointF(0, 1), QPointF(0, -1)})
        painter.drawLine(at + dir * (kRing - 6), at + dir * (kRing + 10));
}

void CSheetView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    m_viewport.setViewportSize(viewport()->width(), viewport()->height());
    // Until the user moves the view, the sheet keeps fitting the window as it is laid out.
    if (m_fitting && viewport()->width() > 1 && viewport()->height() > 1) {
        m_placed = true;
        m_viewport.fit();
        if (m_pendingCentre) {
            const SPoint p = *m_pendingCentre;
            m_pendingCentre.reset();
            centreOn(p, m_pendingMark);
            return;
        }
    }
    viewChanged();
}

void CSheetView::syncScrollBars() {
    m_syncing = true;
    const auto set = [](QScrollBar* bar, int64_t lo, int64_t hi, int64_t value, int page) {
        bar->setRange(clampInt(lo), clampInt(std::max(lo, hi)));
        bar->setPageStep(std::max(page, 1));
        bar->setSingleStep(std::max(page / 10, 1));
        bar->setValue(clampInt(value));
    };
    set(horizontalScrollBar(), m_viewport.minScrollX(), m_viewport.maxScrollX(),
        m_viewport.scrollX(), m_viewport.viewportWidth());
    set(verticalScrollBar(), m_viewport.minScrollY(), m_viewport.maxScrollY(), m_viewport.scrollY(),
        m_viewport.viewportHeight());
    m_syncing = false;
}

void CSheetView::viewChanged() {
    syncScrollBars();
    viewport()->update();
    emit zoomChanged(zoomPercent());
}

void CSheetView::scrollContentsBy(int, int) {
    if (m_syncing)
        return;
    m_fitting = false;
    m_viewport.scrollTo(horizontalScrollBar()->value(), verticalScrollBar()->value());
    viewport()->update();
}

void CSheetView::wheelEvent(QWheelEvent* event) {
    const QPoint delta = event->angleDelta();
    m_fitting = false;
    if (event->modifiers() & Qt::ControlModifier) {
        const int steps = delta.y() / 120 != 0 ? delta.y() / 120 : (delta.y() > 0 ? 1 : -1);
        if (delta.y() != 0) {
            const QPointF at = event->position();
            m_viewport.zoomSteps(steps, {at.x(), at.y()});
            viewChanged();
        }
        event->accept();
        return;
    }
    // Shift turns the wheel sideways, as elsewhere on the desktop.
    const bool sideways = (event->modifiers() & Qt::ShiftModifier) || delta.x() != 0;
    const int amount = sideways && delta.x() == 0 ? delta.y() : (sideways ? delta.x() : delta.y());
    const int64_t pixels = -int64_t{amount} * std::max(m_viewport.viewportHeight() / 8, 20) / 120;
    if (sideways)
        m_viewport.scrollBy(pixels, 0);
    else
        m_viewport.scrollBy(0, pixels);
    viewChanged();
    event->accept();
}

void CSheetView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        m_panning = true;
        m_fitting = false;
        m_panFrom = event->position().toPoint();
        viewport()->setCursor(Qt::ClosedHandCursor);
        event->accept();
        return;
    }
    QAbstractScrollArea::mousePressEvent(event);
}

void CSheetView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (m_panning) {
        m_viewport.scrollBy(m_panFrom.x() - at.x(), m_panFrom.y() - at.y());
        m_panFrom = at;
        viewChanged();
        return;
    }
    const QString hover = describeAt(at);
    if (hover != m_hover) {
        m_hover = hover;
        viewport()->setToolTip(hover);
        emit hoverChanged(hover);
    }
}

void CSheetView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton && m_panning) {
        m_panning = false;
        viewport()->unsetCursor();
        event->accept();
        return;
    }
    QAbstractScrollArea::mouseReleaseEvent(event);
}

void CSheetView::leaveEvent(QEvent* event) {
    if (!m_hover.isEmpty()) {
        m_hover.clear();
        emit hoverChanged(m_hover);
    }
    QAbstractScrollArea::leaveEvent(event);
}
