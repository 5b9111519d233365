#include "STagReader.h"

#include <array>
#include <cstring>

namespace {

constexpr size_t kBufferBytes = 1 << 18;

constexpr bool isDelimiter(int c) { return c == ',' || c == '\n' || c == '\r'; }

// Bytes that stop a plain run: the delimiters and the escape character.
constexpr std::array<bool, 256> kStops = [] {
    std::array<bool, 256> t{};
    t[static_cast<unsigned char>(',')] = true;
    t[static_cast<unsigned char>('\n')] = true;
    t[static_cast<unsigned char>('\r')] = true;
    t[static_cast<unsigned char>('%')] = true;
    return t;
}();

int hexValue(int c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Hexadecimal reading stops at the first non-digit; no digits give 0.
char escapedByte(int high, int low) {
    const int h = hexValue(high);
    if (h < 0)
        return 0;
    const int l = hexValue(low);
    return static_cast<char>(l < 0 ? h : h * 16 + l);
}

} // namespace

STagReader::STagReader() = default;
STagReader::~STagReader() = default;

bool STagReader::attachFile(std::FILE* file) {
    m_file = file;
    if (!m_buffer)
        m_buffer = std::make_unique<char[]>(kBufferBytes);
    m_cur = m_end = m_buffer.get();
    m_line = 1;
    m_readError = false;
    return true;
}

bool STagReader::attachString(const char* text) {
    return attachString(std::string_view(text ? text : ""));
}

bool STagReader::attachString(std::string_view text) {
    m_file = nullptr;
    const void* nul = std::memchr(text.data(), 0, text.size());
    m_cur = text.data();
    m_end = nul ? static_cast<const char*>(nul) : text.data() + text.size();
    m_line = 1;
    m_readError = false;
    return true;
}

bool STagReader::refill() {
    if (!m_file)
        return false;
    const size_t n = std::fread(m_buffer.get(), 1, kBufferBytes, m_file);
    if (n == 0) {
        if (std::ferror(m_file))
            m_readError = true;
        return false;
    }
    m_cur = m_buffer.get();
    m_end = m_cur + n;
    return true;
}

inline int STagReader::next() {
    if (m_cur == m_end && !refill())
        return -1;
    return static_cast<unsigned char>(*m_cur++);
}

// Copies the plain bytes that follow in the buffer in one go; behaves as storing them one by one.
void STagReader::appendPlainRun(std::string& word) {
    const char* p = m_cur;
    const size_t room = kMaxWordBytes - word.size();
    const char* limit = static_cast<size_t>(m_end - p) > room ? p + room : m_end;
    while (p != limit && !kStops[static_cast<unsigned char>(*p)])
        ++p;
    word.append(m_cur, p);
    m_cur = p;
}

int32_t STagReader::readWord(std::string& word) {
    word.clear();
    int c;
    for (;;) {
        c = next();
        if (c < 0)
            return -1;
        if (c == '\n')
            ++m_line;
        else if (c != ' ' && c != '\t' && c != '\r')
            break;
    }
    const int32_t startLine = m_line;
    m_wordLine = startLine;
    while (!isDelimiter(c) && word.size() < kMaxWordBytes) {
        if (c == '%') {
            const int high = next();
            if (high < 0 || isDelimiter(high))
                return -1;
            const int low = next();
            if (low < 0 || isDelimiter(low))
                return -1;
            word.push_back(escapedByte(high, low));
        } else {
            word.push_back(static_cast<char>(c));
            appendPlainRun(word);
        }
        c = next();
        if (c < 0)
            return startLine;
    }
    // The byte that ended the word (a delimiter, or the one past the size limit) is consumed.
    if (c == '\n')
        ++m_line;
    return startLine;
}

int32_t STagReader::skipTo(std::string_view target) {
    std::string word;
    while (readWord(word) >= 0) {
        if (word == target)
            return 0;
    }
    return -1;
}
