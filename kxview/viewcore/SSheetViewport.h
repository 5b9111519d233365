#pragma once

#include "model/SPoint.h"
#include "model/SRect.h"

#include <cstdint>

// A point in floating sheet or device coordinates.
struct SPointF {
    double x = 0;
    double y = 0;
    friend bool operator==(SPointF, SPointF) = default;
};

// Which part of a sheet a window shows and at what scale. The scale is the fraction num / kDen
// so that integer drawing routines (v × num / den) and the view's own transform agree to the
// pixel; device = sheet × num / kDen − scroll.
class SSheetViewport {
public:
    static constexpr int32_t kDen = 256;
    static constexpr int32_t kMinNum = 4;     // 1/64
    static constexpr int32_t kMaxNum = 32768; // 128×
    // Sheet units kept around the frame when fitting.
    static constexpr int32_t kMargin = 20;

    void setViewportSize(int32_t width, int32_t height);
    int32_t viewportWidth() const { return m_viewW; }
    int32_t viewportHeight() const { return m_viewH; }
    // The sheet frame (0, 0)-(size); the scrollable content is the frame plus a margin.
    void setSheetSize(SSize size);
    SSize sheetSize() const { return m_sheet; }

    int32_t num() const { return m_num; }
    double scale() const { return static_cast<double>(m_num) / kDen; }
    int64_t scrollX() const { return m_scrollX; }
    int64_t scrollY() const { return m_scrollY; }

    SPointF toDevice(SPointF sheet) const;
    SPointF toSheet(SPointF device) const;
    // The sheet area the viewport shows, rounded outwards.
    SRect visibleSheetRect() const;

    // The whole frame with its margin, centred.
    void fit();
    // Keeps the sheet point under `anchor` (device) where it is.
    void setNum(int32_t num, SPointF anchor);
    void setNum(int32_t num) { setNum(num, centre()); }
    // One step in or out (about ×1.25); steps < 0 zoom out.
    void zoomSteps(int32_t steps, SPointF anchor);
    void centreOn(SPointF sheet);
    void scrollTo(int64_t x, int64_t y);
    void scrollBy(int64_t dx, int64_t dy) { scrollTo(m_scrollX + dx, m_scrollY + dy); }

    // Scroll limits: every point of the content can be brought to the viewport's centre.
    int64_t minScrollX() const;
    int64_t maxScrollX() const;
    int64_t minScrollY() const;
    int64_t maxScrollY() const;

    // The largest num that shows `sheetExtent` units within `pixels`, within the limits.
    static int32_t numToFit(int64_t sheetExtent, int64_t pixels);

private:
    SPointF centre() const { return {m_viewW / 2.0, m_viewH / 2.0}; }
    void clampScroll();

    int32_t m_viewW = 1;
    int32_t m_viewH = 1;
    SSize m_sheet{1500, 1000};
    int32_t m_num = kDen;
    int64_t m_scrollX = 0;
    int64_t m_scrollY = 0;
};
