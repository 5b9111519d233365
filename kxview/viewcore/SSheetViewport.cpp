#include "viewcore/SSheetViewport.h"

#include <algorithm>
#include <cmath>

void SSheetViewport::setViewportSize(int32_t width, int32_t height) {
    m_viewW = std::max(width, 1);
    m_viewH = std::max(height, 1);
    clampScroll();
}

void SSheetViewport::setSheetSize(SSize size) {
    m_sheet = {std::max(size.width, 1), std::max(size.height, 1)};
    clampScroll();
}

SPointF SSheetViewport::toDevice(SPointF sheet) const {
    return {sheet.x * scale() - static_cast<double>(m_scrollX),
            sheet.y * scale() - static_cast<double>(m_scrollY)};
}

SPointF SSheetViewport::toSheet(SPointF device) const {
    return {(device.x + static_cast<double>(m_scrollX)) / scale(),
            (device.y + static_cast<double>(m_scrollY)) / scale()};
}

SRect SSheetViewport::visibleSheetRect() const {
    const SPointF a = toSheet({0, 0});
    const SPointF b = toSheet({static_cast<double>(m_viewW), static_cast<double>(m_viewH)});
    const auto lo = [](double v) {
        return static_cast<int32_t>(std::clamp(std::floor(v) - 1, -2.0e9, 2.0e9));
    };
    const auto hi = [](double v) {
        return static_cast<int32_t>(std::clamp(std::ceil(v) + 1, -2.0e9, 2.0e9));
    };
    return {lo(a.x), lo(a.y), hi(b.x), hi(b.y)};
}

int32_t SSheetViewport::numToFit(int64_t sheetExtent, int64_t pixels) {
    if (sheetExtent <= 0)
        return kDen;
    const int64_t num = pixels * kDen / sheetExtent;
    return static_cast<int32_t>(std::clamp<int64_t>(num, kMinNum, kMaxNum));
}

void SSheetViewport::fit() {
    const int64_t w = int64_t{m_sheet.width} + 2 * kMargin;
    const int64_t h = int64_t{m_sheet.height} + 2 * kMargin;
    m_num = std::min(numToFit(w, m_viewW), numToFit(h, m_viewH));
    centreOn({m_sheet.width / 2.0, m_sheet.height / 2.0});
}

void SSheetViewport::setNum(int32_t num, SPointF anchor) {
    const SPointF at = toSheet(anchor);
    m_num = std::clamp(num, kMinNum, kMaxNum);
    const SPointF moved = toDevice(at);
    scrollBy(std::llround(moved.x - anchor.x), std::llround(moved.y - anchor.y));
}

void SSheetViewport::zoomSteps(int32_t steps, SPointF anchor) {
    double num = m_num;
    for (int32_t i = 0; i < std::abs(steps); ++i)
        num = steps > 0 ? std::max(num * 1.25, num + 1) : std::min(num / 1.25, num - 1);
    setNum(static_cast<int32_t>(std::clamp(std::round(num), double{kMinNum}, double{kMaxNum})),
           anchor);
}

void SSheetViewport::centreOn(SPointF sheet) {
    const SPointF d = toDevice(sheet);
    scrollBy(std::llround(d.x - m_viewW / 2.0), std::llround(d.y - m_viewH / 2.0));
}

void SSheetViewport::scrollTo(int64_t x, int64_t y) {
    m_scrollX = x;
    m_scrollY = y;
    clampScroll();
}

int64_t SSheetViewport::minScrollX() const {
    return -int64_t{kMargin} * m_num / kDen - m_viewW / 2;
}

int64_t SSheetViewport::maxScrollX() const {
    return (int64_t{m_sheet.width} + kMargin) * m_num / kDen - m_viewW / 2;
}

int64_t SSheetViewport::minScrollY() const {
    return -int64_t{kMargin} * m_num / kDen - m_viewH / 2;
}

int64_t SSheetViewport::maxScrollY() const {
    return (int64_t{m_sheet.height} + kMargin) * m_num / kDen - m_viewH / 2;
}

void SSheetViewport::clampScroll() {
    m_scrollX = std::clamp(m_scrollX, minScrollX(), std::max(minScrollX(), maxScrollX()));
    m_scrollY = std::clamp(m_scrollY, minScrollY(), std::max(minScrollY(), maxScrollY()));
}
