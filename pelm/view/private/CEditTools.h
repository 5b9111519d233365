#pragma once

#include "commands/SCommandId.h"
#include "edit/SPinGeometry.h"
#include "model/SPoint.h"

#include <QPoint>

#include <array>
#include <cstdint>
#include <memory>

class CCompEditView;
class QPainter;
class SPin;
class SPtnObj;
class SPtnObjPolygon;

// The mouse and key handling of the editor view: the drawing tools' points, the floating pin,
// rubber band, move and pin drags, node dragging, the add-node marker, right-button panning
// and the crosshair. It works on the view's document and asks the view to repaint.
class CEditTools {
public:
    static constexpr int32_t kMaxPoints = 64;
    static constexpr int32_t kMaxPolygonClicks = 30;
    static constexpr int32_t kPanSlop = 5;
    static constexpr uint32_t kLeft = 1;
    static constexpr uint32_t kRight = 2;

    explicit CEditTools(CCompEditView& view);
    ~CEditTools();

    // A tool change, a new component or Escape: forget every unfinished thing.
    void toolChanged(STool tool);
    void dropFloatingPin();
    void setFloatingPin(std::unique_ptr<SPin> pin);
    void markerOff() { m_marker = Marker{}; }
    bool markerShown() const { return m_marker.on; }
    bool addNode();
    bool escape();
    // Rubber band, drags and the dragged node off.
    void resetGestures();

    void leftDown(QPoint device);
    void leftUp(QPoint device);
    void doubleClick();
    void move(QPoint device, bool rightHeld, bool leftHeld);
    void rightDown(QPoint device);
    // True when the right click is still pending (no pan, no wheel zoom): show the menu.
    bool rightUp();
    void cancelRightClick() { m_rightPending = false; }
    bool rightAloneHeld() const { return m_buttons == kRight; }
    void reanchorPan(QPoint device);

    SPoint currentPoint() const { return m_current; }
    void paint(QPainter& painter, int32_t factor);

private:
    struct Marker {
        bool on = false;
        SPtnObjPolygon* polygon = nullptr;
        int32_t edge = -1;
        SPoint at;
    };

    bool singleObjectSelected() const;
    SPtnObj* singleObject() const;
    int32_t nodeAt(QPoint device) const;
    void pressWithSelection(QPoint device, bool& done);
    void pressEmpty();
    void placeFloatingPin();
    void drawingClick(SPoint p);
    void textClick(SPoint p);
    void makeObject(const SPtnObj& object);
    void selectByClick(SPoint p, QPoint device);
    bool updateMarker(QPoint device);
    void moveDrag(SPoint m);
    void updateCursor(QPoint device);
    void paintFeedback(QPainter& painter, int32_t factor) const;

    CCompEditView& m_view;
    std::array<SPoint, kMaxPoints> m_points{};
    int32_t m_count = 0;
    int32_t m_dragMode = 0; // 1 moving the selection, 2 moving a single pin
    bool m_rubberBand = false;
    uint32_t m_buttons = 0;
    bool m_rightPending = false;
    QPoint m_rightPressDevice;
    SPoint m_rightPressModel;
    SPoint m_press;
    SPoint m_current;
    SPoint m_moved;
    SPinPosition m_savedPin;
    Marker m_marker;
    std::unique_ptr<SPin> m_floating;
    int32_t m_draggedNode = -1;
    bool m_crosshair = false;
};
