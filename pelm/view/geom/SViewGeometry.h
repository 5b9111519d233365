#pragma once

#include "model/SPoint.h"
#include "model/SRect.h"

#include <array>
#include <cstdint>
#include <optional>

// Zoom and scrolling of the component editor view, in plain arithmetic: four zoom factors, a
// margin around the body, the scrollable extent, the client size and the scroll offset (the
// logical pixel shown at the client's top-left; model (0, 0) is drawn at -offset). Each axis
// keeps the scroll-bar position P + offset, where P = margin × factor.
class SViewGeometry {
public:
    static constexpr std::array<int32_t, 4> kZoomFactors{1, 2, 5, 10};
    static constexpr int32_t kMaxZoomStep = 3;
    static constexpr int32_t kMinMargin = 50;
    static constexpr int32_t kMaxMargin = 200;
    static constexpr int32_t kLineStep = 20;
    static constexpr int32_t kPageStep = 100;
    static constexpr int32_t kWheelStep = 120;

    enum class Axis { X, Y };
    enum class ScrollCode { LineUp, LineDown, PageUp, PageDown, Thumb };

    int32_t zoomStep() const { return m_zoomStep; }
    int32_t factor() const { return kZoomFactors[static_cast<size_t>(m_zoomStep)]; }
    // Held to 0..3; the extent must be recomputed afterwards.
    void setZoomStep(int32_t step);

    int32_t margin() const { return m_margin; }
    // Held to 50..200; the extent must be recomputed afterwards.
    void setMargin(int32_t margin);

    // The body size in grid steps, or none; then recomputes the extent and re-applies the client
    // size as a size message would.
    void setContent(std::optional<SSize> gridSize);
    SSize extent() const { return m_extent; }

    // A size message: remembers the client size and places each axis (keeps the position,
    // held to the scroll range, or centres a content that fits).
    void resize(SSize client);
    SSize clientSize() const { return m_client; }
    SPoint scrollOffset() const { return m_offset; }
    // The scroll-bar position of an axis and its range 0..scrollMax.
    int32_t position(Axis axis) const;
    int32_t scrollMax(Axis axis) const;

    // A scroll-bar action. Steps are held to the range; the thumb's position is taken as is.
    void scroll(Axis axis, ScrollCode code, int32_t thumb = 0);
    // Makes the model point appear at the device (client) point.
    void scrollToPoint(SPoint device, SPoint model);

    // Adds a wheel delta and returns the whole steps it makes: positive steps zoom in (or scroll
    // up), negative ones zoom out (or scroll down). The remainder waits for the next delta.
    int32_t wheelZoomSteps(int32_t delta) { return wheelSteps(m_zoomRemainder, delta); }
    int32_t wheelScrollSteps(int32_t delta) { return wheelSteps(m_scrollRemainder, delta); }

    // Device (client) point to model units: through the scroll offset, divided by the factor.
    SPoint toModel(SPoint device) const;
    // Model point to device (client) pixels.
    SPoint toDevice(SPoint model) const;
    // The visible model area, right and bottom edges excluded.
    SRect visibleModelArea() const;

private:
    struct AxisRef {
        int32_t& offset;
        int32_t& position;
        int32_t extent;
        int32_t client;
    };
    AxisRef axis(Axis a);
    void follow(AxisRef a) const;
    int32_t pad() const { return m_margin * factor(); }
    static int32_t wheelSteps(int32_t& remainder, int32_t delta);

    int32_t m_zoomStep = 0;
    int32_t m_margin = kMinMargin;
    std::optional<SSize> m_content;
    SSize m_extent;
    SSize m_client;
    SPoint m_offset;
    SPoint m_position;
    int32_t m_zoomRemainder = 0;
    int32_t m_scrollRemainder = 0;
};
