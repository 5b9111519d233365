#include "model/SCompInfo.h"

#include "SScratchList.h"
#include "model/SPtn.h"
#include "tagtext/STagField.h"
#include "tagtext/STagReader.h"
#include "tagtext/STagWriter.h"

#include <algorithm>
#include <limits>

namespace {

// What a "+COMP" section yields before it is stored.
struct CompFields {
    int32_t width = 0;
    int32_t height = 0;
    int32_t blocks = 0;
    std::optional<std::string> prefix = std::string("U");
    std::vector<SPin>& pins;

    bool complete() const { return width >= 1 && height >= 1 && blocks >= 1; }
};

// Pixels of a bit pattern covering `steps` grid steps, kept inside the 32-bit range.
int32_t bitPatternSide(int32_t steps) {
    const int64_t pixels = int64_t{steps} * SCompInfo::kGrid + 1;
    return static_cast<int32_t>(std::clamp<int64_t>(pixels, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

// One field of a "+COMP" section; false when the value makes the read fail.
bool readField(SCompInfo& comp, const STagField& field, CompFields& in, std::string& name,
               std::string& patternName) {
    const std::string_view key = field.key;
    const std::string_view value = field.value;
    if (key == "N") {
        name = value;
    } else if (key == "X" || key == "Y") {
        const int32_t v = STagField::toInt(value);
        (key == "X" ? in.width : in.height) = v;
        return v >= 0;
    } else if (key == "B") {
        const int32_t v = STagField::toInt(value);
        const bool ok = in.blocks == 0 && v >= 0 && v <= SCompInfo::kMaxBlocks;
        in.blocks = v;
        return ok;
    } else if (key == "R") {
        in.prefix = std::string(value);
    } else if (key == "P") {
        patternName = value;
    } else if (key == "NOTE") {
        if (!value.empty() || !comp.note().empty())
            comp.setNote(std::string(value));
    } else if (key == "MFR") {
        if (!value.empty() || !comp.manufacturer().empty())
            comp.setManufacturer(std::string(value));
    } else if (key == "MFRPN") {
        if (!value.empty() || !comp.manufacturerPartNumber().empty())
            comp.setManufacturerPartNumber(std::string(value));
    } else if (key == "PKG") {
        if (!value.empty() || !comp.package().empty())
            comp.setPackage(std::string(value));
    }
    return true;
}

} // namespace

SCompInfo::SCompInfo() = default;
SCompInfo::~SCompInfo() = default;
SCompInfo::SCompInfo(SCompInfo&& other) noexcept = default;
SCompInfo& SCompInfo::operator=(SCompInfo&& other) noexcept = default;

SCompInfo::SCompInfo(const SCompInfo& other)
    : m_size(other.m_size), m_blockCount(other.m_blockCount), m_prefixU(other.m_prefixU),
      m_texts(other.m_texts ? std::make_unique<Texts>(*other.m_texts) : nullptr),
      m_pattern(other.m_pattern ? std::make_shared<SPtn>(*other.m_pattern) : nullptr),
      m_pins(other.m_pins) {}

SCompInfo& SCompInfo::operator=(const SCompInfo& other) {
    if (this != &other) {
        SCompInfo copy(other);
        *this = std::move(copy);
    }
    return *this;
}

bool SCompInfo::read(STagReader& reader, std::string& name, std::string& patternName) {
    m_pattern.reset();
    m_pins.clear();
    m_texts.reset();
    m_prefixU = false;
    name.clear();
    patternName.clear();
    SScratchList<SPin> pins;
    CompFields in{.pins = pins.items()};
    bool ok = true;
    bool closed = false;
    std::string scratch;
    std::string_view word;
    while (ok && !closed && reader.readWordView(scratch, word) >= 0) {
        if (word.empty())
            continue;
        if (word[0] == '-') {
            ok = word == "-COMP";
            closed = true;
        } else if (word == "+PIN") {
            SPin pin;
            ok = in.complete() && pin.read(reader, in.blocks);
            if (ok)
                in.pins.push_back(std::move(pin));
        } else if (word[0] == '+') {
            ok = reader.skipTo(STagReader::closingWordOf(word)) >= 0;
        } else {
            STagField field;
            if (STagField::split(word, field))
                ok = readField(*this, field, in, name, patternName);
        }
    }
    // A section cut off by the end of the input keeps what was read, but only when it is a
    // component at all: one without a name, size or block count could not be written back in a
    // form that loads again.
    ok = ok && !name.empty() && in.complete();
    if (!ok)
        return false;
    m_size = SSize(in.width, in.height);
    m_blockCount = in.blocks;
    setReferencePrefix(std::move(in.prefix));
    pins.moveTo(m_pins);
    return true;
}

bool SCompInfo::write(STagWriter& writer, std::string_view name) const {
    if (name.empty())
        return false;
    if (m_pattern && !m_pattern->write(writer, name))
        return false;
    return writeSection(writer, name);
}

bool SCompInfo::writeSection(STagWriter& w, std::string_view name) const {
    bool ok = w.writeWord("+COMP") >= 0 && w.writeText("N", name) >= 0 && w.endLine() >= 0;
    ok = ok && w.writeInt("X", m_size.width) >= 0 && w.writeInt("Y", m_size.height) >= 0 &&
         w.writeInt("B", m_blockCount) >= 0 && w.endLine() >= 0;
    const std::optional<std::string>& prefix = referencePrefix();
    ok = ok && w.writeText("R", prefix ? std::string_view(*prefix) : std::string_view()) >= 0 &&
         w.endLine() >= 0;
    if (ok && m_pattern)
        ok = w.writeText("P", name) >= 0 && w.endLine() >= 0;
    for (const SPin& pin : m_pins) {
        if (!ok)
            break;
        ok = pin.write(w) && w.endLine() >= 0;
    }
    return ok && w.writeText("NOTE", note()) >= 0 && w.writeText("MFR", manufacturer()) >= 0 &&
           w.writeText("MFRPN", manufacturerPartNumber()) >= 0 &&
           w.writeText("PKG", package()) >= 0 && w.writeWord("-COMP") >= 0 && w.endLine() >= 0;
}

void SCompInfo::sizeBitPattern(bool noBitPattern) {
    SSize pixels(bitPatternSide(m_size.width), bitPatternSide(m_size.height));
    if (!noBitPattern) {
        pixels.width = std::clamp(pixels.width, 0, SPtn::kMaxBitPatternSide);
        pixels.height = std::clamp(pixels.height, 0, SPtn::kMaxBitPatternSide);
    }
    pattern()->setBitPatternSize(pixels, noBitPattern);
}

void SCompInfo::setSize(SSize size, bool createPattern, bool noBitPattern) {
    m_size = size;
    if (!m_pattern && !createPattern)
        return;
    if (!m_pattern)
        m_pattern = std::make_shared<SPtn>();
    sizeBitPattern(noBitPattern);
}

void SCompInfo::usePattern(bool on, bool noBitPattern) {
    if (!on) {
        m_pattern.reset();
    } else if (!m_pattern) {
        m_pattern = std::make_shared<SPtn>();
        sizeBitPattern(noBitPattern);
    }
}

SSize SCompInfo::drawingSize(int32_t direction) const {
    const SSize s(mulWrap(m_size.width, kGrid), mulWrap(m_size.height, kGrid));
    return (direction & 1) ? SSize(s.height, s.width) : s;
}

void SCompInfo::setBlockCount(int32_t n) {
    n = std::clamp(n, 0, kMaxBlocks);
    for (SPin& pin : m_pins)
        pin.setBlockCount(n);
    m_blockCount = n;
}

void SCompInfo::setPattern(std::unique_ptr<SPtn> pattern) {
    m_pattern = std::move(pattern);
}

void SCompInfo::sharePattern(std::shared_ptr<SPtn> pattern) {
    m_pattern = std::move(pattern);
}

SPtn* SCompInfo::pattern() {
    if (m_pattern && m_pattern.use_count() > 1)
        m_pattern = std::make_shared<SPtn>(*m_pattern);
    return m_pattern.get();
}

namespace {
const std::string kNoText;
const std::optional<std::string> kNoPrefix;
const std::optional<std::string> kPrefixU = std::string("U");
} // namespace

SCompInfo::Texts& SCompInfo::ownTexts() {
    if (!m_texts) {
        m_texts = std::make_unique<Texts>();
        if (m_prefixU)
            m_texts->prefix = "U";
    }
    return *m_texts;
}

const std::optional<std::string>& SCompInfo::referencePrefix() const {
    if (m_texts)
        return m_texts->prefix;
    return m_prefixU ? kPrefixU : kNoPrefix;
}

void SCompInfo::setReferencePrefix(std::optional<std::string> prefix) {
    if (!m_texts && (!prefix || *prefix == "U"))
        m_prefixU = prefix.has_value();
    else
        ownTexts().prefix = std::move(prefix);
}

const std::string& SCompInfo::note() const {
    return m_texts ? m_texts->note : kNoText;
}

const std::string& SCompInfo::manufacturer() const {
    return m_texts ? m_texts->manufacturer : kNoText;
}

const std::string& SCompInfo::manufacturerPartNumber() const {
    return m_texts ? m_texts->partNumber : kNoText;
}

const std::string& SCompInfo::package() const {
    return m_texts ? m_texts->package : kNoText;
}

void SCompInfo::addPin(const SPin* pin) {
    if (pin)
        addPin(*pin);
}

// Every pin carries one number per block of its component.
void SCompInfo::addPin(SPin pin) {
    pin.setBlockCount(m_blockCount);
    m_pins.push_back(std::move(pin));
}

void SCompInfo::setPins(std::vector<SPin> pins) {
    for (SPin& pin : pins)
        pin.setBlockCount(m_blockCount);
    m_pins = std::move(pins);
}

SPin* SCompInfo::pinAt(int32_t index) {
    return index >= 0 && index < pinCount() ? &m_pins[static_cast<size_t>(index)] : nullptr;
}

const SPin* SCompInfo::pinAt(int32_t index) const {
    return const_cast<SCompInfo*>(this)->pinAt(index);
}

SPin* SCompInfo::findPinAt(int32_t side, int32_t offset) {
    const auto it = std::find_if(m_pins.begin(), m_pins.end(), [&](const SPin& p) {
        return p.side() == side && p.offset() == offset;
    });
    return it == m_pins.end() ? nullptr : &*it;
}

const SPin* SCompInfo::findPinAt(int32_t side, int32_t offset) const {
    return const_cast<SCompInfo*>(this)->findPinAt(side, offset);
}

void SCompInfo::removePinAt(int32_t side, int32_t offset, bool closeGap) {
    if (const SPin* pin = findPinAt(side, offset))
        m_pins.erase(m_pins.begin() + (pin - m_pins.data()));
    if (!closeGap)
        return;
    for (SPin& p : m_pins) {
        if (p.side() == side && p.offset() > offset)
            p.setOffset(subWrap(p.offset(), 1));
    }
}

void SCompInfo::openPinGap(int32_t side, int32_t offset) {
    for (SPin& p : m_pins) {
        if (p.side() == side && p.offset() >= offset)
            p.setOffset(addWrap(p.offset(), 1));
    }
}

std::optional<SPinEnd> SCompInfo::pinEnd(int32_t index, int32_t direction) const {
    const SPin* pin = pinAt(index);
    if (!pin)
        return std::nullopt;
    const SSize drawn = drawingSize(direction);
    const int32_t d = drawn.width;
    const int32_t e = drawn.height;
    const int32_t b = mulWrap(pin->offset(), kGrid);
    int32_t placed = static_cast<int32_t>(
        (static_cast<uint32_t>(direction) + static_cast<uint32_t>(pin->side())) & 3u);
    if ((direction & 4) && (placed == SPin::kSideLeft || placed == SPin::kSideRight))
        placed ^= 2;
    SPinEnd end;
    end.side = placed;
    if (placed == SPin::kSideLeft || placed == SPin::kSideRight) {
        end.point.x = placed == SPin::kSideLeft ? subWrap(negWrap(d), kGrid) : kGrid;
        const bool fromBottom =
            direction == 2 || direction == 3 || direction == 6 || direction == 7;
        end.point.y = fromBottom ? negWrap(b) : subWrap(b, e);
    } else {
        end.point.y = placed == SPin::kSideTop ? subWrap(negWrap(e), kGrid) : kGrid;
        const bool fromRight = direction == 1 || direction == 2 || direction == 4 || direction == 7;
        end.point.x = fromRight ? negWrap(b) : subWrap(b, d);
    }
    return end;
}
