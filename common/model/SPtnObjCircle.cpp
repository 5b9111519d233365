#include "SPtnObjCircle.h"
#include "STagReader.h"
#include "STagWriter.h"

// Placeholder bodies; geometry and reading follow.
std::unique_ptr<SPtnObj> SPtnObjCircle::duplicate() const {
    return std::make_unique<SPtnObjCircle>(*this);
}
void SPtnObjCircle::move(int32_t /*dx*/, int32_t /*dy*/) {}
SPoint SPtnObjCircle::node(int32_t /*index*/) const {
    return {};
}
void SPtnObjCircle::setNode(int32_t /*index*/, int32_t /*x*/, int32_t /*y*/) {}
void SPtnObjCircle::mirrorAt(int32_t /*x*/) {}
void SPtnObjCircle::rotate() {}
void SPtnObjCircle::rotateAt(SPoint /*center*/) {}
bool SPtnObjCircle::hitTest(SPoint /*p*/) const {
    return false;
}
bool SPtnObjCircle::isInside(const SRect& /*r*/) const {
    return false;
}
SRect SPtnObjCircle::boundingRect() const {
    return {};
}
bool SPtnObjCircle::read(STagReader& /*reader*/) {
    return false;
}
bool SPtnObjCircle::write(STagWriter& /*writer*/, std::optional<SPoint> /*origin*/) const {
    return false;
}
