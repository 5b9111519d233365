#include "tagtext/SAtomicFile.h"

#include "STempFileCleanup.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr int kMaxLinkHops = 40; // as the kernel allows before ELOOP
constexpr int kNameAttempts = 16;
constexpr size_t kCopyBytes = size_t{1} << 20;

// Follows symbolic links to the file they name, also when that file does not exist yet (a
// dangling link is saved through, not replaced). 0 or an errno value.
int resolveLinks(std::string& path) {
    for (int hops = 0; hops < kMaxLinkHops; ++hops) {
        struct stat st = {};
        if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return 0;
        std::error_code ec;
        fs::path link = fs::read_symlink(path, ec);
        if (ec)
            return ec.value();
        if (link.is_relative())
            link = fs::path(path).parent_path() / link;
        path = link.string();
    }
    return ELOOP;
}

std::string randomSuffix(std::mt19937_64& rng) {
    static constexpr char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string s;
    for (int i = 0; i < 8; ++i)
        s.push_back(kChars[rng() % (sizeof kChars - 1)]);
    return s;
}

// Keeps errno across cleanup calls, so a message names the first cause.
void removeKeepingErrno(const std::string& path) {
    const int saved = errno;
    unlink(path.c_str());
    errno = saved;
}

bool writeAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

} // namespace

SAtomicFile::SAtomicFile(std::string targetPath) : m_target(std::move(targetPath)) {}

SAtomicFile::~SAtomicFile() {
    discard();
}

std::string SAtomicFile::errorText() const {
    if (m_error == kNotRegularFile)
        return "not a regular file";
    return std::strerror(m_error);
}

bool SAtomicFile::fail(int error) {
    m_error = error ? error : EIO;
    errno = m_error > 0 ? m_error : EINVAL;
    return false;
}

bool SAtomicFile::open() {
    discard();
    m_error = 0;
    m_targetDamaged = false;
    m_writeInPlace = false;
    if (const int err = resolveLinks(m_target))
        return fail(err);
    return checkTarget() && createTemp();
}

bool SAtomicFile::checkTarget() {
    struct stat st = {};
    if (stat(m_target.c_str(), &st) != 0)
        return errno == ENOENT ? true : fail(errno); // ENOENT: a new file
    if (S_ISDIR(st.st_mode))
        return fail(EISDIR);
    // Devices, FIFOs and sockets are never replaced by a regular file (nor written to).
    if (!S_ISREG(st.st_mode))
        return fail(kNotRegularFile);
    // As cp does: a file the user may not write is not replaced, even when its folder allows it.
    if (access(m_target.c_str(), W_OK) != 0)
        return fail(errno);
    m_writeInPlace = st.st_nlink > 1;
    return true;
}

bool SAtomicFile::createTemp() {
    std::random_device seed;
    std::mt19937_64 rng((uint64_t{seed()} << 32) ^ seed());
    const fs::path target(m_target);
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        // Hidden, beside the target, so the final rename stays within one file system.
        std::string name(1, '.');
        name.append(target.filename().string()).append(1, '.').append(randomSuffix(rng));
        name.append(".tmp");
        const std::string temp = (target.parent_path() / name).string();
        // O_EXCL: fail rather than reuse a file that happens to exist.
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return fail(errno);
        }
        m_temp = temp;
        m_cleanup = std::make_unique<STempFileCleanup>(m_temp);
        m_file = fdopen(fd, "wb");
        if (!m_file) {
            const int err = errno;
            ::close(fd);
            discard();
            return fail(err);
        }
        return true;
    }
    return fail(EEXIST);
}

bool SAtomicFile::commit() {
    if (!m_file)
        return fail(EBADF);
    bool ok = std::fflush(m_file) == 0 && !std::ferror(m_file);
    int err = ok ? 0 : (errno ? errno : EIO);
    if (std::fclose(m_file) != 0 && ok) {
        ok = false;
        err = errno;
    }
    m_file = nullptr;
    if (ok && m_writeInPlace) {
        ok = copyIntoTarget();
        err = errno;
    } else if (ok) {
        struct stat st = {};
        if (stat(m_target.c_str(), &st) == 0)
            chmod(m_temp.c_str(), st.st_mode & 07777);
        ok = std::rename(m_temp.c_str(), m_target.c_str()) == 0;
        err = errno;
    }
    if (!ok || m_writeInPlace)
        removeKeepingErrno(m_temp);
    m_temp.clear();
    m_cleanup.reset();
    return ok ? true : fail(err);
}

// Copies the finished temporary file into the target over its old bytes, then cuts the target to
// the new length: its inode, and so every other name of it, stays.
bool SAtomicFile::copyIntoTarget() {
    const int from = ::open(m_temp.c_str(), O_RDONLY | O_CLOEXEC);
    if (from < 0)
        return false;
    const int to = ::open(m_target.c_str(), O_WRONLY | O_CLOEXEC);
    if (to < 0) {
        const int err = errno;
        ::close(from);
        errno = err;
        return false;
    }
    std::vector<char> buffer(kCopyBytes);
    off_t total = 0;
    bool ok = true;
    for (;;) {
        const ssize_t n = read(from, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        m_targetDamaged = true; // from the first write on, the old bytes are being replaced
        if (!writeAll(to, buffer.data(), static_cast<size_t>(n))) {
            ok = false;
            break;
        }
        total += n;
    }
    ok = ok && ftruncate(to, total) == 0;
    const int err = errno;
    if (::close(to) != 0 && ok)
        ok = false;
    else
        errno = err;
    ::close(from);
    if (ok)
        m_targetDamaged = false;
    return ok;
}

void SAtomicFile::discard() {
    if (m_file) {
        std::fclose(m_file);
        m_file = nullptr;
    }
    if (!m_temp.empty()) {
        removeKeepingErrno(m_temp);
        m_temp.clear();
    }
    m_cleanup.reset();
}
