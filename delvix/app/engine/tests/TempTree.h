#pragma once

#include <atomic>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

// A folder tree under the system temp folder, removed again at the end of the test.
class TempTree {
public:
    TempTree() {
        static std::atomic<int> counter{0};
        std::random_device seed;
        m_root = std::filesystem::temp_directory_path() /
                 ("kx_search_" + std::to_string(seed()) + "_" + std::to_string(++counter));
        std::filesystem::create_directories(m_root);
    }
    ~TempTree() {
        std::error_code ec;
        restorePermissions(m_root);
        std::filesystem::remove_all(m_root, ec);
    }
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    std::string root() const { return m_root.string(); }
    std::string path(const std::string& rel) const { return (m_root / rel).string(); }

    // Writes a file (creating its folders) with the given bytes.
    void file(const std::string& rel, const std::string& bytes = "") const {
        const std::filesystem::path p = m_root / rel;
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << bytes;
    }
    void folder(const std::string& rel) const { std::filesystem::create_directories(m_root / rel); }

private:
    static void restorePermissions(const std::filesystem::path& p) {
        std::error_code ec;
        std::filesystem::permissions(p, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        if (!std::filesystem::is_directory(std::filesystem::symlink_status(p, ec)))
            return;
        for (const auto& e : std::filesystem::directory_iterator(p, ec))
            restorePermissions(e.path());
    }

    std::filesystem::path m_root;
};
