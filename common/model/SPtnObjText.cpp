#include "SPtnObjText.h"
#include "STagReader.h"
#include "STagWriter.h"

// Placeholder bodies; geometry and reading follow.
std::unique_ptr<SPtnObj> SPtnObjText::duplicate() const {
    return std::make_unique<SPtnObjText>(*this);
}
void SPtnObjText::move(int32_t /*dx*/, int32_t /*dy*/) {}
void SPtnObjText::setNode(int32_t /*index*/, int32_t /*x*/, int32_t /*y*/) {}
void SPtnObjText::mirror() {}
void SPtnObjText::mirrorAt(int32_t /*x*/) {}
void SPtnObjText::rotate() {}
void SPtnObjText::rotateAt(SPoint /*center*/) {}
bool SPtnObjText::hitTest(SPoint /*p*/) const {
    return false;
}
bool SPtnObjText::isInside(const SRect& /*r*/) const {
    return false;
}
SRect SPtnObjText::boundingRect() const {
    return {};
}
bool SPtnObjText::read(STagReader& /*reader*/) {
    return false;
}
bool SPtnObjText::write(STagWriter& /*writer*/, std::optional<SPoint> /*origin*/) const {
    return false;
}
void SPtnObjText::setText(std::string text) {
    m_text = std::move(text);
    m_extentKnown = false;
}
void SPtnObjText::setFontName(std::string name) {
    m_fontName = std::move(name);
    m_extentKnown = false;
}
void SPtnObjText::setFontSize(int32_t size) {
    m_fontSize = size < kMinFontSize ? kMinFontSize : size > kMaxFontSize ? kMaxFontSize : size;
    m_extentKnown = false;
}
void SPtnObjText::setBold(bool on) {
    m_bold = on;
    m_extentKnown = false;
}
void SPtnObjText::setItalic(bool on) {
    m_italic = on;
    m_extentKnown = false;
}
void SPtnObjText::setUnderline(bool on) {
    m_underline = on;
    m_extentKnown = false;
}
void SPtnObjText::setStrikeOut(bool on) {
    m_strikeOut = on;
    m_extentKnown = false;
}
void SPtnObjText::setExtent(int32_t width, int32_t height) {
    m_extent = {width, height};
    m_extentKnown = true;
}
void SPtnObjText::applyField(const STagField&, bool&, bool&, bool&) {}
