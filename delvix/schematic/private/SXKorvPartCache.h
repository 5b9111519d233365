#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

class SCompInfo;

// Library parts already read, by the exact bytes of their embedded section. Sheets embed the
// same few parts in many components (and a project's sheets share them), and reading the same
// bytes always gives the same part: a read part is shared instead of read again. One cache per
// thread; it forgets everything when it grows past its limits.
class SXKorvPartCache {
public:
    static constexpr size_t kMaxEntries = 2048;
    static constexpr size_t kMaxKeyBytes = size_t{8} << 20;

    struct Entry {
        std::string libraryName;
        std::shared_ptr<const SCompInfo> part;
        int32_t lines = 0;         // line ends in the bytes
        int32_t lastWordLines = 0; // line ends before the closing word
    };

    static SXKorvPartCache& forThisThread();

    // A disabled cache finds nothing and keeps nothing (tests compare reading without it).
    void setEnabled(bool enabled);
    bool isEnabled() const { return m_enabled; }

    // The bytes of `ahead` up to and including the delimiter after the first `closing` in them:
    // where an embedded part most likely ends. Empty when there is none or the cache is off.
    // Reading decides where the part really ends; this only picks the bytes to look up.
    std::string_view sectionBytes(std::string_view ahead, std::string_view closing);
    // Null when these bytes were not read before.
    const Entry* find(std::string_view sectionBytes) const;
    // The part whose cached bytes start `ahead`, with `bytes` set to them; null when there is
    // none. No closing word need be looked for: reading is forward-only, so bytes that read as
    // a whole part do so whatever follows them.
    const Entry* findAtStart(std::string_view ahead, std::string_view& bytes) const;
    void insert(std::string_view sectionBytes, Entry entry);

private:
    struct Hash {
        using is_transparent = void;
        // Parts are a few KiB; their size and both ends tell them apart well enough, and the
        // map compares whole keys anyway.
        size_t operator()(std::string_view bytes) const {
            constexpr size_t kEnd = 256;
            if (bytes.size() <= 2 * kEnd)
                return std::hash<std::string_view>{}(bytes);
            const size_t head = std::hash<std::string_view>{}(bytes.substr(0, kEnd));
            const size_t tail = std::hash<std::string_view>{}(bytes.substr(bytes.size() - kEnd));
            return head ^ (tail * 31) ^ (bytes.size() * 0x9E3779B97F4A7C15u);
        }
    };

    using Map = std::unordered_map<std::string, Entry, Hash, std::equal_to<>>;
    // Parts are told apart by their first bytes; shorter ones are only found by find().
    static constexpr size_t kPrefixBytes = 64;
    static size_t prefixHash(std::string_view bytes);

    Map m_entries;
    // Elements of a node map stay where they are (unlike its iterators) until erased.
    std::unordered_multimap<size_t, const Map::value_type*> m_byPrefix;
    size_t m_keyBytes = 0;
    // The last scan for a closing word: no candidate from `from` up to `found` (or to the end of
    // the bytes). A scan starting inside that stretch reuses it, which keeps scanning linear
    // when closing words are written escaped. A stale scan can only miss the cache.
    const char* m_scanFrom = nullptr;
    const char* m_scanEnd = nullptr;
    const char* m_scanFound = nullptr;
    const char* m_scanFoundEnd = nullptr;
    bool m_enabled = true;
};
