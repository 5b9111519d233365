#include "geom/SViewGeometry.h"

#include <algorithm>

void SViewGeometry::setZoomStep(int32_t step) {
    m_zoomStep = std::clamp(step, 0, kMaxZoomStep);
}

void SViewGeometry::setMargin(int32_t margin) {
    m_margin = std::clamp(margin, kMinMargin, kMaxMargin);
}

void SViewGeometry::setContent(std::optional<SSize> gridSize) {
    m_content = gridSize;
    // Sizes come from files; 64-bit arithmetic keeps a hostile size from wrapping.
    const auto span = [this](int32_t steps) {
        const int64_t units = int64_t{steps} * 10 + 2 * int64_t{m_margin};
        return static_cast<int32_t>(std::clamp<int64_t>(units * factor(), 0, INT32_MAX / 4));
    };
    m_extent =
        gridSize ? SSize(span(gridSize->width), span(gridSize->height)) : SSize(span(1), span(1));
    resize(m_client);
}

SViewGeometry::AxisRef SViewGeometry::axis(Axis a) {
    if (a == Axis::X)
        return {m_offset.x, m_position.x, m_extent.width, m_client.width};
    return {m_offset.y, m_position.y, m_extent.height, m_client.height};
}

// After the position changed: the view follows the position, or centres a content that fits.
void SViewGeometry::follow(AxisRef a) const {
    if (a.client < a.extent) {
        a.offset = a.position - pad();
    } else {
        a.position = 0;
        a.offset = -(a.client - a.extent) / 2 - pad();
    }
}

void SViewGeometry::resize(SSize client) {
    m_client = SSize(std::max(client.width, 0), std::max(client.height, 0));
    for (const Axis which : {Axis::X, Axis::Y}) {
        AxisRef a = axis(which);
        // Held at 0 too: a content that was centred keeps no negative position once it no
        // longer fits, so the scroll bar and the drawing stay in step.
        a.position = std::clamp(pad() + a.offset, 0, std::max(a.extent - a.client, 0));
        follow(a);
    }
}

int32_t SViewGeometry::position(Axis which) const {
    return which == Axis::X ? m_position.x : m_position.y;
}

int32_t SViewGeometry::scrollMax(Axis which) const {
    const int32_t room =
        which == Axis::X ? m_extent.width - m_client.width : m_extent.height - m_client.height;
    return std::max(room, 0);
}

void SViewGeometry::scroll(Axis which, ScrollCode code, int32_t thumb) {
    AxisRef a = axis(which);
    int32_t step = 0;
    switch (code) {
    case ScrollCode::LineUp:
        step = -kLineStep;
        break;
    case ScrollCode::LineDown:
        step = kLineStep;
        break;
    case ScrollCode::PageUp:
        step = -kPageStep;
        break;
    case ScrollCode::PageDown:
        step = kPageStep;
        break;
    case ScrollCode::Thumb:
        break;
    }
    if (code == ScrollCode::Thumb) {
        a.position = thumb;
    } else {
        a.offset += step;
        a.position = std::clamp(pad() + a.offset, 0, scrollMax(which));
    }
    follow(a);
}

void SViewGeometry::scrollToPoint(SPoint device, SPoint model) {
    const auto place = [this](Axis which, int32_t d, int32_t m) {
        AxisRef a = axis(which);
        const int64_t wanted = int64_t{m} * factor() - d + pad();
        a.position = static_cast<int32_t>(std::clamp<int64_t>(wanted, 0, scrollMax(which)));
        follow(a);
    };
    place(Axis::X, device.x, model.x);
    place(Axis::Y, device.y, model.y);
}

int32_t SViewGeometry::wheelSteps(int32_t& remainder, int32_t delta) {
    remainder =
        static_cast<int32_t>(std::clamp<int64_t>(int64_t{remainder} + delta, -1000000, 1000000));
    int32_t steps = 0;
    while (remainder >= kWheelStep) {
        remainder -= kWheelStep;
        ++steps;
    }
    while (remainder < -(kWheelStep - 1)) {
        remainder += kWheelStep;
        --steps;
    }
    return steps;
}

SPoint SViewGeometry::toModel(SPoint device) const {
    const int32_t f = factor();
    return {static_cast<int32_t>((int64_t{device.x} + m_offset.x) / f),
            static_cast<int32_t>((int64_t{device.y} + m_offset.y) / f)};
}

SPoint SViewGeometry::toDevice(SPoint model) const {
    const int32_t f = factor();
    return {static_cast<int32_t>(int64_t{model.x} * f - m_offset.x),
            static_cast<int32_t>(int64_t{model.y} * f - m_offset.y)};
}

SRect SViewGeometry::visibleModelArea() const {
    const int32_t f = factor();
    return {m_offset.x / f, m_offset.y / f, (m_offset.x + m_client.width) / f,
            (m_offset.y + m_client.height) / f};
}
