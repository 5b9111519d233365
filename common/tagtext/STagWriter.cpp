#include "tagtext/STagWriter.h"

#include "SByteLanes.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>

namespace {

// 0x01-0x20, "%" and "," are escaped. NUL is escaped too so that no byte of a value is lost.
constexpr std::array<bool, 256> kEscaped = [] {
    std::array<bool, 256> t{};
    for (int c = 0; c <= 0x20; ++c)
        t[c] = true;
    t['%'] = true;
    t[','] = true;
    return t;
}();

// True when no byte of `text` needs an escape. Eight bytes at a time for longer texts: every
// byte of a saved file passes here.
bool isPlain(std::string_view text) {
    if (text.size() < 16) {
        bool escaped = false;
        for (const char c : text)
            escaped |= kEscaped[static_cast<unsigned char>(c)];
        return !escaped;
    }
    using namespace SByteLanes;
    size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        uint64_t x;
        std::memcpy(&x, text.data() + i, 8);
        if (below(x, 0x21) | equal(x, '%') | equal(x, ','))
            return false;
    }
    for (; i < text.size(); ++i) {
        if (kEscaped[static_cast<unsigned char>(text[i])])
            return false;
    }
    return true;
}

} // namespace

bool STagWriter::attachFile(std::FILE* file) {
    m_file = file;
    m_target = nullptr;
    m_lineEnd = "\r\n";
    m_lineStart = true;
    return true;
}

bool STagWriter::attachString(std::string* target, LineEnd lineEnd) {
    m_file = nullptr;
    m_target = target;
    m_lineEnd = lineEnd == LineEnd::CrLf ? "\r\n" : "\n";
    m_lineStart = true;
    return true;
}

int STagWriter::put(std::string_view bytes) {
    if (m_target) {
        m_target->append(bytes);
        return 0;
    }
    if (m_file && std::fwrite(bytes.data(), 1, bytes.size(), m_file) == bytes.size())
        return 0;
    return -1;
}

int STagWriter::separate() {
    if (m_lineStart) {
        m_lineStart = false;
        return 0;
    }
    return put(",");
}

int STagWriter::putEscaped(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    size_t runStart = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (!kEscaped[c])
            continue;
        const char escape[3] = {'%', kHex[c >> 4], kHex[c & 15]};
        if (put(text.substr(runStart, i - runStart)) < 0 || put({escape, 3}) < 0)
            return -1;
        runStart = i + 1;
    }
    return put(text.substr(runStart));
}

int STagWriter::writeWord(std::string_view text) {
    return separate() < 0 ? -1 : putEscaped(text);
}

int STagWriter::endLine() {
    m_lineStart = true;
    return put(m_lineEnd);
}

int STagWriter::writeInt(std::string_view key, int32_t value) {
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    const std::string_view number(digits, static_cast<size_t>(end - digits));
    if (putPlainField(key, number, true))
        return 0;
    return writeText(key, number);
}

int STagWriter::writeText(std::string_view key, std::string_view value) {
    if (putPlainField(key, value, false))
        return 0;
    if (separate() < 0 || putEscaped(key) < 0 || put(":") < 0)
        return -1;
    return putEscaped(value);
}

// Most fields are short and need no escape: they go out in one piece.
bool STagWriter::putPlainField(std::string_view key, std::string_view value, bool plainValue) {
    char word[kPlainFieldBytes];
    if (!m_target || key.size() + value.size() + 2 > sizeof word)
        return false;
    if (!isPlain(key) || (!plainValue && !isPlain(value)))
        return false;
    size_t n = 0;
    if (!m_lineStart)
        word[n++] = ',';
    m_lineStart = false;
    std::memcpy(word + n, key.data(), key.size());
    n += key.size();
    word[n++] = ':';
    if (!value.empty())
        std::memcpy(word + n, value.data(), value.size());
    m_target->append(word, n + value.size());
    return true;
}
