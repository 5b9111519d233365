#include "tagtext/SAtomicFile.h"

#include <cstdio>
#include <filesystem>
#include <random>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// A symbolic link is kept: the file it points at is the one replaced.
std::string resolvedTarget(const std::string& path) {
    std::error_code ec;
    if (fs::is_symlink(path, ec)) {
        const fs::path real = fs::weakly_canonical(path, ec);
        if (!ec)
            return real.string();
    }
    return path;
}

std::string randomSuffix(std::mt19937_64& rng) {
    static constexpr char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string s;
    for (int i = 0; i < 8; ++i)
        s.push_back(kChars[rng() % (sizeof kChars - 1)]);
    return s;
}

} // namespace

SAtomicFile::SAtomicFile(std::string targetPath) : m_target(resolvedTarget(targetPath)) {}

SAtomicFile::~SAtomicFile() {
    discard();
}

bool SAtomicFile::open() {
    discard();
    std::random_device seed;
    std::mt19937_64 rng((uint64_t{seed()} << 32) ^ seed());
    const fs::path target(m_target);
    for (int attempt = 0; attempt < 16; ++attempt) {
        // Hidden, beside the target, so the final rename stays within one file system.
        std::string name(1, '.');
        name.append(target.filename().string()).append(1, '.').append(randomSuffix(rng));
        name.append(".tmp");
        const fs::path temp = target.parent_path() / name;
        // "x": fail rather than reuse a file that happens to exist.
        m_file = std::fopen(temp.c_str(), "wbx");
        if (m_file) {
            m_temp = temp.string();
            return true;
        }
        std::error_code ec;
        if (fs::exists(temp, ec) == false)
            return false; // not a name clash: the folder cannot take the file
    }
    return false;
}

bool SAtomicFile::commit() {
    if (!m_file)
        return false;
    bool ok = std::fflush(m_file) == 0 && !std::ferror(m_file);
    ok = std::fclose(m_file) == 0 && ok;
    m_file = nullptr;
    if (ok) {
        std::error_code ec;
        const fs::perms perms = fs::status(m_target, ec).permissions();
        if (!ec && perms != fs::perms::unknown)
            fs::permissions(m_temp, perms, ec);
        ok = std::rename(m_temp.c_str(), m_target.c_str()) == 0;
    }
    if (!ok) {
        std::remove(m_temp.c_str());
    }
    m_temp.clear();
    return ok;
}

void SAtomicFile::discard() {
    if (m_file) {
        std::fclose(m_file);
        m_file = nullptr;
    }
    if (!m_temp.empty()) {
        std::remove(m_temp.c_str());
        m_temp.clear();
    }
}
