#include "SPtnObjPolygon.h"
#include "STagReader.h"
#include "STagWriter.h"

// Placeholder bodies; geometry and reading follow.
std::unique_ptr<SPtnObj> SPtnObjPolygon::duplicate() const {
    return std::make_unique<SPtnObjPolygon>(*this);
}
bool SPtnObjPolygon::isValid() {
    return false;
}
void SPtnObjPolygon::move(int32_t /*dx*/, int32_t /*dy*/) {}
SPoint SPtnObjPolygon::node(int32_t /*index*/) const {
    return {};
}
void SPtnObjPolygon::setNode(int32_t /*index*/, int32_t /*x*/, int32_t /*y*/) {}
void SPtnObjPolygon::mirror() {}
void SPtnObjPolygon::mirrorAt(int32_t /*x*/) {}
void SPtnObjPolygon::rotate() {}
void SPtnObjPolygon::rotateAt(SPoint /*center*/) {}
bool SPtnObjPolygon::hitTest(SPoint /*p*/) const {
    return false;
}
bool SPtnObjPolygon::isInside(const SRect& /*r*/) const {
    return false;
}
SRect SPtnObjPolygon::boundingRect() const {
    return {};
}
bool SPtnObjPolygon::read(STagReader& /*reader*/) {
    return false;
}
bool SPtnObjPolygon::write(STagWriter& /*writer*/, std::optional<SPoint> /*origin*/) const {
    return false;
}
void SPtnObjPolygon::normalise() {}
void SPtnObjPolygon::insertNode(int32_t, int32_t, int32_t) {}
bool SPtnObjPolygon::isWritable() const {
    return false;
}
std::vector<SPoint> SPtnObjPolygon::normalised(const std::vector<SPoint>& nodes) {
    return nodes;
}
int32_t SPtnObjPolygon::clampIndex(int32_t) const {
    return 0;
}
