#pragma once

#include "schematic/SXKorvObj.h"

// The sheet's properties. The size is held in p1, the editing layer in the layer field.
class SXKorvSheetInfo : public SXKorvObj {
public:
    static constexpr std::string_view kSection = "SHEETINFO";
    static constexpr int32_t kDefaultWidth = 1500;
    static constexpr int32_t kDefaultHeight = 1000;
    static constexpr int32_t kWrittenVersion = 68;

    SXKorvSheetInfo() : SXKorvObj({kDefaultWidth, kDefaultHeight}, {0, 0}) {}

    SXKorvKind kind() const override { return SXKorvKind::SheetInfo; }
    int32_t kindBit() const override { return SXKorvKindBit::kSheetInfo; }
    bool readSection(STagReader& reader, std::optional<SPoint> offset = std::nullopt,
                     SXKorvDoc* doc = nullptr) override;
    bool writeSection(STagWriter& writer,
                      std::optional<SPoint> offset = std::nullopt) const override;
    std::unique_ptr<SXKorvObj> clone() const override { return cloneOf(*this); }

    SSize sheetSize() const { return {m_p1.x, m_p1.y}; }
    // Width is taken only within 500..5000, height within 400..4000.
    void setSheetSize(SSize size);
    int32_t editingLayer() const { return m_layer; }
    void setEditingLayer(int32_t layer) { setLayer(layer); }
    int32_t visibleLayers() const { return m_visibleLayers; }
    // Only the low 8 bits count; 0 becomes 255.
    void setVisibleLayers(int32_t mask);
    int32_t pageCount() const { return m_pageCount; }
    void setPageCount(int32_t count) { m_pageCount = count; }
    int32_t pageNumber() const { return m_pageNumber; }
    void setPageNumber(int32_t page) { m_pageNumber = page; }
    const std::string& projectName() const { return m_projectName; }
    void setProjectName(std::string_view name) { m_projectName = name; }
    int32_t fileVersion() const { return m_fileVersion; }
    void setFileVersion(int32_t version) { m_fileVersion = version; }
    int32_t initialPosition() const { return m_initialPosition; }
    // 1..3 are kept, anything else becomes 0.
    void setInitialPosition(int32_t pos);

protected:
    uint32_t readField(std::string_view key, std::string_view value,
                       std::optional<SPoint> offset) override;

private:
    int32_t m_visibleLayers = 255;
    int32_t m_pageCount = 1;
    int32_t m_pageNumber = 1;
    std::string m_projectName;
    int32_t m_fileVersion = 0;
    int32_t m_initialPosition = 0;
};
