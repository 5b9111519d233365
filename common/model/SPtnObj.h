#pragma once

#include "model/SPoint.h"
#include "model/SRect.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

class STagReader;
class STagWriter;
struct STagField;

// The kind of a pattern object, as returned by `id`.
enum class SPtnObjId : int32_t { Base = 0, Line = 1, Circle = 2, Polygon = 3, Arc = 4, Text = 5 };

// One vector object of a component's pattern. Coordinates are drawing units in the pattern's
// system (origin at the top-left corner of the body, y downwards).
class SPtnObj {
public:
    static constexpr int32_t kDefaultWidth = 1;
    static constexpr int32_t kNotFilled = -1;

    SPtnObj() = default;
    // A copy is never part of the original's shared storage.
    SPtnObj(const SPtnObj& other)
        : m_style(other.m_style), m_width(other.m_width), m_fill(other.m_fill) {}
    SPtnObj& operator=(const SPtnObj& other);
    virtual ~SPtnObj() = default;

    // An object that lives in storage shared with others (see relocate) is only destroyed; the
    // owner of that storage frees it.
    void operator delete(SPtnObj* object, std::destroying_delete_t);

    virtual SPtnObjId id() const { return SPtnObjId::Base; }
    virtual std::unique_ptr<SPtnObj> duplicate() const = 0;
    // Bytes the object needs in shared storage (aligned for a pointer).
    virtual size_t storageSize() const = 0;
    // Moves the object into `place` (storageSize() bytes, aligned for a pointer); the moved-to
    // object is marked as living in shared storage. This object is left empty.
    virtual SPtnObj* relocate(void* place) = 0;
    // Worth keeping. Not const: a polygon drops its repeated nodes first.
    virtual bool isValid() { return true; }
    virtual void move(int32_t dx, int32_t dy) = 0;
    virtual int32_t nodeCount() const = 0;
    virtual SPoint node(int32_t index) const = 0;
    virtual void setNode(int32_t index, int32_t x, int32_t y) = 0;
    // Mirror left-right in place.
    virtual void mirror() = 0;
    // Mirror about the vertical line at x.
    virtual void mirrorAt(int32_t x) = 0;
    // Turn a quarter (clockwise on the screen) in place.
    virtual void rotate() = 0;
    virtual void rotateAt(SPoint center) = 0;
    virtual bool hitTest(SPoint /*p*/) const { return false; }
    virtual bool isInside(const SRect& /*r*/) const { return false; }
    virtual SRect boundingRect() const = 0;
    // Called just after the opening word was read.
    virtual bool read(STagReader& reader) = 0;
    // With an origin every coordinate is written relative to it.
    virtual bool write(STagWriter& writer, std::optional<SPoint> origin = std::nullopt) const = 0;

    int32_t style() const { return m_style; }
    void setStyle(int32_t style) { m_style = style; }
    int32_t width() const { return m_width; }
    void setWidth(int32_t width) { m_width = width; }
    int32_t fill() const { return m_fill; }
    void setFill(int32_t fill) { m_fill = fill; }
    bool isFilled() const { return m_fill >= 0; }

    // Geometry shared by the object kinds; values may lie anywhere in the 32-bit range.
    // A new object of the kind a section opens ("+L", "+C", "+PG", "+AR", "+TX"); null for others.
    static std::unique_ptr<SPtnObj> createForSection(std::string_view opening);

    static SPoint rotatePoint(SPoint p, SPoint center);
    static SPoint mirrorPoint(SPoint p, int32_t x);
    static bool segmentHit(SPoint a, SPoint b, SPoint p);
    // Angles are sixteenths of a degree; normalised ones lie in 0 to 5759.
    static int32_t normaliseAngle(int32_t angle);
    static SPoint arcPoint(SPoint center, int32_t radius, int32_t angle);
    static int32_t angleOf(SPoint center, SPoint q);
    // Saturating conversion; NaN gives 0.
    static int32_t clampToInt32(double v);
    static int32_t clampToInt32(int64_t v);

protected:
    enum class SectionStep { Field, Closed, End, Failed };
    // Next field of a section with a non-empty key and value; nested sections are skipped and
    // words that are no field ignored. `closing` is the section's own closing word.
    static SectionStep nextField(STagReader& reader, std::string& word, STagField& field,
                                 std::string_view closing);
    // The fields of one section in the order nextField gives them. A section on the rest of one
    // line is taken whole, in one pass over its bytes; any other is read word by word.
    class SectionFields {
    public:
        SectionFields(STagReader& reader, std::string_view closing);
        SectionStep next(STagField& field);
        // Gives up on the section: what is left of it, its closing word included, is passed.
        void skipRest();

    private:
        STagReader& m_reader;
        std::string_view m_closing;
        std::optional<std::span<const std::string_view>> m_words;
        size_t m_next = 0;
        std::string m_word;
    };
    // Line and ellipse: reading defaults, "W", "S", optionally "F", then "X"/"Y" of the first
    // point up to its "Y" and of the second point after it.
    bool readTwoPoints(STagReader& reader, std::string_view closing, bool withFill, SPoint& first,
                       SPoint& second);
    static SPoint relative(SPoint p, const std::optional<SPoint>& origin);
    static bool writePoint(STagWriter& writer, SPoint p, const std::optional<SPoint>& origin);
    // Writes "W", "S" and, when `withFill`, "F".
    bool writeStyle(STagWriter& writer, bool withFill) const;

    // For relocate: marks a newly moved-to object.
    template <typename T> static SPtnObj* relocateAs(T&& object, void* place) {
        SPtnObj* moved = new (place) std::remove_reference_t<T>(std::move(object));
        moved->m_inSharedStorage = true;
        return moved;
    }

    int32_t m_style = 0;
    int32_t m_width = kDefaultWidth;
    int32_t m_fill = kNotFilled;

private:
    bool m_inSharedStorage = false;
};
