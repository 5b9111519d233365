#pragma once

#include "model/SPin.h"
#include "model/SPoint.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class SPtn;
class STagReader;
class STagWriter;

// Where the outer end of a pin lies for a placed component, and the edge it ends up on.
struct SPinEnd {
    SPoint point;
    int32_t side = SPin::kSideLeft;

    friend bool operator==(const SPinEnd&, const SPinEnd&) = default;
};

// One component as the library stores it: a body of whole grid steps, its pins, an optional
// pattern, the block count, the reference prefix and four descriptive texts. The name is not
// kept here: names belong to the library entries, so that aliases share one definition.
class SCompInfo {
public:
    // Limits the reader accepts (the property dialog allows 1 to 255).
    static constexpr int32_t kMaxBlocks = 256;
    static constexpr int32_t kGrid = 10; // drawing units per grid step

    SCompInfo();
    ~SCompInfo();
    SCompInfo(const SCompInfo& other); // deep
    SCompInfo& operator=(const SCompInfo& other);
    SCompInfo(SCompInfo&& other) noexcept;
    SCompInfo& operator=(SCompInfo&& other) noexcept;

    // Reads a "+COMP" section after its opening word. `name` and `patternName` receive the "N"
    // and "P" fields (empty when missing). The pattern is not attached here: the library looks
    // it up by `patternName`. On failure the definition has no pins, pattern or prefix.
    bool read(STagReader& reader, std::string& name, std::string& patternName);
    // Writes the pattern section (named `name`) when there is a pattern, then the "+COMP"
    // section. False with nothing written for an empty name, and false on a write error.
    bool write(STagWriter& writer, std::string_view name) const;

    SSize size() const { return m_size; }
    // Sets the size; when a pattern exists or `createPattern` is set, sizes its bit pattern to
    // (width × 10 + 1, height × 10 + 1), or removes it with `noBitPattern`.
    void setSize(SSize size, bool createPattern, bool noBitPattern);
    // Off drops the pattern; on creates an empty one, sized as setSize does, when there is none.
    void usePattern(bool on, bool noBitPattern);
    // (width × 10, height × 10), swapped when bit 0 of the direction is set.
    SSize drawingSize(int32_t direction) const;

    int32_t blockCount() const { return m_blockCount; }
    // Stores n and resizes every pin's number list to n.
    void setBlockCount(int32_t n);

    const std::optional<std::string>& referencePrefix() const;
    void setReferencePrefix(std::optional<std::string> prefix);

    // A pattern read once and named by several definitions is shared until one of them changes
    // it: the changing accessor gives this definition its own copy first. A pointer it returned
    // holds until the pattern is replaced.
    SPtn* pattern();
    const SPtn* pattern() const { return m_pattern.get(); }
    void setPattern(std::unique_ptr<SPtn> pattern);
    void sharePattern(std::shared_ptr<SPtn> pattern);

    const std::string& note() const;
    void setNote(std::string text) { ownTexts().note = std::move(text); }
    const std::string& manufacturer() const;
    void setManufacturer(std::string text) { ownTexts().manufacturer = std::move(text); }
    const std::string& manufacturerPartNumber() const;
    void setManufacturerPartNumber(std::string text) { ownTexts().partNumber = std::move(text); }
    const std::string& package() const;
    void setPackage(std::string text) { ownTexts().package = std::move(text); }

    // Pins, in the order read or added. Pointers into the list stay valid until it changes.
    int32_t pinCount() const { return static_cast<int32_t>(m_pins.size()); }
    const std::vector<SPin>& pins() const { return m_pins; }
    // Replaces the whole list (the edit document stores its copies back this way). Added pins
    // get one number per block of this component.
    void setPins(std::vector<SPin> pins);
    // Appends a copy; a null pin is ignored.
    void addPin(const SPin* pin);
    void addPin(SPin pin);
    // Null outside 0..pinCount()-1.
    SPin* pinAt(int32_t index);
    const SPin* pinAt(int32_t index) const;
    // The first pin with exactly this side and offset, or null.
    SPin* findPinAt(int32_t side, int32_t offset);
    const SPin* findPinAt(int32_t side, int32_t offset) const;
    // Removes the pin findPinAt gives (if any); with `closeGap` every pin on that side beyond
    // the offset moves one step back, whether or not a pin was removed.
    void removePinAt(int32_t side, int32_t offset, bool closeGap);
    // Every pin on that side at or beyond the offset moves one step on.
    void openPinGap(int32_t side, int32_t offset);
    // The outer end of pin `index` relative to the origin (lower-right corner of the body) of a
    // component placed with `direction` (bit 0 turn, bit 1 half turn, bit 2 mirror); absent for
    // an index outside the list.
    std::optional<SPinEnd> pinEnd(int32_t index, int32_t direction) const;

private:
    struct Texts {
        std::optional<std::string> prefix;
        std::string note;
        std::string manufacturer;
        std::string partNumber;
        std::string package;
    };

    Texts& ownTexts();
    void sizeBitPattern(bool noBitPattern);
    bool writeSection(STagWriter& writer, std::string_view name) const;

    SSize m_size;
    int32_t m_blockCount = 1;
    // Without texts of its own the definition has no prefix, or "U" with `m_prefixU`, and empty
    // texts: most definitions of a large library then cost no more than their record.
    bool m_prefixU = false;
    std::unique_ptr<Texts> m_texts;
    std::shared_ptr<SPtn> m_pattern;
    std::vector<SPin> m_pins;
};
