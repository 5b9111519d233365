#pragma once

#include "schematic/SXKorvObj.h"

class SImageDIB;

// A picture placed with its top-left corner at p1, scaled by a magnification in percent. Clones
// share the image; it is freed with the last object holding it.
class SXKorvImageObj : public SXKorvObj {
public:
    static constexpr std::string_view kSection = "IMAGEOBJECT";
    static constexpr int32_t kDefaultMagnification = 100;

    SXKorvImageObj();
    SXKorvImageObj(const SXKorvImageObj& other);
    ~SXKorvImageObj() override;

    bool classFlag1() const override { return true; }
    bool classFlag2() const override { return true; }
    SXKorvKind kind() const override { return SXKorvKind::ImageObj; }
    int32_t kindBit() const override { return SXKorvKindBit::kImageObj; }
    bool readSection(STagReader& reader, std::optional<SPoint> offset = std::nullopt,
                     SXKorvDoc* doc = nullptr) override;
    bool writeSection(STagWriter& writer,
                      std::optional<SPoint> offset = std::nullopt) const override;
    std::unique_ptr<SXKorvObj> clone() const override { return cloneOf(*this); }
    int32_t hitTest(SPoint p) const override;
    int32_t areaIntersect(const SRect& area) const override;
    bool areaContains(const SRect& area) const override;
    SRect boundingArea() const override;
    SRect anchorArea() const override { return boundingArea(); }

    const SImageDIB* image() const { return m_image.get(); }
    void setImage(std::shared_ptr<SImageDIB> image) { m_image = std::move(image); }
    // The number of image objects sharing the image (0 without one).
    long imageReferences() const { return m_image.use_count(); }
    int32_t magnification() const { return m_magnification; }
    // 5..200 are taken, 5..9 as 10; other values leave it unchanged.
    void setMagnification(int32_t percent);
    // The drawn size: the image size scaled by the magnification.
    SSize drawnSize() const;

protected:
    uint32_t readField(std::string_view key, std::string_view value,
                       std::optional<SPoint> offset) override;
    bool readNested(std::string_view word, STagReader& reader, std::optional<SPoint> offset,
                    bool& ok) override;

private:
    std::shared_ptr<SImageDIB> m_image;
    int32_t m_magnification = kDefaultMagnification;
    bool m_imageSeen = false; // while reading
};
