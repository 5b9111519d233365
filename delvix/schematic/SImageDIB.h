#pragma once

#include "schematic/SImageData.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

// A whole bitmap file (file header, info header, colour table, pixel rows) held in one buffer
// and stored in a schematic as the "+IMAGE_DIB" section: 57 bytes per line in Base64 with "!"
// in place of "+".
class SImageDIB : public SImageData {
public:
    static constexpr std::string_view kSection = "+IMAGE_DIB";
    static constexpr std::string_view kClosing = "-IMAGE_DIB";
    static constexpr uint32_t kMaxFileBytes = 4000000;
    static constexpr size_t kBytesPerLine = 57;
    static constexpr size_t kFileHeaderBytes = 14;

    SImageDIB() = default;
    SImageDIB(const SImageDIB&) = delete;
    SImageDIB& operator=(const SImageDIB&) = delete;

    int32_t width() const override;
    int32_t height() const override;
    int32_t query() const override { return 0; }
    bool readSection(STagReader& reader) override;
    bool clear() override;
    bool writeSection(STagWriter& writer) const override;

    bool hasData() const { return m_data != nullptr; }
    // The declared file size of the held bitmap, 0 without data.
    size_t fileSize() const { return m_size; }
    // Views into the held bitmap file; null without data (pixelBits also when the header's
    // pixel offset points outside the file).
    const uint8_t* fileHeader() const { return m_data.get(); }
    const uint8_t* infoHeader() const;
    const uint8_t* bitmapInfo() const { return infoHeader(); }
    const uint8_t* pixelBits() const;

    // Takes a whole bitmap file as it would be read; false (and no data) when the bytes are not
    // a file that reading would accept.
    bool setFileBytes(std::string_view bytes);

    // Encodes up to 57 bytes as one data line (76 characters for a full line).
    static void encodeLine(const uint8_t* bytes, size_t count, std::string& line);

private:
    struct Decoder;
    bool finishRead(size_t decoded);

    std::unique_ptr<uint8_t[]> m_data; // declared size + 256 bytes, zero-filled
    size_t m_size = 0;                 // declared size
};
