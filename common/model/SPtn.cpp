#include "SPtn.h"
#include "STagReader.h"
#include "STagWriter.h"

SPtn::SPtn(const SPtn& other) : m_name(other.m_name), m_size(other.m_size), m_bits(other.m_bits) {
    for (const auto& o : other.m_objects)
        m_objects.push_back(o->duplicate());
}
SPtn& SPtn::operator=(const SPtn& other) {
    if (this != &other) {
        SPtn copy(other);
        *this = std::move(copy);
    }
    return *this;
}
bool SPtn::read(STagReader&) {
    return false;
}
bool SPtn::write(STagWriter&, std::optional<std::string_view>) const {
    return false;
}
void SPtn::setBitPatternSize(SSize, bool) {}
int32_t SPtn::rowStride(int32_t) {
    return 0;
}
bool SPtn::pixel(int32_t, int32_t) const {
    return false;
}
void SPtn::setPixel(int32_t, int32_t, bool) {}
SPtnObj* SPtn::object(int32_t index) const {
    return index >= 0 && index < objectCount() ? m_objects[static_cast<size_t>(index)].get()
                                               : nullptr;
}
void SPtn::appendObject(std::unique_ptr<SPtnObj> object) {
    m_objects.push_back(std::move(object));
}
bool SPtn::readBitPattern(STagReader&) {
    return false;
}
bool SPtn::writeBitPattern(STagWriter&) const {
    return false;
}
bool SPtn::readObject(STagReader&, std::string_view, bool&) {
    return false;
}
