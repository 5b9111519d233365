// The writer's three targets must give the same bytes: a string and a file get each call's bytes
// at once, a store gets them in blocks, and fields are formed by different paths depending on
// their length. Every case here is written to all of them and compared with a reference.

#include "tagtext/STagWriter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

// One writer call: a word (`a`), a text field (`a`:`b`), a number field (`a`:`value`) or a line
// end.
struct Call {
    enum class Kind { Word, Text, Int, EndLine } kind;
    std::string a;
    std::string b;
    int32_t value = 0;
};

Call word(std::string text) {
    return {Call::Kind::Word, std::move(text), {}, 0};
}
Call text(std::string key, std::string value) {
    return {Call::Kind::Text, std::move(key), std::move(value), 0};
}
Call number(std::string key, int32_t value) {
    return {Call::Kind::Int, std::move(key), {}, value};
}
Call endLine() {
    return {Call::Kind::EndLine, {}, {}, 0};
}

// The escape rule written out byte by byte.
std::string escaped(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= 0x20 || c == '%' || c == ',')
            out += {'%', kHex[u >> 4], kHex[u & 15]};
        else
            out += c;
    }
    return out;
}

std::string reference(const std::vector<Call>& calls, std::string_view lineEnd) {
    std::string out;
    bool lineStart = true;
    const auto field = [&](const std::string& bytes) {
        out += lineStart ? "" : ",";
        out += bytes;
        lineStart = false;
    };
    for (const Call& call : calls) {
        switch (call.kind) {
        case Call::Kind::Word:
            field(escaped(call.a));
            break;
        case Call::Kind::Text:
            field(escaped(call.a) + ":" + escaped(call.b));
            break;
        case Call::Kind::Int:
            field(escaped(call.a) + ":" + std::to_string(call.value));
            break;
        case Call::Kind::EndLine:
            out += lineEnd;
            lineStart = true;
        }
    }
    return out;
}

// True when every call returned 0.
bool play(STagWriter& writer, const std::vector<Call>& calls) {
    bool ok = true;
    for (const Call& call : calls) {
        int rc = -1;
        switch (call.kind) {
        case Call::Kind::Word:
            rc = writer.writeWord(call.a);
            break;
        case Call::Kind::Text:
            rc = writer.writeText(call.a, call.b);
            break;
        case Call::Kind::Int:
            rc = writer.writeInt(call.a, call.value);
            break;
        case Call::Kind::EndLine:
            rc = writer.endLine();
        }
        ok = ok && rc == 0;
    }
    return ok;
}

struct Stored {
    std::string bytes;
    std::vector<size_t> blocks;
    bool ok = false;
};

Stored viaStore(const std::vector<Call>& calls, STagWriter::LineEnd lineEnd, size_t blockBytes) {
    Stored s;
    STagWriter writer;
    writer.attachStore(
        [&s](std::string_view bytes) {
            s.bytes += bytes;
            s.blocks.push_back(bytes.size());
            return true;
        },
        lineEnd, blockBytes);
    s.ok = play(writer, calls) && writer.flush() == 0;
    return s;
}

std::string viaFile(const std::vector<Call>& calls) {
    std::FILE* f = std::tmpfile();
    STagWriter writer;
    writer.attachFile(f);
    EXPECT_TRUE(play(writer, calls));
    std::string out(static_cast<size_t>(std::ftell(f)), '\0');
    std::rewind(f);
    EXPECT_EQ(std::fread(out.data(), 1, out.size(), f), out.size());
    std::fclose(f);
    return out;
}

// A text of `length` bytes with `special` at `at` (or none when at >= length).
std::string textWith(size_t length, size_t at, char special) {
    std::string text(length, 'v');
    for (size_t i = 0; i < length; ++i)
        text[i] = static_cast<char>('a' + i % 26);
    if (at < length)
        text[at] = special;
    return text;
}

// Lengths around every place where the writer changes how it forms a text.
const size_t kLengths[] = {0,  1,  2,  3,  4,  5,   6,   7,   8,   9,   15,  16,  17,
                           31, 63, 64, 65, 66, 127, 191, 192, 193, 194, 400, 5000};
const char kSpecials[] = {'\0', '\x01', ' ', '%', ',', '\x7f', '\x80', '\xff', '+', '-', ':'};

std::vector<Call> systematicCalls() {
    std::vector<Call> calls;
    for (const size_t length : kLengths) {
        for (const char special : kSpecials) {
            for (const size_t at : {size_t{0}, length / 2, length - 1, length}) {
                const std::string t = textWith(length, at, special);
                calls.push_back(word(t));
                calls.push_back(text("K", t));
                calls.push_back(text(t, "v"));
                calls.push_back(number(t, -17));
                calls.push_back(endLine());
            }
        }
    }
    for (const int32_t v : {0, 9, 10, -1, -9, 255, 2147483647, -2147483647 - 1})
        calls.push_back(number("X", v));
    calls.push_back(word(""));
    calls.push_back(text("", ""));
    calls.push_back(endLine());
    calls.push_back(word(""));
    calls.push_back(endLine());
    return calls;
}

std::vector<Call> randomCalls(unsigned seed, size_t count) {
    std::mt19937 rng(seed);
    const auto randomText = [&] {
        std::string text(kLengths[rng() % std::size(kLengths)], 'x');
        for (char& c : text)
            c = rng() % 8 == 0 ? static_cast<char>(rng()) : static_cast<char>('A' + rng() % 26);
        return text;
    };
    std::vector<Call> calls;
    for (size_t i = 0; i < count; ++i) {
        switch (rng() % 5) {
        case 0:
            calls.push_back(word(randomText()));
            break;
        case 1:
            calls.push_back(text(randomText().substr(0, 3), randomText()));
            break;
        case 2:
            calls.push_back(number("N", static_cast<int32_t>(rng())));
            break;
        default:
            calls.push_back(rng() % 2 ? endLine() : text("M", randomText()));
        }
    }
    return calls;
}

TEST(TagWriterTargets, StringFileAndStoreWriteTheSameBytes) {
    const struct {
        const char* name;
        std::vector<Call> calls;
    } scripts[] = {{"systematic", systematicCalls()},
                   {"random 1", randomCalls(1, 3000)},
                   {"random 2", randomCalls(2, 3000)}};
    for (const auto& script : scripts) {
        SCOPED_TRACE(script.name);
        for (const auto lineEnd : {STagWriter::LineEnd::Lf, STagWriter::LineEnd::CrLf}) {
            const bool crLf = lineEnd == STagWriter::LineEnd::CrLf;
            const std::string expected = reference(script.calls, crLf ? "\r\n" : "\n");
            std::string text;
            STagWriter writer;
            writer.attachString(&text, lineEnd);
            ASSERT_TRUE(play(writer, script.calls));
            ASSERT_EQ(text, expected) << "string, CR LF " << crLf;
            if (crLf) {
                ASSERT_EQ(viaFile(script.calls), expected) << "file";
            }
            for (const size_t block : {size_t{1}, size_t{5}, size_t{64}, size_t{193}, size_t{4096},
                                       STagWriter::kDefaultBlockBytes}) {
                const Stored stored = viaStore(script.calls, lineEnd, block);
                EXPECT_TRUE(stored.ok);
                ASSERT_EQ(stored.bytes, expected) << "store, block " << block << " CR LF " << crLf;
            }
        }
    }
}

// Fields straddle the block end at every offset; the store gets full blocks (the last one
// excepted) and never an empty one.
TEST(TagWriterTargets, FieldsAcrossBlockEnds) {
    std::vector<Call> calls;
    for (size_t length = 0; length < 80; ++length)
        calls.push_back(text("KEY", textWith(length, length / 3, length % 2 ? ',' : 'q')));
    calls.push_back(word(std::string(1000, '%')));
    calls.push_back(endLine());
    const std::string expected = reference(calls, "\r\n");
    for (size_t block = 1; block <= 70; ++block) {
        const Stored stored = viaStore(calls, STagWriter::LineEnd::CrLf, block);
        ASSERT_TRUE(stored.ok);
        ASSERT_EQ(stored.bytes, expected) << "block " << block;
        ASSERT_FALSE(stored.blocks.empty());
        for (size_t i = 0; i < stored.blocks.size(); ++i) {
            EXPECT_GT(stored.blocks[i], size_t{0});
            if (i + 1 < stored.blocks.size()) {
                EXPECT_GE(stored.blocks[i], block) << "block " << block << " piece " << i;
            }
        }
    }
}

// Whichever store fails, the call that hands it the bytes fails and so does every later one,
// the flush included: a file with a hole is never reported as written.
TEST(TagWriterTargets, FailedStoreFailsTheRest) {
    const std::vector<Call> calls = randomCalls(3, 400);
    const size_t blockBytes = 256;
    const size_t stores = viaStore(calls, STagWriter::LineEnd::CrLf, blockBytes).blocks.size();
    ASSERT_GT(stores, size_t{3});
    for (size_t failAt = 0; failAt < stores; ++failAt) {
        size_t storesMade = 0;
        STagWriter writer;
        writer.attachStore([&](std::string_view) { return storesMade++ != failAt; },
                           STagWriter::LineEnd::CrLf, blockBytes);
        const bool played = play(writer, calls);
        const int flushed = writer.flush();
        EXPECT_FALSE(played && flushed == 0) << "fail at " << failAt;
        EXPECT_EQ(flushed, -1);
        EXPECT_EQ(storesMade, failAt + 1) << "no store after the failed one";
        EXPECT_EQ(writer.writeWord("x"), -1);
        EXPECT_EQ(writer.endLine(), -1);
    }
}

TEST(TagWriterTargets, NoTargetAndReattaching) {
    STagWriter writer;
    EXPECT_EQ(writer.flush(), -1);
    writer.attachStore(STagWriter::Store{});
    EXPECT_EQ(writer.writeInt("X", 1), -1);
    EXPECT_EQ(writer.flush(), -1);

    writer.attachStore([](std::string_view) { return false; });
    EXPECT_EQ(writer.writeWord("a"), 0); // formed, not yet handed on
    EXPECT_EQ(writer.flush(), -1);
    // A new target starts afresh: no failure and no bytes carried over.
    std::string text;
    writer.attachString(&text);
    EXPECT_EQ(writer.writeWord("b"), 0);
    EXPECT_EQ(writer.writeText("K", "v"), 0);
    EXPECT_EQ(writer.flush(), 0);
    EXPECT_EQ(text, "b,K:v");
}

} // namespace
