#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

// An open file or folder of the system, closed with its owner. The search holds each folder
// open while its files are searched and opens them relative to it, so a file's path is not
// looked up again component by component, and reads them with plain reads into its own buffers.
// A folder entry as listed ("." and ".." are left out).
struct SFolderEntry {
    enum class Kind { Folder, RegularFile, Other, Unknown }; // Unknown: a link, or not told
    std::string name;
    Kind kind;
};

class SFileDescriptor {
public:
    SFileDescriptor() = default;
    explicit SFileDescriptor(int fd) : m_fd(fd) {}
    ~SFileDescriptor();
    SFileDescriptor(SFileDescriptor&& other) noexcept;
    SFileDescriptor& operator=(SFileDescriptor&& other) noexcept;
    SFileDescriptor(const SFileDescriptor&) = delete;
    SFileDescriptor& operator=(const SFileDescriptor&) = delete;

    bool isOpen() const { return m_fd >= 0; }
    int get() const { return m_fd; }
    // Gives up ownership.
    int release();

    // Opens a folder for listing and for opening its files; errno tells why not.
    static SFileDescriptor openFolder(const char* path);
    // Opens `name` within `folder` for reading; errno tells why not.
    static SFileDescriptor openIn(const SFileDescriptor& folder, const char* name);
    // Opens a file by its path for reading; errno tells why not.
    static SFileDescriptor openPath(const char* path);
    // Opens `name` in `folder` when there is one, else `path` (the folder's path and `name`).
    static SFileDescriptor openFile(const SFileDescriptor* folder, const char* name,
                                    const std::string& path);

    // Reads `size` bytes, fewer only at the end of the file; -1 on a read error (errno set).
    ptrdiff_t readFully(char* data, size_t size) const;
    // Back to the first byte; false on failure (errno set).
    bool rewind() const;
    // A read stream that takes over the descriptor; null (errno set, still owned) on failure.
    std::FILE* toStream();
    // Lists an open folder; false when the listing broke off (errno set; what was listed is
    // kept).
    bool list(std::vector<SFolderEntry>& entries) const;

private:
    int m_fd = -1;
};
