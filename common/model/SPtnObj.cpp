#include "SPtnObj.h"
#include "STagField.h"
#include "STagReader.h"
#include "STagWriter.h"

SPoint SPtnObj::rotatePoint(SPoint p, SPoint) {
    return p;
}
SPoint SPtnObj::mirrorPoint(SPoint p, int32_t) {
    return p;
}
bool SPtnObj::segmentHit(SPoint, SPoint, SPoint) {
    return false;
}
int32_t SPtnObj::normaliseAngle(int32_t a) {
    return a;
}
SPoint SPtnObj::arcPoint(SPoint c, int32_t, int32_t) {
    return c;
}
int32_t SPtnObj::angleOf(SPoint, SPoint) {
    return 0;
}
int32_t SPtnObj::clampToInt32(double) {
    return 0;
}
int32_t SPtnObj::clampToInt32(int64_t) {
    return 0;
}
SPtnObj::SectionStep SPtnObj::nextField(STagReader&, std::string&, STagField&, std::string_view) {
    return SectionStep::Failed;
}
SPoint SPtnObj::relative(SPoint p, const std::optional<SPoint>&) {
    return p;
}
bool SPtnObj::writeStyle(STagWriter&, bool) const {
    return false;
}
