#include "edit/SCompEditElm.h"

#include <utility>

SCompEditElm::SCompEditElm(int32_t placeOp, std::unique_ptr<SPin> pin)
    : m_placeOp(placeOp), m_kind(pin ? Kind::Pin : Kind::None), m_pin(std::move(pin)) {}

SCompEditElm::SCompEditElm(int32_t placeOp, std::unique_ptr<SPtnObj> object)
    : m_placeOp(placeOp), m_kind(object ? Kind::PatternObject : Kind::None),
      m_object(std::move(object)) {}

SCompEditElm SCompEditElm::copyFor(int32_t placeOp) {
    SCompEditElm copy = m_pin ? SCompEditElm(placeOp, std::make_unique<SPin>(*m_pin))
                              : SCompEditElm(placeOp, m_object ? m_object->duplicate() : nullptr);
    copy.m_source = this;
    return copy;
}
