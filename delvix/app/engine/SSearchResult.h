#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// The path of a hit's file, shared by all hits of that file rather than copied into each. Reads
// as the path string itself.
class SResultPath {
public:
    SResultPath() = default;
    // For results made one at a time; the searcher shares one string among a file's hits.
    SResultPath(std::string path) : m_path(std::make_shared<const std::string>(std::move(path))) {}
    explicit SResultPath(std::shared_ptr<const std::string> path) : m_path(std::move(path)) {}

    const std::string& str() const { return m_path ? *m_path : empty(); }
    operator const std::string&() const { return str(); }
    operator std::string_view() const { return str(); }
    const std::shared_ptr<const std::string>& shared() const { return m_path; }

private:
    static const std::string& empty();

    std::shared_ptr<const std::string> m_path;
};

// One hit, handed to the consumer, who owns it from then on.
struct SSearchResult {
    SResultPath path;
    std::string text;
    std::string type;
    int32_t x = 0;
    int32_t y = 0;
};

// A file or folder the walk had to pass over. `line` is the line of a read error, else -1.
struct SSearchWarning {
    std::string path;
    std::string reason;
    int32_t line = -1;
};

// The type word of a found kind bit; empty for anything that is not a single target bit.
std::string_view searchTypeWord(int32_t kindBit);
