#include "SFileDescriptor.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <utility>

SFileDescriptor::~SFileDescriptor() {
    if (m_fd >= 0)
        ::close(m_fd);
}

SFileDescriptor::SFileDescriptor(SFileDescriptor&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)) {}

SFileDescriptor& SFileDescriptor::operator=(SFileDescriptor&& other) noexcept {
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

int SFileDescriptor::release() {
    return std::exchange(m_fd, -1);
}

SFileDescriptor SFileDescriptor::openFolder(const char* path) {
    return SFileDescriptor(::open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

SFileDescriptor SFileDescriptor::openIn(const SFileDescriptor& folder, const char* name) {
    return SFileDescriptor(::openat(folder.m_fd, name, O_RDONLY | O_CLOEXEC));
}

SFileDescriptor SFileDescriptor::openPath(const char* path) {
    return SFileDescriptor(::open(path, O_RDONLY | O_CLOEXEC));
}

SFileDescriptor SFileDescriptor::openFile(const SFileDescriptor* folder, const char* name,
                                          const std::string& path) {
    // A path too long for the system to take whole still fails as it always has.
    if (folder && path.size() < PATH_MAX)
        return openIn(*folder, name);
    return openPath(path.c_str());
}

ptrdiff_t SFileDescriptor::readFully(char* data, size_t size) const {
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::read(m_fd, data + done, size - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        done += static_cast<size_t>(n);
    }
    return static_cast<ptrdiff_t>(done);
}

bool SFileDescriptor::rewind() const {
    return ::lseek(m_fd, 0, SEEK_SET) == 0;
}

std::FILE* SFileDescriptor::toStream() {
    std::FILE* stream = ::fdopen(m_fd, "rb");
    if (stream)
        m_fd = -1;
    return stream;
}

bool SFileDescriptor::list(std::vector<SFolderEntry>& entries) const {
    // The listing reads through a copy, so that this descriptor stays open for openIn().
    const int copy = ::fcntl(m_fd, F_DUPFD_CLOEXEC, 0);
    if (copy < 0)
        return false;
    DIR* dir = ::fdopendir(copy);
    if (!dir) {
        const int error = errno;
        ::close(copy);
        errno = error;
        return false;
    }
    bool complete = true;
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir);
        if (!entry) {
            complete = errno == 0;
            break;
        }
        const char* name = entry->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
            continue;
        SFolderEntry::Kind kind = SFolderEntry::Kind::Other;
        if (entry->d_type == DT_DIR)
            kind = SFolderEntry::Kind::Folder;
        else if (entry->d_type == DT_REG)
            kind = SFolderEntry::Kind::RegularFile;
        else if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN)
            kind = SFolderEntry::Kind::Unknown;
        entries.push_back(SFolderEntry{name, kind});
    }
    const int error = errno;
    ::closedir(dir);
    errno = error;
    return complete;
}
