#include "SPtnObjArc.h"
#include "STagReader.h"
#include "STagWriter.h"

// Placeholder bodies; geometry and reading follow.
std::unique_ptr<SPtnObj> SPtnObjArc::duplicate() const {
    return std::make_unique<SPtnObjArc>(*this);
}
void SPtnObjArc::move(int32_t /*dx*/, int32_t /*dy*/) {}
SPoint SPtnObjArc::node(int32_t /*index*/) const {
    return {};
}
void SPtnObjArc::setNode(int32_t /*index*/, int32_t /*x*/, int32_t /*y*/) {}
void SPtnObjArc::mirror() {}
void SPtnObjArc::mirrorAt(int32_t /*x*/) {}
void SPtnObjArc::rotate() {}
void SPtnObjArc::rotateAt(SPoint /*center*/) {}
bool SPtnObjArc::hitTest(SPoint /*p*/) const {
    return false;
}
bool SPtnObjArc::isInside(const SRect& /*r*/) const {
    return false;
}
SRect SPtnObjArc::boundingRect() const {
    return {};
}
bool SPtnObjArc::read(STagReader& /*reader*/) {
    return false;
}
bool SPtnObjArc::write(STagWriter& /*writer*/, std::optional<SPoint> /*origin*/) const {
    return false;
}
