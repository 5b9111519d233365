#include "tagtext/SAtomicFile.h"
#include "tagtext/STagField.h"
#include "tagtext/STagReader.h"
#include "tagtext/STagWriter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

struct ReadResult {
    std::vector<std::string> words;
    std::vector<int32_t> lines;
    bool broken = false; // the last read returned -1 before the input ended
};

// Reads every word; stops at the first -1.
std::vector<std::string> readAll(std::string_view text) {
    STagReader reader;
    reader.attachString(text);
    std::vector<std::string> words;
    std::string word;
    while (reader.readWord(word) >= 0)
        words.push_back(word);
    return words;
}

std::vector<std::string> readAllFromFile(const std::string& bytes) {
    std::FILE* f = std::tmpfile();
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::rewind(f);
    STagReader reader;
    reader.attachFile(f);
    std::vector<std::string> words;
    std::string word;
    while (reader.readWord(word) >= 0)
        words.push_back(word);
    std::fclose(f);
    return words;
}

struct WordCase {
    const char* input;
    std::vector<std::string> words;
};

class ReadWords : public testing::TestWithParam<WordCase> {};

TEST_P(ReadWords, FromStringAndFile) {
    const WordCase& c = GetParam();
    EXPECT_EQ(readAll(c.input), c.words);
    EXPECT_EQ(readAllFromFile(c.input), c.words);
}

INSTANTIATE_TEST_SUITE_P(
    Lexing, ReadWords,
    testing::Values(WordCase{"+PTN,N:ab%2Ccd\r\n", {"+PTN", "N:ab,cd"}},
                    WordCase{"a,,b", {"a", "", "b"}}, WordCase{"a,\nb", {"a", "b"}},
                    WordCase{"a,\r\nb\r\n", {"a", "b"}}, WordCase{"a\rb", {"a", "b"}},
                    WordCase{"  key:v  ,x", {"key:v  ", "x"}}, WordCase{"%41%42", {"AB"}},
                    WordCase{"%4,x", {}}, WordCase{"ok,%4", {"ok"}}, WordCase{"ok,%", {"ok"}},
                    WordCase{"%G1x", {std::string("\0x", 2)}}, WordCase{"%4Gx", {"\x04x"}},
                    WordCase{"last", {"last"}}, WordCase{"", {}}, WordCase{" \r\n\t ", {}},
                    WordCase{"\x82\xa0,\xff", {"\x82\xa0", "\xff"}}, WordCase{"a,b,", {"a", "b"}},
                    WordCase{",", {""}}));

TEST(TagReader, LineNumbersCountEveryLineEnd) {
    STagReader reader;
    reader.attachString("a,b\n\nc\r\nd,%4\n");
    std::string word;
    EXPECT_EQ(reader.readWord(word), 1);
    EXPECT_EQ(reader.readWord(word), 1);
    EXPECT_EQ(reader.readWord(word), 3);
    EXPECT_EQ(reader.readWord(word), 4);
    EXPECT_EQ(reader.readWord(word), -1);
}

TEST(TagReader, LongWordSplitsAfterLimitDroppingOneByte) {
    const std::string text(40000, 'w');
    for (const auto& words : {readAll(text), readAllFromFile(text)}) {
        ASSERT_EQ(words.size(), 2u);
        EXPECT_EQ(words[0].size(), STagReader::kMaxWordBytes);
        EXPECT_EQ(words[1].size(), 40000 - STagReader::kMaxWordBytes - 1);
    }
}

TEST(TagReader, EscapeAtLimitStillCountsAsOneStoredByte) {
    const std::string text = std::string(STagReader::kMaxWordBytes - 1, 'a') + "%41Zrest";
    const auto words = readAll(text);
    ASSERT_EQ(words.size(), 2u);
    EXPECT_EQ(words[0].back(), 'A');
    EXPECT_EQ(words[1], "rest");
}

TEST(TagReader, StringSourceEndsAtNulButFileKeepsIt) {
    const std::string text("ab\0cd,e", 7);
    EXPECT_EQ(readAll(text), std::vector<std::string>{"ab"});
    EXPECT_EQ(readAllFromFile(text), (std::vector<std::string>{std::string("ab\0cd", 5), "e"}));
}

// The lexical rules byte by byte, as a model for the reader's faster scanning.
std::vector<std::pair<std::string, int32_t>> modelWords(std::string_view in) {
    std::vector<std::pair<std::string, int32_t>> out;
    size_t i = 0;
    int32_t line = 1;
    const auto next = [&]() -> int {
        return i < in.size() ? static_cast<unsigned char>(in[i++]) : -1;
    };
    const auto hex = [](int c) {
        return c >= '0' && c <= '9'   ? c - '0'
               : c >= 'A' && c <= 'F' ? c - 'A' + 10
               : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                      : -1;
    };
    const auto delimiter = [](int c) { return c == ',' || c == '\n' || c == '\r'; };
    for (;;) {
        int c = next();
        while (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            line += c == '\n';
            c = next();
        }
        if (c < 0)
            return out;
        std::string word;
        const int32_t start = line;
        while (c >= 0 && !delimiter(c) && word.size() < STagReader::kMaxWordBytes) {
            if (c == '%') {
                const int h = next();
                const int l = h < 0 || delimiter(h) ? -1 : next();
                if (l < 0 || delimiter(l))
                    return out;
                word.push_back(static_cast<char>(hex(h) < 0   ? 0
                                                 : hex(l) < 0 ? hex(h)
                                                              : hex(h) * 16 + hex(l)));
            } else {
                word.push_back(static_cast<char>(c));
            }
            c = next();
        }
        line += c == '\n';
        out.emplace_back(std::move(word), start);
    }
}

std::vector<std::pair<std::string, int32_t>> readerWords(STagReader& reader) {
    std::vector<std::pair<std::string, int32_t>> out;
    std::string word;
    for (int32_t line; (line = reader.readWord(word)) >= 0;)
        out.emplace_back(word, line);
    return out;
}

std::vector<std::pair<std::string, int32_t>> readerViewWords(STagReader& reader) {
    std::vector<std::pair<std::string, int32_t>> out;
    std::string scratch;
    std::string_view word;
    for (int32_t line; (line = reader.readWordView(scratch, word)) >= 0;)
        out.emplace_back(std::string(word), line);
    return out;
}

// Random texts of short and long words, escapes and line ends, some over the file buffer size
// so that words cross refills, checked against the model from a string and from a file.
TEST(TagReader, MatchesTheByteByByteRules) {
    uint32_t seed = 12345;
    const auto rnd = [&seed](uint32_t n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % n;
    };
    static constexpr char kBytes[] = "abcXYZ:+-,,\n\r \t09AFaf";
    static constexpr char kEscaped[] = "0aFgZ9";
    for (int round = 0; round < 24; ++round) {
        std::string text;
        const size_t size = round % 4 == 0 ? 600000 : 200 + rnd(4000);
        while (text.size() < size) {
            const uint32_t kind = rnd(100);
            if (kind < 2)
                text.append(STagReader::kMaxWordBytes - 2 + rnd(5), 'w');
            else if (kind < 10)
                text.append(rnd(40), 'q');
            else if (kind < 16)
                text += {'%', kEscaped[rnd(6)], kEscaped[rnd(6)]};
            else
                text.push_back(kBytes[rnd(sizeof kBytes - 1)]);
        }
        const auto expected = modelWords(text);
        STagReader reader;
        reader.attachString(text);
        EXPECT_EQ(readerWords(reader), expected) << round;
        reader.attachString(text);
        EXPECT_EQ(readerViewWords(reader), expected) << round;
        std::FILE* f = std::tmpfile();
        std::fwrite(text.data(), 1, text.size(), f);
        std::rewind(f);
        reader.attachFile(f);
        EXPECT_EQ(readerWords(reader), expected) << round;
        std::rewind(f);
        reader.attachFile(f);
        EXPECT_EQ(readerViewWords(reader), expected) << round;
        std::fclose(f);
    }
}

// Skipping buffered bytes with their known line counts leaves the reader where reading their
// words would; marks tell the bytes read since, until the buffer is refilled.
TEST(TagReader, SkipBufferedAndMarks) {
    const std::string text = "x\na,b\r\nt,\nc,d";
    STagReader reader;
    reader.attachString(text);
    std::string word;
    ASSERT_EQ(reader.readWord(word), 1);
    const STagReader::Mark mark = reader.mark();
    EXPECT_EQ(reader.buffered(), "a,b\r\nt,\nc,d");
    reader.skipBuffered(7, 1, 1); // "a,b\r\nt,"
    EXPECT_EQ(reader.bytesSince(mark), "a,b\r\nt,");
    EXPECT_EQ(reader.line(), 3);
    EXPECT_EQ(reader.wordLine(), 3);
    EXPECT_EQ(readerWords(reader),
              (std::vector<std::pair<std::string, int32_t>>{{"c", 4}, {"d", 4}}));

    std::string big;
    while (big.size() < 300000)
        big += "word" + std::to_string(big.size()) + ",";
    std::FILE* f = std::tmpfile();
    std::fwrite(big.data(), 1, big.size(), f);
    std::rewind(f);
    reader.attachFile(f);
    ASSERT_EQ(reader.readWord(word), 1);
    const STagReader::Mark fileMark = reader.mark();
    EXPECT_EQ(reader.bytesSince(fileMark), "");
    while (reader.readWord(word) >= 0) {
    }
    EXPECT_EQ(reader.bytesSince(fileMark), ""); // refilled since
    std::fclose(f);
}

// A section taken whole gives the words the word rules give up to its closing word, and leaves
// the reader where they leave it; a section it declines leaves the reader untouched.
TEST(TagReader, LineSectionAgreesWithWordByWordReading) {
    const std::vector<std::string> pieces = {"N:P1",
                                             "M:12",
                                             "",
                                             "T:",
                                             "%41B",
                                             " X",
                                             "\tY",
                                             "+Q",
                                             "-Q",
                                             "-PIN",
                                             "A:\r\nB",
                                             "L:\n",
                                             "K:" + std::string(70, 'k'),
                                             "Z",
                                             std::string(2100, 'z'),
                                             ":x",
                                             "-",
                                             "M:" + std::string(9, '9')};
    std::mt19937 random(11);
    for (int round = 0; round < 6000; ++round) {
        std::string text = "S:1\n";
        const int count = static_cast<int>(random() % 60);
        for (int i = 0; i < count; ++i)
            text += pieces[random() % pieces.size()] + (random() % 9 == 0 ? "\r\n" : ",");
        text += random() % 2 ? "-PIN\r\nnext,x" : "-PIN";
        SCOPED_TRACE(text);

        STagReader byWords;
        byWords.attachString(text);
        std::string word;
        byWords.readWord(word); // "S:1"
        std::vector<std::string> expected;
        while (byWords.readWord(word) >= 0 && word.empty() | (word[0] != '-' && word[0] != '+')) {
            if (!word.empty())
                expected.push_back(word);
        }
        const bool closes = word == "-PIN";

        STagReader whole;
        whole.attachString(text);
        whole.readWord(word);
        const int32_t lineBefore = whole.line();
        const auto taken = whole.takeLineSection("-PIN");
        if (!taken) {
            STagReader untouched;
            untouched.attachString(text);
            untouched.readWord(word);
            std::string next;
            ASSERT_EQ(whole.line(), lineBefore);
            ASSERT_EQ(whole.readWord(next), untouched.readWord(word));
            ASSERT_EQ(next, word);
            continue;
        }
        ASSERT_TRUE(closes);
        ASSERT_EQ(std::vector<std::string>(taken->begin(), taken->end()), expected);
        ASSERT_EQ(whole.wordLine(), byWords.wordLine());
        ASSERT_EQ(whole.line(), byWords.line());
        std::string after;
        ASSERT_EQ(whole.readWord(after), byWords.readWord(word));
        ASSERT_EQ(after, word);
    }
}

TEST(TagReader, EndIsReportedAgain) {
    STagReader reader;
    reader.attachString("x");
    std::string word;
    EXPECT_EQ(reader.readWord(word), 1);
    EXPECT_EQ(reader.readWord(word), -1);
    EXPECT_EQ(reader.readWord(word), -1);
    EXPECT_TRUE(word.empty());
}

TEST(TagReader, SkipToFindsExactWord) {
    STagReader reader;
    reader.attachString("+X,-x,-Xa,-X,after");
    std::string word;
    ASSERT_EQ(reader.readWord(word), 1);
    EXPECT_EQ(reader.skipTo("-X"), 0);
    EXPECT_EQ(reader.readWord(word), 1);
    EXPECT_EQ(word, "after");
    EXPECT_EQ(reader.skipTo("-X"), -1);
}

TEST(TagWriter, EscapesAndSeparators) {
    std::string out;
    STagWriter writer;
    writer.attachString(&out);
    EXPECT_EQ(writer.writeWord("+PIN"), 0);
    EXPECT_EQ(writer.writeText("N", "x"), 0);
    EXPECT_EQ(writer.endLine(), 0);
    writer.writeWord("A B");
    writer.writeWord("50%");
    writer.writeWord("\t");
    writer.writeWord("");
    writer.writeWord("\x82\xa0\x7f");
    writer.writeInt("X", -5);
    writer.writeWord(std::string("a\0b", 3));
    writer.writeText("S", "x,y\r\n");
    writer.endLine();
    EXPECT_EQ(out, "+PIN,N:x\nA%20B,50%25,%09,,\x82\xa0\x7f,X:-5,a%00b,S:x%2Cy%0D%0A\n");
}

TEST(TagWriter, FilesGetCrLf) {
    std::FILE* f = std::tmpfile();
    STagWriter writer;
    writer.attachFile(f);
    writer.writeWord("+L");
    writer.writeInt("W", 2147483647);
    writer.endLine();
    writer.writeInt("X", -2147483647 - 1);
    writer.endLine();
    std::rewind(f);
    char buf[64] = {};
    const size_t n = std::fread(buf, 1, sizeof buf, f);
    std::fclose(f);
    EXPECT_EQ(std::string(buf, n), "+L,W:2147483647\r\nX:-2147483648\r\n");
}

// Short fields are checked eight bytes at a time: every byte at every place of such a field is
// escaped exactly as the byte-by-byte rule says.
TEST(TagWriter, EveryByteAtEveryPlaceOfAField) {
    const auto reference = [](std::string_view value) {
        std::string out = ",K:";
        for (const char c : value) {
            const auto u = static_cast<unsigned char>(c);
            if (u <= 0x20 || c == '%' || c == ',') {
                static constexpr char kHex[] = "0123456789ABCDEF";
                out += {'%', kHex[u >> 4], kHex[u & 15]};
            } else {
                out += c;
            }
        }
        return out;
    };
    for (int c = 0; c < 256; ++c) {
        for (size_t length = 1; length <= 17; ++length) {
            for (size_t at = 0; at < length; ++at) {
                std::string value(length, 'v');
                value[at] = static_cast<char>(c);
                std::string out;
                STagWriter writer;
                writer.attachString(&out, STagWriter::LineEnd::CrLf);
                writer.writeWord("+W");
                writer.writeText("K", value);
                writer.endLine();
                ASSERT_EQ(out, "+W" + reference(value) + "\r\n") << c << " " << length << " " << at;
            }
        }
    }
}

TEST(TagWriter, UnattachedWriterFails) {
    STagWriter writer;
    EXPECT_EQ(writer.writeWord("a"), -1);
    EXPECT_EQ(writer.endLine(), -1);
}

TEST(TagWriter, RoundTripsEveryByte) {
    std::string all;
    for (int c = 0; c < 256; ++c)
        all.push_back(static_cast<char>(c));
    std::string out;
    STagWriter writer;
    writer.attachString(&out);
    writer.writeWord(all);
    EXPECT_EQ(readAll(out), std::vector<std::string>{all});
}

struct IntCase {
    const char* text;
    int32_t value;
};

TEST(TagField, LenientIntegers) {
    const IntCase cases[] = {{"12", 12},
                             {"-5", -5},
                             {" +7x", 7},
                             {"", 0},
                             {"abc", 0},
                             {"-", 0},
                             {"3.9", 3},
                             {"2147483647", 2147483647},
                             {"2147483648", 2147483647},
                             {"-2147483648", -2147483647 - 1},
                             {"-99999999999999999999", -2147483647 - 1},
                             {"99999999999999999999999", 2147483647},
                             {"999999999", 999999999},
                             {"-999999999", -999999999},
                             {"1000000000", 1000000000},
                             {"-0", 0},
                             {"007", 7},
                             {"12 ", 12},
                             {"-+1", 0}};
    for (const auto& c : cases)
        EXPECT_EQ(STagField::toInt(c.text), c.value) << c.text;
}

TEST(TagField, SplitsAtFirstColon) {
    STagField f;
    ASSERT_TRUE(STagField::split("N:a:b", f));
    EXPECT_EQ(f.key, "N");
    EXPECT_EQ(f.value, "a:b");
    ASSERT_TRUE(STagField::split("K:", f));
    EXPECT_EQ(f.value, "");
    EXPECT_FALSE(STagField::split(":v", f));
    EXPECT_FALSE(STagField::split("novalue", f));
}

class AtomicFileTest : public testing::Test {
protected:
    void SetUp() override {
        m_dir = std::filesystem::temp_directory_path() /
                ("kx_atomic_" + std::to_string(reinterpret_cast<uintptr_t>(this)));
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }
    static std::string slurp(const std::filesystem::path& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    size_t fileCount() const {
        return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(m_dir), {}));
    }
    std::filesystem::path m_dir;
};

TEST_F(AtomicFileTest, CommitReplacesAndDiscardKeepsOldBytes) {
    const auto target = m_dir / "lib.km2";
    std::ofstream(target) << "old";
    {
        SAtomicFile file(target.string());
        ASSERT_TRUE(file.open());
        std::fputs("new", file.file());
        // Dropped without commit: the target keeps its bytes, no temporary file remains.
    }
    EXPECT_EQ(slurp(target), "old");
    EXPECT_EQ(fileCount(), 1u);
    SAtomicFile file(target.string());
    ASSERT_TRUE(file.open());
    std::fputs("new", file.file());
    ASSERT_TRUE(file.commit());
    EXPECT_EQ(slurp(target), "new");
    EXPECT_EQ(fileCount(), 1u);
}

TEST_F(AtomicFileTest, MissingFolderFailsCleanly) {
    SAtomicFile file((m_dir / "no" / "such" / "x.km2").string());
    EXPECT_FALSE(file.open());
    EXPECT_FALSE(file.commit());
}

} // namespace
