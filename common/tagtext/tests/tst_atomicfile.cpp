// What a save may do to the file a user points at: refuse what is not a regular file or may not
// be written, keep hard links and symbolic links, leave no temporary file behind on a signal.

#include "tagtext/SAtomicFile.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr uid_t kNobody = 65534;

std::string bytesOf(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void putFile(const fs::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
}

// Opens, writes and commits `bytes`; returns the error (0 on success).
int save(const fs::path& target, const std::string& bytes) {
    SAtomicFile file(target.string());
    if (!file.open())
        return file.error();
    std::fputs(bytes.c_str(), file.file());
    return file.commit() ? 0 : file.error();
}

class AtomicTarget : public testing::Test {
protected:
    void SetUp() override {
        std::string templ = (fs::temp_directory_path() / "kx_atomic_target.XXXXXX").string();
        ASSERT_NE(::mkdtemp(templ.data()), nullptr);
        m_dir = templ;
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(m_dir, ec);
    }
    // Names in the folder other than `keep`: temporary files left behind.
    int strayFiles(const std::string& keep) const {
        int n = 0;
        for (const auto& e : fs::directory_iterator(m_dir))
            n += e.path().filename() != keep;
        return n;
    }
    fs::path m_dir;
};

TEST_F(AtomicTarget, NonRegularTargetsAreRefusedAndKept) {
    const fs::path fifo = m_dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    const fs::path folder = m_dir / "folder";
    fs::create_directory(folder);
    const fs::path socketPath = m_dir / "sock";
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr = {};
    addr.sun_family = AF_UNIX;
    socketPath.string().copy(addr.sun_path, sizeof addr.sun_path - 1);
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    const struct {
        fs::path path;
        fs::file_type type;
        int error;
    } cases[] = {
        {fifo, fs::file_type::fifo, SAtomicFile::kNotRegularFile},
        {folder, fs::file_type::directory, EISDIR},
        {socketPath, fs::file_type::socket, SAtomicFile::kNotRegularFile},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(save(c.path, "new"), c.error) << c.path;
        EXPECT_EQ(fs::symlink_status(c.path).type(), c.type) << c.path;
    }
    ::close(sock);
    EXPECT_EQ(SAtomicFile("x").errorText(), "Success");
}

// Root may write anything, so the check runs in a child that has become nobody.
TEST_F(AtomicTarget, ReadOnlyFileIsRefusedWithPermissionDenied) {
    const fs::path target = m_dir / "readonly.KM2";
    putFile(target, "old");
    ::chmod(target.c_str(), 0444);
    ::chmod(m_dir.c_str(), 0777); // the folder allows a rename: only the file's mode forbids
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
            std::_Exit(3);
        SAtomicFile file(target.string());
        const bool refused =
            !file.open() && file.error() == EACCES && file.errorText() == "Permission denied";
        std::_Exit(refused ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 3)
        GTEST_SKIP() << "cannot switch to the user nobody to test a read-only target";
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(bytesOf(target), "old");
    EXPECT_EQ(strayFiles("readonly.KM2"), 0);
}

TEST_F(AtomicTarget, HardLinksKeepSharingTheNewBytes) {
    const fs::path target = m_dir / "lib.KM2";
    const fs::path other = m_dir / "other-name.KM2";
    putFile(target, "old bytes, longer than the new ones");
    fs::create_hard_link(target, other);
    ASSERT_EQ(save(target, "new"), 0);
    EXPECT_EQ(bytesOf(target), "new");
    EXPECT_EQ(bytesOf(other), "new");
    EXPECT_TRUE(fs::equivalent(target, other));
    EXPECT_EQ(fs::hard_link_count(target), 2u);
    EXPECT_EQ(fs::file_size(target), 3u);
}

TEST_F(AtomicTarget, SymbolicLinksAreFollowedAlsoWhenDangling) {
    const struct {
        const char* link;
        const char* points;
        bool exists;
    } cases[] = {{"to-existing", "existing.KM2", true}, {"to-missing", "missing.KM2", false}};
    for (const auto& c : cases) {
        if (c.exists)
            putFile(m_dir / c.points, "old");
        fs::create_symlink(c.points, m_dir / c.link);
        ASSERT_EQ(save(m_dir / c.link, "new"), 0) << c.link;
        EXPECT_TRUE(fs::is_symlink(m_dir / c.link)) << c.link;
        EXPECT_EQ(bytesOf(m_dir / c.points), "new") << c.link;
    }
}

TEST_F(AtomicTarget, StopSignalsRemoveTheTemporaryFile) {
    for (const int sig : {SIGINT, SIGTERM}) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            SAtomicFile file((m_dir / "lib.KM2").string());
            if (!file.open())
                std::_Exit(1);
            std::fputs("half", file.file());
            std::fflush(file.file());
            ::raise(sig);
            std::_Exit(2); // not reached: the default action ends the process
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sig) << sig;
        EXPECT_EQ(strayFiles(""), 0) << sig;
    }
}

void countSignal(int) {}

TEST_F(AtomicTarget, PreviousSignalHandlersAreBackAfterASave) {
    struct sigaction mine = {};
    mine.sa_handler = countSignal;
    struct sigaction old = {};
    ASSERT_EQ(::sigaction(SIGTERM, &mine, &old), 0);
    ASSERT_EQ(save(m_dir / "lib.KM2", "x"), 0);
    struct sigaction now = {};
    ::sigaction(SIGTERM, nullptr, &now);
    EXPECT_EQ(now.sa_handler, &countSignal);
    ::sigaction(SIGTERM, &old, nullptr);
}

TEST_F(AtomicTarget, FailuresKeepTheirCause) {
    EXPECT_EQ(save(m_dir / "no" / "such" / "x.KM2", "x"), ENOENT);
    putFile(m_dir / "file", "");
    EXPECT_EQ(save(m_dir / "file" / "x.KM2", "x"), ENOTDIR);
}

} // namespace
