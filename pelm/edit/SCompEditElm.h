#pragma once

#include "model/SPin.h"
#include "model/SPtnObj.h"

#include <cstdint>
#include <memory>

// One entry of the edit document's lists: a pin or a pattern object, stamped with the operation
// that placed it and the one that took it out (-1 while live). The element owns its object;
// only the document creates, moves and destroys elements.
class SCompEditElm {
public:
    enum class Kind : int32_t { None = -1, Pin = 0, PatternObject = 1 };

    SCompEditElm() = default;
    SCompEditElm(int32_t placeOp, std::unique_ptr<SPin> pin);
    SCompEditElm(int32_t placeOp, std::unique_ptr<SPtnObj> object);
    SCompEditElm(SCompEditElm&&) noexcept = default;
    SCompEditElm& operator=(SCompEditElm&&) noexcept = default;
    SCompEditElm(const SCompEditElm&) = delete;
    SCompEditElm& operator=(const SCompEditElm&) = delete;
    ~SCompEditElm() = default;

    int32_t placeOp() const { return m_placeOp; }
    int32_t deleteOp() const { return m_deleteOp; }
    bool isLive() const { return m_deleteOp == -1; }
    Kind kind() const { return m_kind; }
    bool isPin() const { return m_kind == Kind::Pin; }
    bool isPatternObject() const { return m_kind == Kind::PatternObject; }
    // The committed element a selection copy was made from; null for new objects.
    const SCompEditElm* source() const { return m_source; }

    // Null when the element holds the other kind.
    SPin* pin() { return m_pin.get(); }
    const SPin* pin() const { return m_pin.get(); }
    SPtnObj* patternObject() { return m_object.get(); }
    const SPtnObj* patternObject() const { return m_object.get(); }

    // A deep copy of the object in a fresh live element placed under `placeOp`, its source
    // being this element.
    SCompEditElm copyFor(int32_t placeOp);

private:
    friend class SCompEditDoc;
    friend class SEditHistory;

    int32_t m_placeOp = -1;
    int32_t m_deleteOp = -1;
    SCompEditElm* m_source = nullptr;
    Kind m_kind = Kind::None;
    std::unique_ptr<SPin> m_pin;
    std::unique_ptr<SPtnObj> m_object;
};
