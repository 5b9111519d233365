#include "model/SPtnObj.h"
#include "model/SPtnObjArc.h"
#include "model/SPtnObjCircle.h"
#include "model/SPtnObjLine.h"
#include "model/SPtnObjPolygon.h"
#include "model/SPtnObjText.h"

#include "tagtext/STagField.h"
#include "tagtext/STagReader.h"
#include "tagtext/STagWriter.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace {
constexpr int32_t kFullCircle = 5760;
constexpr double kUnitsPerRadian = 2880.0 / std::numbers::pi;
} // namespace

SPoint SPtnObj::rotatePoint(SPoint p, SPoint center) {
    return {addWrap(center.x, subWrap(center.y, p.y)), addWrap(center.y, subWrap(p.x, center.x))};
}

SPoint SPtnObj::mirrorPoint(SPoint p, int32_t x) {
    return {subWrap(mulWrap(2, x), p.x), p.y};
}

bool SPtnObj::segmentHit(SPoint a, SPoint b, SPoint p) {
    const int64_t px = p.x;
    const int64_t py = p.y;
    if (std::max(a.x, b.x) < px - 1 || std::max(a.y, b.y) < py - 1 || px + 1 < std::min(a.x, b.x) ||
        py + 1 < std::min(a.y, b.y))
        return false;
    if (a.x == b.x)
        return true;
    const double m = (double(b.y) - a.y) / (double(b.x) - a.x);
    const double c = a.y - m * a.x;
    const double u = m * (double(px) - 1) + c;
    const double v = m * (double(px) + 1) + c;
    const double top = double(py) - 1;
    const double bottom = double(py) + 1;
    if (bottom < u && bottom < v)
        return false;
    return !(u < top && v < top);
}

int32_t SPtnObj::normaliseAngle(int32_t angle) {
    const int32_t r = angle % kFullCircle;
    return r < 0 ? r + kFullCircle : r;
}

SPoint SPtnObj::arcPoint(SPoint center, int32_t radius, int32_t angle) {
    const double a = angle / kUnitsPerRadian;
    return {clampToInt32(std::trunc(center.x + radius * std::cos(a))),
            clampToInt32(std::trunc(center.y - radius * std::sin(a)))};
}

int32_t SPtnObj::angleOf(SPoint center, SPoint q) {
    const double dx = double(q.x) - center.x;
    const double dy = double(q.y) - center.y;
    const double d = std::sqrt(dx * dx + dy * dy);
    if (d == 0) // the centre itself has no direction
        return 0;
    double alpha = std::acos(std::clamp(dx / d, -1.0, 1.0));
    if (q.y > center.y)
        alpha = 2 * std::numbers::pi - alpha;
    return clampToInt32(std::trunc(alpha * kUnitsPerRadian + 0.5));
}

int32_t SPtnObj::clampToInt32(double v) {
    if (std::isnan(v))
        return 0;
    if (v >= 2147483647.0)
        return std::numeric_limits<int32_t>::max();
    if (v <= -2147483648.0)
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(v);
}

int32_t SPtnObj::clampToInt32(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

SPtnObj::SectionStep SPtnObj::nextField(STagReader& reader, std::string& word, STagField& field,
                                        std::string_view closing) {
    for (;;) {
        std::string_view view;
        if (reader.readWordView(word, view) < 0)
            return SectionStep::End;
        if (view.empty())
            continue;
        if (view[0] == '-')
            return view == closing ? SectionStep::Closed : SectionStep::Failed;
        if (view[0] == '+') {
            if (reader.skipTo(STagReader::closingWordOf(view)) < 0)
                return SectionStep::Failed;
            continue;
        }
        if (STagField::split(view, field) && !field.value.empty())
            return SectionStep::Field;
    }
}

SPtnObj::SectionFields::SectionFields(STagReader& reader, std::string_view closing)
    : m_reader(reader), m_closing(closing), m_words(reader.takeLineSection(closing)) {}

SPtnObj::SectionStep SPtnObj::SectionFields::next(STagField& field) {
    if (!m_words)
        return nextField(m_reader, m_word, field, m_closing);
    while (m_next < m_words->size()) {
        if (STagField::split((*m_words)[m_next++], field) && !field.value.empty())
            return SectionStep::Field;
    }
    return SectionStep::Closed;
}

void SPtnObj::SectionFields::skipRest() {
    if (m_words)
        m_next = m_words->size(); // the section was taken whole
    else
        m_reader.skipTo(m_closing);
}

bool SPtnObj::readTwoPoints(STagReader& reader, std::string_view closing, bool withFill,
                            SPoint& first, SPoint& second) {
    m_width = kDefaultWidth;
    m_style = 0;
    if (withFill)
        m_fill = kNotFilled;
    first = {};
    second = {};
    bool onSecond = false;
    SectionFields fields(reader, closing);
    STagField field;
    for (;;) {
        switch (fields.next(field)) {
        case SectionStep::End:
        case SectionStep::Closed:
            return true;
        case SectionStep::Failed:
            return false;
        case SectionStep::Field:
            break;
        }
        const int32_t v = STagField::toInt(field.value);
        if (field.key == "W") {
            m_width = v;
        } else if (field.key == "S") {
            m_style = v;
        } else if (field.key == "F" && withFill) {
            m_fill = v;
        } else if (field.key == "X") {
            (onSecond ? second : first).x = v;
        } else if (field.key == "Y") {
            (onSecond ? second : first).y = v;
            onSecond = true;
        }
    }
}

SPoint SPtnObj::relative(SPoint p, const std::optional<SPoint>& origin) {
    return origin ? p - *origin : p;
}

bool SPtnObj::writeStyle(STagWriter& writer, bool withFill) const {
    int rc = writer.writeInt("W", m_width);
    rc |= writer.writeInt("S", m_style);
    if (withFill)
        rc |= writer.writeInt("F", m_fill);
    return rc == 0;
}

bool SPtnObj::writePoint(STagWriter& writer, SPoint p, const std::optional<SPoint>& origin) {
    const SPoint q = relative(p, origin);
    const bool ok = writer.writeInt("X", q.x) == 0;
    return writer.writeInt("Y", q.y) == 0 && ok;
}

SPtnObj& SPtnObj::operator=(const SPtnObj& other) {
    m_style = other.m_style;
    m_width = other.m_width;
    m_fill = other.m_fill;
    return *this;
}

void SPtnObj::operator delete(SPtnObj* object, std::destroying_delete_t) {
    const bool shared = object->m_inSharedStorage;
    object->~SPtnObj();
    if (!shared)
        ::operator delete(object);
}

std::unique_ptr<SPtnObj> SPtnObj::createForSection(std::string_view opening) {
    if (opening == "+L")
        return std::make_unique<SPtnObjLine>();
    if (opening == "+C")
        return std::make_unique<SPtnObjCircle>();
    if (opening == "+PG")
        return std::make_unique<SPtnObjPolygon>();
    if (opening == "+AR")
        return std::make_unique<SPtnObjArc>();
    if (opening == "+TX")
        return std::make_unique<SPtnObjText>();
    return nullptr;
}
