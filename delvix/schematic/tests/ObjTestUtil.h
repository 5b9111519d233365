#pragma once

#include "schematic/SXKorvObj.h"
#include "tagtext/STagReader.h"
#include "tagtext/STagWriter.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace objtest {

// Reads one object from text that starts with its opening word; null when the opening word is
// unknown or the read fails.
inline std::unique_ptr<SXKorvObj> read(std::string_view text,
                                       std::optional<SPoint> offset = std::nullopt) {
    STagReader reader;
    reader.attachString(text);
    std::string opening;
    if (reader.readWord(opening) < 0)
        return nullptr;
    auto obj = SXKorvObj::createForSection(opening);
    if (!obj || !obj->readSection(reader, offset, nullptr))
        return nullptr;
    return obj;
}

template <class T>
std::unique_ptr<T> readAs(std::string_view text, std::optional<SPoint> offset = std::nullopt) {
    auto obj = read(text, offset);
    if (!obj || !dynamic_cast<T*>(obj.get()))
        return nullptr;
    return std::unique_ptr<T>(static_cast<T*>(obj.release()));
}

// Reads with an object of a given type (for kinds the factory does not make).
template <class T> bool readInto(T& obj, std::string_view body) {
    STagReader reader;
    reader.attachString(body);
    return obj.readSection(reader, std::nullopt, nullptr);
}

inline std::string write(const SXKorvObj& obj, std::optional<SPoint> offset = std::nullopt) {
    std::string out;
    STagWriter writer;
    writer.attachString(&out);
    obj.writeSection(writer, offset);
    return out;
}

} // namespace objtest
