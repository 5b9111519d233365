#include "schematic/SXKorvImageObj.h"

#include "schematic/SImageDIB.h"
#include "tagtext/STagField.h"
#include "tagtext/STagReader.h"
#include "tagtext/STagWriter.h"

namespace {
enum : uint32_t { kReqX = 1, kReqY = 2 };
}

SXKorvImageObj::SXKorvImageObj() = default;
SXKorvImageObj::SXKorvImageObj(const SXKorvImageObj& other) = default;
SXKorvImageObj::~SXKorvImageObj() = default;

void SXKorvImageObj::setMagnification(int32_t percent) {
    if (percent >= 5 && percent <= 200)
        m_magnification = percent < 10 ? 10 : percent;
}

SSize SXKorvImageObj::drawnSize() const {
    if (!m_image)
        return {0, 0};
    auto scale = [this](int32_t v) {
        const int64_t s = int64_t{v} * m_magnification / 100;
        return s > INT32_MAX ? INT32_MAX : s < INT32_MIN ? INT32_MIN : static_cast<int32_t>(s);
    };
    return {scale(m_image->width()), scale(m_image->height())};
}

SRect SXKorvImageObj::boundingArea() const {
    return SRect(m_p1, drawnSize()).normalized();
}

int32_t SXKorvImageObj::hitTest(SPoint p) const {
    return boundingArea().contains(p) ? 1 : 0;
}

int32_t SXKorvImageObj::areaIntersect(const SRect& area) const {
    return area.normalized().intersects(boundingArea()) ? 3 : 0;
}

bool SXKorvImageObj::areaContains(const SRect& area) const {
    return area.normalized().contains(boundingArea());
}

uint32_t SXKorvImageObj::readField(std::string_view key, std::string_view value,
                                   std::optional<SPoint> offset) {
    if (key == "X") {
        m_p1.x = offsetX(STagField::toInt(value), offset);
        return kReqX;
    }
    if (key == "Y") {
        m_p1.y = offsetY(STagField::toInt(value), offset);
        return kReqY;
    }
    if (key == "MAG")
        setMagnification(STagField::toInt(value));
    else
        readLayerField(key, value);
    return 0;
}

bool SXKorvImageObj::readNested(std::string_view word, STagReader& reader, std::optional<SPoint>,
                                bool& ok) {
    if (word != SImageDIB::kSection || m_imageSeen)
        return false;
    m_imageSeen = true;
    auto image = std::make_shared<SImageDIB>();
    // A broken image is dropped and reading goes on; the missing image then fails the object.
    if (image->readSection(reader))
        m_image = std::move(image);
    ok = true;
    return true;
}

bool SXKorvImageObj::readSection(STagReader& reader, std::optional<SPoint> offset, SXKorvDoc*) {
    m_image.reset();
    m_magnification = kDefaultMagnification;
    m_imageSeen = false;
    const bool ok = readCommon(reader, offset, {kSection, kReqX | kReqY, false});
    return ok && m_image != nullptr;
}

bool SXKorvImageObj::writeSection(STagWriter& writer, std::optional<SPoint> offset) const {
    writer.writeWord("+IMAGEOBJECT");
    writer.writeInt("L", m_layer);
    writer.writeInt("X", unoffsetX(m_p1.x, offset));
    writer.writeInt("Y", unoffsetY(m_p1.y, offset));
    writer.writeInt("MAG", m_magnification);
    // The image is required when reading: an object without image data still gets an (empty)
    // section, so that the file it is written to stays readable.
    if (!m_image || !m_image->writeSection(writer)) {
        writer.writeWord(SImageDIB::kSection);
        writer.endLine();
        writer.writeWord(SImageDIB::kClosing);
        writer.endLine();
    }
    writer.writeWord("-IMAGEOBJECT");
    writer.endLine();
    return true;
}
