// Bit patterns are stored as their rows came: what a pattern reads back and writes must be the
// full layout all the same, and a library of empty bit patterns must not cost 32 KB each.

#include "model/SBitPattern.h"
#include "model/SCompLib.h"
#include "model/SPtn.h"
#include "tagtext/STagReader.h"
#include "tagtext/STagWriter.h"

#include <gtest/gtest.h>

#include <malloc.h>
#include <string>
#include <vector>

namespace {

SPtn readPtn(const std::string& text) {
    STagReader reader;
    reader.attachString(text);
    std::string word;
    reader.readWord(word);
    SPtn ptn;
    EXPECT_TRUE(ptn.read(reader)) << text;
    return ptn;
}

std::string written(const SPtn& ptn) {
    std::string out;
    STagWriter writer;
    writer.attachString(&out);
    ptn.write(writer);
    return out;
}

// The full layout as a plain byte array decodes it: the model the stored rows must match.
struct DenseModel {
    int32_t width;
    int32_t height;
    std::vector<uint8_t> bytes;

    DenseModel(int32_t w, int32_t h, const std::vector<std::string>& rows)
        : width(w), height(h), bytes(static_cast<size_t>(SPtn::rowStride(w) * h), 0) {
        const size_t stride = static_cast<size_t>(SPtn::rowStride(w));
        const size_t perRow = static_cast<size_t>((w + 7) / 8);
        for (size_t r = 0; r < rows.size() && r < static_cast<size_t>(h); ++r) {
            for (size_t k = 0; k < perRow && 2 * k + 1 < rows[r].size(); ++k) {
                const int hi = rows[r][2 * k] - '@';
                const int lo = rows[r][2 * k + 1] - '@';
                const bool ok = hi >= 0 && hi < 16 && lo >= 0 && lo < 16;
                bytes[r * stride + k] = ok ? static_cast<uint8_t>(hi * 16 + lo) : 0;
            }
        }
    }
    // The section as written from the full layout.
    std::string text() const {
        const size_t stride = static_cast<size_t>(SPtn::rowStride(width));
        std::string out =
            "+PTN,N:P,X:" + std::to_string(width) + ",Y:" + std::to_string(height) + "\n+BMP\n";
        for (int32_t r = 0; r < height; ++r) {
            for (int32_t k = 0; k < (width + 7) / 8; ++k) {
                const uint8_t b = bytes[static_cast<size_t>(r) * stride + static_cast<size_t>(k)];
                out += static_cast<char>('@' + (b >> 4));
                out += static_cast<char>('@' + (b & 15));
            }
            out += '\n';
        }
        return out + "-BMP\n-PTN\n";
    }
};

TEST(BitPattern, StoredRowsReadAndWriteAsTheFullLayout) {
    const struct {
        int32_t w;
        int32_t h;
        std::vector<std::string> rows;
    } cases[] = {
        {21, 3, {}},                                   // "+BMP" with no rows at all
        {21, 3, {"O@"}},                               // one row, the rest absent
        {21, 3, {"@@", "@@@@@@", "@A"}},               // zero rows before a set one
        {21, 3, {"OOOOOO", "A", "@@@O@@@@"}},          // odd, short and over-long rows
        {501, 501, {"OOOOOOOO@@@@@@@@", "AZ", "@A"}},  // widest, with a bad character
        {17, 2, {"@@@@OO", "@@@@@@", "OOOOOO", "OO"}}, // more rows than the height
        {8, 1, {"@@"}},
    };
    for (const auto& c : cases) {
        std::string text =
            "+PTN,N:P,X:" + std::to_string(c.w) + ",Y:" + std::to_string(c.h) + ",+BMP\n";
        for (const auto& row : c.rows)
            text += row + "\n";
        text += "-BMP,-PTN\n";
        const SPtn ptn = readPtn(text);
        const DenseModel model(c.w, c.h, c.rows);
        EXPECT_EQ(ptn.bitPattern(), model.bytes) << text;
        EXPECT_EQ(written(ptn), model.text()) << text;
        for (int32_t y = 0; y < c.h; y += 2)
            for (int32_t x = 0; x < c.w; x += 3)
                EXPECT_EQ(ptn.pixel(x, y),
                          (model.bytes[static_cast<size_t>(y * SPtn::rowStride(c.w) + x / 8)] &
                           (0x80 >> (x % 8))) != 0)
                    << text << x << "," << y;
    }
}

TEST(BitPattern, CopiesShareUntilOneChanges) {
    SPtn a = readPtn("+PTN,N:P,X:16,Y:2,+BMP,@A,-BMP,-PTN");
    SPtn b(a);
    b.setPixel(0, 1, true);
    b.bitPatternData()[0] = 0xFF;
    EXPECT_EQ(a.bitPattern(), (std::vector<uint8_t>{0x01, 0, 0, 0}));
    EXPECT_EQ(b.bitPattern(), (std::vector<uint8_t>{0xFF, 0, 0x80, 0}));
    // Resizing keeps the top-left pixels of stored rows and clears those beyond the old width.
    b.setBitPatternSize({4, 3}, false);
    EXPECT_EQ(b.bitPattern(), (std::vector<uint8_t>{0xF0, 0, 0x80, 0, 0, 0}));
    SBitPattern none;
    EXPECT_EQ(none.data(), nullptr);
    EXPECT_EQ(none.byteAt(0), 0);
}

// Heap in use, as malloc counts it; 0 under a sanitizer that replaces malloc.
size_t heapBytes() {
    return mallinfo2().uordblks;
}

TEST(BitPattern, EmptyBitPatternsCostNoFullBuffer) {
    std::string text = "+KORVX_LIB_V.1.0\n";
    for (int i = 0; i < 4000; ++i) {
        const std::string n = std::to_string(i);
        text += "+PTN,N:" + n + ",X:501,Y:501,+BMP,-BMP,-PTN\n";
        text += "+PTN,N:r" + n + ",X:501,Y:501,+BMP,@A,-BMP,-PTN\n";
        text += "+COMP,N:" + n + ",X:50,Y:50,B:1,P:" + n + ",-COMP\n+COMP,N:r" + n +
                ",X:50,Y:50,B:1,P:r" + n + ",-COMP\n";
    }
    const size_t before = heapBytes();
    if (before == 0)
        GTEST_SKIP() << "malloc statistics are not available (sanitizer build)";
    SCompLib lib;
    STagReader reader;
    reader.attachString(text);
    ASSERT_TRUE(lib.read(reader));
    ASSERT_EQ(lib.entryCount(), 8000);
    EXPECT_TRUE(lib.entryAt(0)->component()->pattern()->hasBitPattern());
    const size_t used = heapBytes() - before;
    // A full buffer each would be 8000 × 32 KB = 256 MB.
    EXPECT_LT(used, 8 * text.size()) << used << " bytes for a text of " << text.size();
}

} // namespace
