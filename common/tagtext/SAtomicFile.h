#pragma once

#include <cstdio>
#include <string>

// Writes a file so that the target is replaced only once every byte is on disk: the bytes go to
// a temporary file in the target's folder, which is renamed over the target on commit. Until
// then, and after any failure, the old target is untouched and no temporary file is left.
class SAtomicFile {
public:
    explicit SAtomicFile(std::string targetPath);
    ~SAtomicFile();
    SAtomicFile(const SAtomicFile&) = delete;
    SAtomicFile& operator=(const SAtomicFile&) = delete;

    // Creates the temporary file; false when the folder cannot take one.
    bool open();
    std::FILE* file() const { return m_file; }
    // Flushes, closes and renames; false (and the temporary file removed) on any error.
    bool commit();
    // Drops the temporary file without touching the target.
    void discard();

    const std::string& targetPath() const { return m_target; }

private:
    std::string m_target;
    std::string m_temp;
    std::FILE* m_file = nullptr;
};
