#pragma once

#include <cstdio>
#include <memory>
#include <string>

class STempFileCleanup;

// Writes a file so that the target is changed only once every byte is on disk: the bytes go to a
// temporary file in the target's folder, which is renamed over the target on commit. Until then,
// and after any failure, the old target is untouched and no temporary file is left, also when
// the process is stopped by SIGINT, SIGTERM or SIGHUP.
//
// The target is what a user points at, so it is treated with care: symbolic links are followed
// (also one whose file does not exist yet), a target that exists but is not a regular file, or
// that the user may not write, is refused before anything is created, and a target with several
// hard links keeps them: the finished text is copied into the existing file instead of renaming
// over it. Only in that case a failure part-way can damage the old bytes; commit() then says so.
class SAtomicFile {
public:
    explicit SAtomicFile(std::string targetPath);
    ~SAtomicFile();
    SAtomicFile(const SAtomicFile&) = delete;
    SAtomicFile& operator=(const SAtomicFile&) = delete;

    // Checks the target and creates the temporary file; false (see error()) when the target is
    // refused or the folder cannot take the file.
    bool open();
    std::FILE* file() const { return m_file; }
    // Flushes, closes and puts the bytes in place; false (and the temporary file removed) on any
    // error.
    bool commit();
    // Drops the temporary file without touching the target.
    void discard();

    // The file written: the target with its symbolic links resolved.
    const std::string& targetPath() const { return m_target; }

    // Why the last open() or commit() failed: an errno value, or kNotRegularFile.
    static constexpr int kNotRegularFile = -1;
    int error() const { return m_error; }
    // error() as a message ("Permission denied", "not a regular file", …).
    std::string errorText() const;
    // True when a failed commit() had begun to write into a hard-linked target.
    bool targetMayBeDamaged() const { return m_targetDamaged; }

private:
    bool checkTarget();
    bool createTemp();
    bool fail(int error);
    bool copyIntoTarget();

    std::string m_target;
    std::string m_temp;
    std::FILE* m_file = nullptr;
    std::unique_ptr<STempFileCleanup> m_cleanup;
    int m_error = 0;
    bool m_writeInPlace = false; // the target has other hard links
    bool m_targetDamaged = false;
};
