#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// Turns a byte stream (an open file or an in-memory text) into words: runs of bytes up to a
// comma or line end, leading whitespace dropped, "%XX" escapes decoded.
class STagReader {
public:
    static constexpr size_t kMaxWordBytes = 32768;

    // The word syntax, for code that looks at raw bytes without reading words: the bytes that
    // end a word, and the byte an escape "%" `high` `low` stands for (neither a delimiter).
    // Hexadecimal reading stops at the first non-digit; no digits give 0.
    static constexpr bool isDelimiter(int c) { return c == ',' || c == '\n' || c == '\r'; }
    static constexpr int hexDigitValue(int c) {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        return -1;
    }
    static constexpr unsigned char escapedByte(int high, int low) {
        const int h = hexDigitValue(high);
        if (h < 0)
            return 0;
        const int l = hexDigitValue(low);
        return static_cast<unsigned char>(l < 0 ? h : h * 16 + l);
    }

    STagReader();
    ~STagReader();
    STagReader(const STagReader&) = delete;
    STagReader& operator=(const STagReader&) = delete;

    // The caller opens and closes the file; it is read through a large buffer from its current
    // position on.
    bool attachFile(std::FILE* file);
    // The text ends at its first NUL (or at the end of the view); it must outlive the reading.
    bool attachString(const char* text);
    bool attachString(std::string_view text);

    // The line on which the word starts, or -1 at the end of the input or on a broken escape.
    int32_t readWord(std::string& word);
    // readWord without a copy: a word that needs no decoding is a view into the input, valid
    // until the next read; any other is decoded into `scratch`, which `word` then views.
    int32_t readWordView(std::string& scratch, std::string_view& word);
    // Reads words until one equals `word`: 0 when found (it is consumed), -1 at the end.
    int32_t skipTo(std::string_view word);
    // The word that closes a section opened by `opening` ("+X" → "-X").
    static std::string closingWordOf(std::string_view opening) {
        std::string closing(opening);
        if (!closing.empty())
            closing[0] = '-';
        return closing;
    }

    // A reading position. It stays valid while the buffer is not refilled.
    struct Mark {
        const char* cur = nullptr;
        int32_t line = 0;
        uint64_t fills = 0;
    };
    Mark mark() const { return {m_cur, m_line, m_fills}; }
    // The raw bytes read since the mark; empty when it is no longer valid.
    std::string_view bytesSince(const Mark& mark) const;
    // The bytes already buffered ahead of the reading position (for a text: the rest of it).
    std::string_view buffered() const { return {m_cur, static_cast<size_t>(m_end - m_cur)}; }
    // Moves past the first `bytes` of buffered() as reading their words would: the caller knows,
    // from reading the same bytes before, how many lines they end and on which of those lines
    // the last word began.
    void skipBuffered(size_t bytes, int32_t lines, int32_t lastWordLines);

    // A section whose words all stand on the rest of the current line, each plain (no escape, no
    // blank before it) and opening no nested section, taken in one go up to and including its
    // closing word `closing`: its words, empty ones left out, as views valid until the next
    // read. Nothing is consumed and nothing returned for any other section, or one of more than
    // kMaxSectionWords words or kMaxSectionBytes bytes: the caller then reads it word by word,
    // which gives the same words. Short records are most of a library file.
    static constexpr size_t kMaxSectionWords = 48;
    static constexpr size_t kMaxSectionBytes = 2048;
    std::optional<std::span<const std::string_view>> takeLineSection(std::string_view closing);

    int32_t line() const { return m_line; }
    // The line on which the last word read started: where a reader that fails says it failed.
    int32_t wordLine() const { return m_wordLine; }
    // True when the attached file reported a read error (as opposed to its end).
    bool hasReadError() const { return m_readError; }

private:
    int next();
    int firstByte();
    bool scanPlainWord(std::string_view& word);
    int32_t readDecodedWord(int c, int32_t startLine, std::string& word);
    bool refill();
    void appendPlainRun(std::string& word);

    std::FILE* m_file = nullptr;
    std::unique_ptr<char[]> m_buffer;
    const char* m_cur = nullptr;
    const char* m_end = nullptr;
    int32_t m_line = 1;
    int32_t m_wordLine = 0;
    uint64_t m_fills = 0; // buffer refills so far: marks from before a refill are stale
    bool m_readError = false;
    std::unique_ptr<std::string_view[]> m_sectionWords; // for takeLineSection
};
