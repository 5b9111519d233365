#pragma once

#include "gui/CTextEncoding.h"
#include "model/SPoint.h"
#include "sheetdraw/CSheetRenderer.h"
#include "sheetdraw/CSheetTiles.h"
#include "viewcore/SSheetIndex.h"
#include "viewcore/SSheetViewport.h"

#include <QAbstractScrollArea>
#include <QElapsedTimer>
#include <QTimer>

#include <memory>
#include <optional>

class SXKorvDocSch;

// One sheet in a window: wheel scrolls, Ctrl+wheel zooms about the mouse, the right button
// drags the sheet, and hovering tells what lies under the mouse.
class CSheetView : public QAbstractScrollArea {
    Q_OBJECT
public:
    // How long a received position stays marked.
    static constexpr int kMarkMs = 4000;

    CSheetView(std::unique_ptr<SXKorvDocSch> doc, QString path, CTextEncoding encoding,
               QWidget* parent = nullptr);
    ~CSheetView() override;

    SXKorvDocSch& doc() { return *m_doc; }
    const QString& path() const { return m_path; }
    const SSheetViewport& sheetViewport() const { return m_viewport; }
    const SSheetIndex& index() const { return m_index; }

    int32_t layers() const { return m_layers; }
    void setLayers(int32_t mask);
    void setEncoding(const CTextEncoding& encoding);

    void fitToWindow();
    void zoomActual();
    void zoomIn();
    void zoomOut();
    // Brings `p` to the middle of the window; with `mark`, rings it for a few seconds.
    void centreOn(SPoint p, bool mark);
    std::optional<SPoint> markedPoint() const { return m_mark; }
    int zoomPercent() const;
    // What lies at a point of the window, as "Kind: text" (empty when nothing).
    QString describeAt(QPoint device) const;
    // Time the last paint took, in milliseconds.
    double lastPaintMs() const { return m_lastPaintMs; }

signals:
    void hoverChanged(const QString& text);
    void zoomChanged(int percent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void syncScrollBars();
    void viewChanged();
    void drawMark(QPainter& painter);

    std::unique_ptr<SXKorvDocSch> m_doc;
    QString m_path;
    SSheetIndex m_index;
    SSheetViewport m_viewport;
    CSheetRenderer m_renderer;
    CSheetTiles m_tiles;
    int32_t m_layers = 255;
    bool m_placed = false; // laid out once the window has a size
    bool m_fitting = true; // keeps fitting the window until the user moves the view
    std::optional<SPoint> m_pendingCentre;
    bool m_pendingMark = false;
    std::optional<SPoint> m_mark;
    QTimer m_markTimer;
    bool m_syncing = false;
    bool m_panning = false;
    QPoint m_panFrom;
    QString m_hover;
    double m_lastPaintMs = 0;
};
