#pragma once

#include "model/SPoint.h"
#include "model/SRect.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class STagReader;
class STagWriter;
class SXKorvDoc;

// Kind codes of the schematic objects, as stored by documents and compared by search.
enum class SXKorvKind : int32_t {
    Junction = 0,
    Entry = 1,
    BusEntry = 2,
    Bus = 3,
    Wire = 4,
    Dash = 5,
    Label = 6,
    Tag = 7,
    Component = 8,
    SheetInfo = 9,
    Comment = 10,
    MarkerLine = 11,
    ImageObj = 12,
};

// Kind bits: one bit per kind, used for the set of kinds held by a selection.
namespace SXKorvKindBit {
constexpr int32_t kComponent = 1;
constexpr int32_t kBus = 2;
constexpr int32_t kWire = 4;
constexpr int32_t kDash = 8;
constexpr int32_t kMarkerLine = 16;
constexpr int32_t kJunction = 32;
constexpr int32_t kBusEntry = 64;
constexpr int32_t kEntry = 128;
constexpr int32_t kTag = 256;
constexpr int32_t kLabel = 512;
constexpr int32_t kComment = 1024;
constexpr int32_t kImageObj = 2048;
constexpr int32_t kSheetInfo = 0;
} // namespace SXKorvKindBit

// Which part of an object is selected (low two bits of the selection part).
namespace SXKorvSelect {
constexpr int32_t kWhole = 0;
constexpr int32_t kP1Only = 1;
constexpr int32_t kP2Only = 2;
} // namespace SXKorvSelect

// One object of a schematic sheet. Each kind reads its own file section (the reader standing
// just after the opening word) and writes it back; offsets are added to every coordinate read
// and subtracted from every coordinate written (clipboard paste and copy).
class SXKorvObj {
public:
    // Required-key bits of "X" and "Y" for the kinds that stand on one point.
    static constexpr uint32_t kPointX = 1;
    static constexpr uint32_t kPointY = 2;

    // Objects are copied only through clone().
    SXKorvObj& operator=(const SXKorvObj&) = delete;

    // Creates an object with its defaults for one of the twelve object section words ("+WIRE",
    // ...); null for any other word, "+SHEETINFO" included.
    static std::unique_ptr<SXKorvObj> createForSection(std::string_view openingWord);

    virtual bool classFlag1() const { return false; }
    virtual ~SXKorvObj() = default;

    virtual bool readSection(STagReader& reader, std::optional<SPoint> offset = std::nullopt,
                             SXKorvDoc* doc = nullptr);
    virtual bool writeSection(STagWriter& writer,
                              std::optional<SPoint> offset = std::nullopt) const;
    virtual SXKorvKind kind() const = 0;
    int32_t kindCode() const { return static_cast<int32_t>(kind()); }
    virtual int32_t kindBit() const = 0;

    virtual void setX1(int32_t x) { m_p1.x = x; }
    virtual void setY1(int32_t y) { m_p1.y = y; }
    virtual void setX2(int32_t x) { m_p2.x = x; }
    virtual void setY2(int32_t y) { m_p2.y = y; }
    virtual void setP1(SPoint p) { m_p1 = p; }
    virtual void setP2(SPoint p) { m_p2 = p; }
    virtual int32_t x2() const { return m_p2.x; }
    virtual int32_t y2() const { return m_p2.y; }
    virtual SPoint p2() const { return m_p2; }
    virtual SPoint p1() const { return m_p1; }
    // which != 0 addresses p2, otherwise p1.
    virtual void setPoint(int32_t which, SPoint p);
    virtual SPoint point(int32_t which) const;

    virtual std::unique_ptr<SXKorvObj> clone() const = 0;

    virtual void moveBy(int32_t dx, int32_t dy);
    virtual void mirror();
    virtual void mirrorAt(int32_t a);
    virtual void rotate();
    virtual void rotateAt(SPoint c);

    // 0 for a miss, otherwise a non-zero hit code.
    virtual int32_t hitTest(SPoint p) const;
    virtual int32_t pointQuery2(SPoint p) const;
    virtual void setSelection(int32_t part) { m_selection = part; }
    virtual void clearSelection() { m_selection = SXKorvSelect::kWhole; }
    // 0 or 3.
    virtual int32_t areaIntersect(const SRect& area) const;
    virtual int32_t areaTest2(const SRect& area) const;
    virtual bool areaContains(const SRect& area) const;

    virtual int32_t connectionPointCount() const { return 0; }
    virtual SPoint connectionPoint(int32_t index) const;
    virtual SRect boundingArea() const { return {-1, -1, -1, -1}; }
    virtual SRect anchorArea() const { return {-1, -1, -1, -1}; }
    virtual bool isValid() const { return true; }

    virtual bool classFlag2() const { return false; }
    virtual bool classFlag3() const { return false; }
    virtual bool classFlag4() const { return false; }

    int32_t placeStamp() const { return m_placeStamp; }
    void setPlaceStamp(int32_t op) { m_placeStamp = op; }
    int32_t deleteStamp() const { return m_deleteStamp; }
    void setDeleteStamp(int32_t op) { m_deleteStamp = op; }
    bool isLive() const { return m_deleteStamp < 0; }
    SXKorvObj* workingCopy() const { return m_workingCopy; }
    void setWorkingCopy(SXKorvObj* obj) { m_workingCopy = obj; }
    int32_t layer() const { return m_layer; }
    // Only 0..7 are layers; other values leave the layer unchanged.
    void setLayer(int32_t layer);
    int32_t selection() const { return m_selection; }

protected:
    SXKorvObj() = default;
    SXKorvObj(SPoint p1, SPoint p2) : m_p1(p1), m_p2(p2) {}
    SXKorvObj(const SXKorvObj&) = default;
    // A copy with the same contents; the working-copy link is not copied.
    template <class T> static std::unique_ptr<SXKorvObj> cloneOf(const T& obj) {
        auto copy = std::make_unique<T>(obj);
        copy->m_workingCopy = nullptr;
        return copy;
    }

    // Flags for the common read loop.
    struct ReadRules {
        std::string_view section; // without "+"/"-", e.g. "JUNCTION"
        uint32_t required = 0;    // bits returned by readField that must all be seen
        bool emptyValues = false; // whether "KEY:" (empty value) is handed to readField
    };

    // The common read loop: fields to readField, "+" words to readNested (skipped when it
    // declines), up to the closing word.
    bool readCommon(STagReader& reader, std::optional<SPoint> offset, const ReadRules& rules);
    // Returns the required-key bits this field satisfies (0 for none).
    virtual uint32_t readField(std::string_view key, std::string_view value,
                               std::optional<SPoint> offset);
    // A nested "+" section: true when handled (consumed through its closing word), with `ok`
    // telling whether that succeeded; false to have it skipped.
    virtual bool readNested(std::string_view word, STagReader& reader, std::optional<SPoint> offset,
                            bool& ok);

    // Coordinate helpers for readers and writers.
    static int32_t offsetX(int32_t v, std::optional<SPoint> offset) {
        return offset ? addWrap(v, offset->x) : v;
    }
    static int32_t offsetY(int32_t v, std::optional<SPoint> offset) {
        return offset ? addWrap(v, offset->y) : v;
    }
    static int32_t unoffsetX(int32_t v, std::optional<SPoint> offset) {
        return offset ? subWrap(v, offset->x) : v;
    }
    static int32_t unoffsetY(int32_t v, std::optional<SPoint> offset) {
        return offset ? subWrap(v, offset->y) : v;
    }
    // Reads "L" into the layer; true when the key was "L".
    bool readLayerField(std::string_view key, std::string_view value);

    // The kinds that stand on one point (junction, label, comment): "X" and "Y" place p1, and
    // hits and areas concern p1 alone. readPointField returns kPointX or kPointY for those
    // keys, else 0.
    uint32_t readPointField(std::string_view key, std::string_view value,
                            std::optional<SPoint> offset);
    int32_t pointHitTest(SPoint p) const;
    int32_t pointAreaIntersect(const SRect& area) const;
    bool pointAreaContains(const SRect& area) const;

    int32_t m_placeStamp = 0;
    int32_t m_deleteStamp = -1;
    SXKorvObj* m_workingCopy = nullptr;
    int32_t m_layer = 0;
    SPoint m_p1{-1, -1};
    SPoint m_p2{0, 0};
    int32_t m_selection = SXKorvSelect::kWhole;
};

// Rectangle of two points, normalised.
inline SRect rectOfPoints(SPoint a, SPoint b) {
    return SRect(a, b).normalized();
}
