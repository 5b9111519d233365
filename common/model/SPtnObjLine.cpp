#include "SPtnObjLine.h"
#include "STagReader.h"
#include "STagWriter.h"

// Placeholder bodies; geometry and reading follow.
std::unique_ptr<SPtnObj> SPtnObjLine::duplicate() const {
    return std::make_unique<SPtnObjLine>(*this);
}
void SPtnObjLine::move(int32_t /*dx*/, int32_t /*dy*/) {}
SPoint SPtnObjLine::node(int32_t /*index*/) const {
    return {};
}
void SPtnObjLine::setNode(int32_t /*index*/, int32_t /*x*/, int32_t /*y*/) {}
void SPtnObjLine::mirror() {}
void SPtnObjLine::mirrorAt(int32_t /*x*/) {}
void SPtnObjLine::rotate() {}
void SPtnObjLine::rotateAt(SPoint /*center*/) {}
bool SPtnObjLine::hitTest(SPoint /*p*/) const {
    return false;
}
bool SPtnObjLine::isInside(const SRect& /*r*/) const {
    return false;
}
SRect SPtnObjLine::boundingRect() const {
    return {};
}
bool SPtnObjLine::read(STagReader& /*reader*/) {
    return false;
}
bool SPtnObjLine::write(STagWriter& /*writer*/, std::optional<SPoint> /*origin*/) const {
    return false;
}
