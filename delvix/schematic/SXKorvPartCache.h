#pragma once

#include <cstddef>
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
    };

    static SXKorvPartCache& forThisThread();

    // A disabled cache finds nothing and keeps nothing (tests compare reading without it).
    void setEnabled(bool enabled);
    bool isEnabled() const { return m_enabled; }

    // Null when these bytes were not read before.
    const Entry* find(std::string_view sectionBytes) const;
    void insert(std::string_view sectionBytes, Entry entry);

private:
    struct Hash {
        using is_transparent = void;
        size_t operator()(std::string_view bytes) const {
            return std::hash<std::string_view>{}(bytes);
        }
    };

    std::unordered_map<std::string, Entry, Hash, std::equal_to<>> m_entries;
    size_t m_keyBytes = 0;
    bool m_enabled = true;
};
