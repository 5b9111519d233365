#pragma once

#include "schematic/SXKorvObj.h"
#include "tagtext/SFileWords.h"

#include <vector>

class SCompInfo;
class SPin;

// A placed component: p1 is the bottom-right corner of the body. It carries its own copy of the
// library part (written as a nested "+KORVX_LIB_V.1.0" block) and the texts shown beside it.
class SXKorvComponent : public SXKorvObj {
public:
    static constexpr std::string_view kSection = "COMPONENT";
    static constexpr std::string_view kLibSection = SFileWords::kLibraryOpen;
    static constexpr std::string_view kLibClosing = SFileWords::kLibraryClose;

    // Hit codes of hitTest.
    static constexpr int32_t kHitBody = 0x10000;
    static constexpr int32_t kHitValueText = 0x20000;
    static constexpr int32_t kHitReferenceText = 0x40000;

    SXKorvComponent();
    SXKorvComponent(const SXKorvComponent& other);
    ~SXKorvComponent() override;

    bool classFlag2() const override { return true; }
    bool classFlag3() const override { return true; }
    bool classFlag4() const override { return true; }
    SXKorvKind kind() const override { return SXKorvKind::Component; }
    int32_t kindBit() const override { return SXKorvKindBit::kComponent; }
    bool readSection(STagReader& reader, std::optional<SPoint> offset = std::nullopt,
                     SXKorvDoc* doc = nullptr) override;
    bool writeSection(STagWriter& writer,
                      std::optional<SPoint> offset = std::nullopt) const override;
    std::unique_ptr<SXKorvObj> clone() const override { return cloneOf(*this); }
    int32_t hitTest(SPoint p) const override;
    int32_t areaIntersect(const SRect& area) const override;
    bool areaContains(const SRect& area) const override;
    int32_t connectionPointCount() const override;
    SPoint connectionPoint(int32_t index) const override;
    SRect boundingArea() const override;
    SRect anchorArea() const override { return bodyArea(); }

    // Value text ("N") and its placement relative to p1.
    const std::string& value() const { return m_value; }
    void setValue(std::string_view text);
    SPoint valueOffset() const { return m_valueOffset; }
    void setValueOffset(SPoint offset) { m_valueOffset = offset; }
    bool isValueHidden() const { return m_valueHidden; }
    void setValueHidden(bool hidden) { m_valueHidden = hidden; }
    bool isValueHorizontal() const { return m_valueHorizontal; }
    void setValueHorizontal(bool horizontal);

    // Reference text ("R") and its placement relative to p1.
    const std::string& reference() const { return m_reference; }
    void setReference(std::string_view text);
    SPoint referenceOffset() const { return m_referenceOffset; }
    void setReferenceOffset(SPoint offset) { m_referenceOffset = offset; }
    bool isReferenceHidden() const { return m_referenceHidden; }
    void setReferenceHidden(bool hidden) { m_referenceHidden = hidden; }
    bool isReferenceHorizontal() const { return m_referenceHorizontal; }
    void setReferenceHorizontal(bool horizontal);

    // Measured text sizes may be cached by a renderer; the areas fall back to 8 units a byte.
    void setValueTextSize(SSize size);
    void setReferenceTextSize(SSize size);

    int32_t block() const { return m_block; }
    // Held to 0..blockCount-1 of the part; 0 without a part.
    void setBlock(int32_t block);
    int32_t orientation() const { return m_orientation; }
    // 0..7; other values leave it unchanged.
    void setOrientation(int32_t dir);

    const SCompInfo* part() const { return m_part.get(); }
    void setPart(std::unique_ptr<SCompInfo> part);
    const std::string& libraryName() const { return m_libraryName; }
    void setLibraryName(std::string_view name) { m_libraryName = name; }
    const std::string& package() const { return m_package; }
    void setPackage(std::string_view text) { m_package = text; }
    const std::string& manufacturerPartNumber() const { return m_mfrPartNumber; }
    void setManufacturerPartNumber(std::string_view text) { m_mfrPartNumber = text; }
    const std::string& manufacturer() const { return m_manufacturer; }
    void setManufacturer(std::string_view text) { m_manufacturer = text; }
    const std::string& note() const { return m_note; }
    void setNote(std::string_view text) { m_note = text; }

    // Bit (1 << placed side) for every visible pin; see updatePinSideMask.
    int32_t pinSideMask() const { return m_pinSideMask; }
    void updatePinSideMask();

    // Body size in sheet units as placed: (20, 20) without a part.
    SSize bodySize() const;
    // The body rectangle (p1 is its bottom-right corner).
    SRect bodyArea() const;
    // Where pin `index` of the part meets the body, as placed; (-1, -1) outside the list.
    SPoint pinPosition(int32_t index) const;
    // Side a pin of the part faces once placed (0 left, 1 top, 2 right, 3 bottom).
    int32_t placedSide(int32_t pinSide) const;
    SRect valueTextArea() const;
    SRect referenceTextArea() const;
    // The name the part is written under: library name, else value, else "EMB".
    std::string_view partWriteName() const;

protected:
    uint32_t readField(std::string_view key, std::string_view value,
                       std::optional<SPoint> offset) override;
    bool readNested(std::string_view word, STagReader& reader, std::optional<SPoint> offset,
                    bool& ok) override;

private:
    bool readLibraryPart(STagReader& reader);
    bool parseLibraryPart(STagReader& reader);
    void readTextField(std::string_view key, std::string_view value);
    SRect textArea(SPoint anchor, size_t bytes, bool sizeValid, SSize cached,
                   bool horizontal) const;
    void writeTexts(STagWriter& writer) const;

    std::string m_value;
    SPoint m_valueOffset{2, 20};
    bool m_valueHidden = false;
    bool m_valueHorizontal = true;
    std::string m_reference;
    SPoint m_referenceOffset{2, 10};
    bool m_referenceHidden = false;
    bool m_referenceHorizontal = true;
    SSize m_valueSize;
    bool m_valueSizeValid = false;
    SSize m_referenceSize;
    bool m_referenceSizeValid = false;
    int32_t m_block = 0;
    int32_t m_orientation = 0;
    // Never changed in place, so copies (and components read from the same bytes) share it.
    std::shared_ptr<const SCompInfo> m_part;
    std::string m_libraryName;
    std::string m_package;
    std::string m_mfrPartNumber;
    std::string m_manufacturer;
    std::string m_note;
    int32_t m_pinSideMask = 0;
    bool m_partSeen = false; // while reading
};
