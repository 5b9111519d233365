#pragma once

#include "schematic/SXKorvLine.h"

#include <vector>

// A drawn line, straight or a cubic curve, with line style, width and end marks.
class SXKorvDash : public SXKorvLine {
public:
    static constexpr std::string_view kSection = "DASH";
    static constexpr int32_t kCurvePoints = 33;

    enum class LineStyle : int32_t { Normal = 0, Dash = 1, Dot = 2, DashDot = 3 };
    enum class EndMark : int32_t { None = 0, Arrow = 1, Circle = 2 };

    SXKorvDash() = default;

    bool classFlag1() const override { return true; }
    bool classFlag2() const override { return true; }
    SXKorvKind kind() const override { return SXKorvKind::Dash; }
    int32_t kindBit() const override { return SXKorvKindBit::kDash; }
    bool readSection(STagReader& reader, std::optional<SPoint> offset = std::nullopt,
                     SXKorvDoc* doc = nullptr) override;
    bool writeSection(STagWriter& writer,
                      std::optional<SPoint> offset = std::nullopt) const override;
    std::unique_ptr<SXKorvObj> clone() const override;
    bool isValid() const override;

    void setX1(int32_t x) override;
    void setY1(int32_t y) override;
    void setX2(int32_t x) override;
    void setY2(int32_t y) override;
    void setP1(SPoint p) override;
    void setP2(SPoint p) override;
    void setPoint(int32_t which, SPoint p) override;
    void moveBy(int32_t dx, int32_t dy) override;
    void mirrorAt(int32_t a) override;
    void rotateAt(SPoint c) override;
    int32_t hitTest(SPoint p) const override;
    int32_t areaIntersect(const SRect& area) const override;
    bool areaContains(const SRect& area) const override;
    SRect boundingArea() const override;

    bool isCurved() const { return m_curved; }
    void setCurved(bool curved);
    SPoint control1() const { return m_control1; }
    SPoint control2() const { return m_control2; }
    void setControl1(SPoint p);
    void setControl2(SPoint p);
    LineStyle lineStyle() const { return m_lineStyle; }
    void setLineStyle(LineStyle style) { m_lineStyle = style; }
    int32_t width() const { return m_width; }
    void setWidth(int32_t width);
    EndMark startMark() const { return m_startMark; }
    EndMark endMark() const { return m_endMark; }
    void setStartMark(EndMark mark) { m_startMark = mark; }
    void setEndMark(EndMark mark) { m_endMark = mark; }
    int32_t endMarkSize() const { return m_endMarkSize; }
    void setEndMarkSize(int32_t size);

    // The 33 points approximating the curve (p1, 31 interior points, p2); only for a curved
    // dash, recomputed after any change.
    const std::vector<SPoint>& curvePoints() const;

protected:
    uint32_t readField(std::string_view key, std::string_view value,
                       std::optional<SPoint> offset) override;

private:
    void invalidateCurve();

    bool m_curved = false;
    SPoint m_control1{0, 0};
    SPoint m_control2{0, 0};
    LineStyle m_lineStyle = LineStyle::Dash;
    int32_t m_width = 1;
    EndMark m_startMark = EndMark::None;
    EndMark m_endMark = EndMark::None;
    int32_t m_endMarkSize = 8;
    mutable std::vector<SPoint> m_curve; // empty = not computed
    mutable SRect m_curveBounds = SRect::empty();
    uint32_t m_controlKeysSeen = 0; // while reading
};
