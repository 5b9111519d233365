#pragma once

// Small helpers shared by the fuzz targets (header-only; not a library of its own).

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include <unistd.h>

namespace kxfuzz {

inline std::string_view asText(const uint8_t* data, size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// The in-memory readers stop at the first NUL, as a clipboard text would.
inline std::string_view upToNul(std::string_view text) {
    const size_t nul = text.find('\0');
    return nul == std::string_view::npos ? text : text.substr(0, nul);
}

// A property violation: abort so that libFuzzer keeps the input as a crash.
inline void require(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "fuzz property violated: %s\n", what);
        std::abort();
    }
}

// Two texts that must be equal; on a difference both are shown from the first differing line.
inline void requireSame(std::string_view a, std::string_view b, const char* what) {
    if (a == b)
        return;
    size_t at = 0;
    while (at < a.size() && at < b.size() && a[at] == b[at])
        ++at;
    const size_t from = a.rfind('\n', at) == std::string_view::npos ? 0 : a.rfind('\n', at) + 1;
    std::fprintf(stderr, "first:\n%.*s\nsecond:\n%.*s\n",
                 static_cast<int>(std::min<size_t>(a.size() - from, 400)), a.data() + from,
                 static_cast<int>(std::min<size_t>(b.size() - from, 400)), b.data() + from);
    require(false, what);
}

// One private folder per process for targets that must go through real files; removed at exit.
class TempDir {
public:
    TempDir() {
        const char* shm = "/dev/shm";
        const std::filesystem::path base =
            std::filesystem::is_directory(shm) ? shm : std::filesystem::temp_directory_path();
        std::string templ = (base / "kxfuzz.XXXXXX").string();
        if (::mkdtemp(templ.data()))
            m_path = templ;
    }
    ~TempDir() {
        std::error_code ec;
        if (!m_path.empty())
            std::filesystem::remove_all(m_path, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    bool valid() const { return !m_path.empty(); }
    std::string file(std::string_view name) const { return m_path + "/" + std::string(name); }

    static TempDir& instance() {
        static TempDir dir;
        return dir;
    }

private:
    std::string m_path;
};

inline bool writeFile(const std::string& path, std::string_view bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

inline bool readFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        bytes.append(buf, n);
    const bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

} // namespace kxfuzz
