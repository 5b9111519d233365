#pragma once

#include <cstdint>

class STagReader;
class STagWriter;

// A picture embedded in a schematic. The system keeps and writes the bytes; it never decodes
// pixels.
class SImageData {
public:
    virtual ~SImageData() = default;

    virtual int32_t width() const = 0;
    virtual int32_t height() const = 0;
    virtual int32_t query() const = 0;
    // The reader stands just after the section's opening word.
    virtual bool readSection(STagReader& reader) = 0;
    // Drops the data; always false.
    virtual bool clear() = 0;
    // False, with nothing written, when there is no data.
    virtual bool writeSection(STagWriter& writer) const = 0;
};
