#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

// Turns words into a byte stream: comma-separated, bytes that would break the syntax escaped
// as "%XX". Files get CR LF line ends, in-memory texts bare LF unless asked for CR LF.
//
// Every call forms its bytes in the writer's own buffer, which keeps room to spare so that a
// short field is formed in place without growth checks. A string or file gets the bytes at the
// end of each call; a store gets them a block at a time.
class STagWriter {
public:
    enum class LineEnd { Lf, CrLf };
    // Takes formed bytes; false when they could not all be stored.
    using Store = std::function<bool(std::string_view bytes)>;

    static constexpr size_t kDefaultBlockBytes = size_t{1} << 16;

    STagWriter();
    ~STagWriter();
    // The writer points into its own buffer.
    STagWriter(const STagWriter&) = delete;
    STagWriter& operator=(const STagWriter&) = delete;

    bool attachFile(std::FILE* file);
    // CR LF for a text that is stored as a file as it is.
    bool attachString(std::string* target, LineEnd lineEnd = LineEnd::Lf);
    // Hands `store` the bytes formed once there are at least `blockBytes` (a few hundred more at
    // most); flush() hands on the rest. After a failed store, as after a failed file write,
    // every later call fails: the stream already has a hole.
    bool attachStore(Store store, LineEnd lineEnd = LineEnd::CrLf,
                     size_t blockBytes = kDefaultBlockBytes);

    // Each returns 0, or -1 at the first byte that could not be put.
    int writeWord(std::string_view text);
    int endLine();
    int writeInt(std::string_view key, int32_t value);
    int writeText(std::string_view key, std::string_view value);
    // Hands on the bytes formed but not yet stored (nothing to do for a string or file).
    int flush();

private:
    enum class Sink { None, String, File, Store };

    // Texts are escaped a piece of this many bytes at a time.
    static constexpr size_t kPieceBytes = 64;
    // Spare room after the block: at least one piece escaped with a comma and a colon, or one
    // short field formed in place (up to 16 bytes of key and value each, or a number).
    static constexpr size_t kSpareBytes = 3 * kPieceBytes + 16;

    void attach(Sink sink, LineEnd lineEnd, size_t blockBytes);
    bool ready() const { return m_sink != Sink::None && !m_failed; }
    // Where the next word starts: after a comma unless it is the line's first. The comma is
    // formed already and taken with the word.
    char* wordStart() {
        *m_out = ',';
        return m_out + (m_lineStart ? 0 : 1);
    }
    // Takes the bytes formed up to `end` as the next word.
    int takeWord(char* end);
    // Forms any text, escaped, a piece at a time.
    int putPieces(std::string_view text);
    // The general paths, for words and fields that are long or need escapes.
    int writeAnyWord(std::string_view text);
    int writeAnyField(std::string_view key, std::string_view value);
    // Ends a call: hands on the bytes once the block is full (for a string or file: always).
    int finish() { return m_out < m_flushAt ? 0 : flushBlock(); }
    int flushBlock();
    bool storeBytes(std::string_view bytes);

    Sink m_sink = Sink::None;
    std::FILE* m_file = nullptr;
    std::string* m_target = nullptr;
    Store m_store;
    bool m_failed = false;
    char m_lineEnd[2] = {'\n', '\n'};
    size_t m_lineEndBytes = 1;
    bool m_lineStart = true;

    std::unique_ptr<char[]> m_buffer;
    size_t m_capacity = 0;
    char* m_out = nullptr;     // where the next byte goes
    char* m_flushAt = nullptr; // the block is handed on once m_out reaches this
};
