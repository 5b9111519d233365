#include "schematic/SImageDIB.h"
#include "tagtext/STagReader.h"
#include "tagtext/STagWriter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Bytes = std::string;

void putLE32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<char>(v >> (8 * i) & 0xFF);
}

// A 24-bit bitmap file: 14-byte file header, 40-byte info header, `pixels` as the rows.
Bytes makeBmp(int32_t width, int32_t height, const Bytes& pixels) {
    Bytes b(54, '\0');
    b[0] = 'B';
    b[1] = 'M';
    putLE32(b, 2, static_cast<uint32_t>(54 + pixels.size()));
    putLE32(b, 10, 54);
    putLE32(b, 14, 40);
    putLE32(b, 18, static_cast<uint32_t>(width));
    putLE32(b, 22, static_cast<uint32_t>(height));
    b[26] = 1;
    b[28] = 24;
    return b + pixels;
}

Bytes loadFile(const std::string& name) {
    std::ifstream in(std::string(KX_TEST_DATA_DIR) + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::string encode(const Bytes& bytes) {
    std::string text;
    std::string line;
    for (size_t pos = 0; pos < bytes.size(); pos += SImageDIB::kBytesPerLine) {
        const size_t n = std::min(SImageDIB::kBytesPerLine, bytes.size() - pos);
        SImageDIB::encodeLine(reinterpret_cast<const uint8_t*>(bytes.data() + pos), n, line);
        text += line + "\n";
    }
    return text;
}

// Reads a section body (the text after "+IMAGE_DIB").
bool readBody(const std::string& body, SImageDIB& image) {
    STagReader reader;
    reader.attachString(body);
    return image.readSection(reader);
}

Bytes held(const SImageDIB& image) {
    return image.hasData()
               ? Bytes(reinterpret_cast<const char*>(image.fileHeader()), image.fileSize())
               : Bytes();
}

std::string written(const SImageDIB& image, bool* result = nullptr) {
    std::string out;
    STagWriter writer;
    writer.attachString(&out);
    const bool ok = image.writeSection(writer);
    if (result)
        *result = ok;
    return out;
}

} // namespace

TEST(ImageDIB, TinyBitmapWritesTwoLinesAndReadsBack) {
    const Bytes bmp = loadFile("tiny.bmp");
    ASSERT_EQ(bmp.size(), 58u);
    SImageDIB image;
    ASSERT_TRUE(image.setFileBytes(bmp));
    EXPECT_EQ(image.width(), 1);
    EXPECT_EQ(image.height(), 1);

    const std::string text = written(image);
    EXPECT_EQ(text.substr(0, 11), "+IMAGE_DIB\n");
    EXPECT_EQ(text.substr(11, 76).find_first_not_of(
                  "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789!/"),
              std::string::npos);
    EXPECT_EQ(text.substr(11 + 76, 1), "\n");
    const std::string tail = text.substr(11 + 77);
    ASSERT_EQ(tail.size(), 4 + 1 + 11u);
    EXPECT_EQ(tail.substr(2, 3), "==\n"); // one byte left: two padding characters
    EXPECT_EQ(tail.substr(5), "-IMAGE_DIB\n");

    SImageDIB back;
    ASSERT_TRUE(readBody(text.substr(11), back));
    EXPECT_EQ(held(back), bmp);
    EXPECT_EQ(written(back), text);
    EXPECT_EQ(back.pixelBits(), back.fileHeader() + 54);
}

TEST(ImageDIB, AlphabetUsesExclamationForValue62) {
    std::string line;
    const uint8_t ones[3] = {0xFB, 0xEF, 0xBE}; // 111110 four times
    SImageDIB::encodeLine(ones, 3, line);
    EXPECT_EQ(line, "!!!!");
    const uint8_t two[2] = {0xFF, 0xFF};
    SImageDIB::encodeLine(two, 2, line);
    EXPECT_EQ(line, "//8=");

    const Bytes bmp = makeBmp(1, 1, Bytes("\xFB\xEF\xBE\x00", 4));
    SImageDIB back;
    ASSERT_TRUE(readBody(encode(bmp) + "-IMAGE_DIB\n", back));
    EXPECT_EQ(held(back), bmp);
}

TEST(ImageDIB, LargerBitmapRoundTripsByteForByte) {
    const Bytes bmp = loadFile("small.bmp");
    ASSERT_EQ(bmp.size(), 102u);
    SImageDIB back;
    ASSERT_TRUE(readBody(encode(bmp) + "-IMAGE_DIB", back));
    EXPECT_EQ(held(back), bmp);
    EXPECT_EQ(back.width(), 5);
    EXPECT_EQ(back.height(), 3);
    EXPECT_EQ(written(back), "+IMAGE_DIB\n" + encode(bmp) + "-IMAGE_DIB\n");
}

struct ImageCase {
    const char* name;
    std::string body;
    bool ok;
    bool hasData;
};

std::vector<ImageCase> imageCases() {
    const Bytes good = makeBmp(2, 2, Bytes(16, '\x11'));
    Bytes tooBig = good;
    putLE32(tooBig, 2, 4000001);
    Bytes huge = good;
    putLE32(huge, 2, 0xFFFFFFF0u); // would wrap a signed size plus the slack
    Bytes tiny = good;
    putLE32(tiny, 2, 10); // fewer bytes than already decoded
    Bytes noBm = good;
    noBm[0] = 'X';
    Bytes topDown = good;
    putLE32(topDown, 22, static_cast<uint32_t>(-2));
    Bytes zeroWidth = good;
    putLE32(zeroWidth, 18, 0);
    Bytes shortFile = good;
    putLE32(shortFile, 2, static_cast<uint32_t>(good.size() + 3));
    Bytes longFile = good;
    putLE32(longFile, 2, static_cast<uint32_t>(good.size() - 3));
    Bytes lyingOffset = good;
    putLE32(lyingOffset, 10, 0x7FFFFFFF);
    const std::string enc = encode(good);
    const std::string plusInLine = [&] {
        std::string s = enc;
        s[40] = '+';
        return s;
    }();
    return {
        {"good", enc + "-IMAGE_DIB", true, true},
        {"empty section", "-IMAGE_DIB", true, false},
        {"declared size above the limit", encode(tooBig) + "-IMAGE_DIB", true, false},
        {"declared size near 2^32", encode(huge) + "-IMAGE_DIB", true, false},
        {"declared size below the header", encode(tiny) + "-IMAGE_DIB", false, false},
        {"no BM", encode(noBm) + "-IMAGE_DIB", true, false},
        {"top-down bitmap", encode(topDown) + "-IMAGE_DIB", false, false},
        {"zero width", encode(zeroWidth) + "-IMAGE_DIB", false, false},
        {"fewer bytes than declared", encode(shortFile) + "-IMAGE_DIB", false, false},
        {"more bytes than declared", encode(longFile) + "-IMAGE_DIB", false, false},
        {"pixel offset outside the file", encode(lyingOffset) + "-IMAGE_DIB", true, true},
        {"plus ends a line's decoding", plusInLine + "-IMAGE_DIB", false, false},
        {"garbage characters", "@@@@\n\x01\x02\x03\x04\n" + enc + "-IMAGE_DIB", true, true},
        {"nested section skipped", "+XYZ,QQQQ,-XYZ\n" + enc + "-IMAGE_DIB", true, true},
        {"wrong closing word", enc + "-IMAGE", false, false},
        {"end of input inside", enc, false, false},
        {"end of input after a rejected header", encode(noBm), false, false},
        {"end of input in a nested section", "+XYZ,AAAA", false, false},
        {"rest skipped after declared size", enc + "QUFB\n+X\n-IMAGE_DIB", true, true},
    };
}

TEST(ImageDIB, ReadOutcomes) {
    for (const ImageCase& c : imageCases()) {
        SCOPED_TRACE(c.name);
        SImageDIB image;
        EXPECT_EQ(readBody(c.body, image), c.ok);
        EXPECT_EQ(image.hasData(), c.hasData);
        if (!image.hasData()) {
            EXPECT_EQ(image.width(), 0);
            EXPECT_EQ(image.height(), 0);
            EXPECT_EQ(image.pixelBits(), nullptr);
        }
    }
}

TEST(ImageDIB, LyingPixelOffsetGivesNoPixels) {
    Bytes bmp = makeBmp(2, 2, Bytes(16, '\x11'));
    putLE32(bmp, 10, 0x7FFFFFFF);
    SImageDIB image;
    ASSERT_TRUE(image.setFileBytes(bmp));
    EXPECT_EQ(image.pixelBits(), nullptr);
}

TEST(ImageDIB, EmptyImageWritesNothing) {
    SImageDIB image;
    bool ok = true;
    EXPECT_EQ(written(image, &ok), "");
    EXPECT_FALSE(ok);
    EXPECT_FALSE(image.clear());
}

TEST(ImageDIB, LongDataLineStopsAtTheDeclaredSize) {
    // One line holding the file and 3000 bytes more: decoding stops at the declared size and
    // the rest of the section is passed over.
    const Bytes bmp = makeBmp(2, 2, Bytes(18, '\x22')); // 72 bytes, whole groups
    const Bytes padded = bmp + Bytes(3000, 'A');
    std::string line;
    SImageDIB::encodeLine(reinterpret_cast<const uint8_t*>(padded.data()), padded.size(), line);
    SImageDIB image;
    EXPECT_TRUE(readBody(line + "\n-IMAGE_DIB", image));
    EXPECT_EQ(held(image), bmp);
}

TEST(ImageDIB, ReadDropsPreviousData) {
    SImageDIB image;
    ASSERT_TRUE(image.setFileBytes(loadFile("tiny.bmp")));
    EXPECT_TRUE(readBody("-IMAGE_DIB", image));
    EXPECT_FALSE(image.hasData());
}
