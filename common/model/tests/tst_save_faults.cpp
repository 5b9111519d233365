// Saving when writing fails part-way: the save must say so, the old file must keep its bytes, no
// temporary file may stay behind, and a later save must work.

#include "model/SCompLib.h"
#include "tagtext/STagReader.h"
#include "tagtext/STagWriter.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// A library text with every kind of record: patterns with bit patterns and objects, pins with
// several blocks, aliases. `components` of them make about 300 bytes each.
std::string libraryText(int components) {
    std::string text = "+KORVX_LIB_V.1.0\nPROP:fault test\n";
    for (int i = 0; i < components; ++i) {
        const std::string n = "PART" + std::to_string(i);
        text += "+PTN,N:" + n + ",X:21,Y:11\n+BMP\nOO@@\n@OO@\n-BMP\n";
        text += "+L,W:1,S:0,X:0,Y:0,X:20,Y:10,-L\n+TX,X:1,Y:1,A:0,D:1,S:" + n +
                ",FN:,FS:10,FF:,-TX\n-PTN\n";
        text += "+COMP,N:" + n + "\nX:2,Y:1,B:2\nR:U\nP:" + n + "\n";
        text += "+PIN,N:A,L:L0,T:N,M:1,M:2,-PIN\n+PIN,N:B,L:R0,T:,M:3,M:4,-PIN\n";
        text += "NOTE:note%20" + n + ",MFR:M,MFRPN:P,PKG:DIP,-COMP\n";
        if (i % 3 == 0)
            text += "+ALIAS,A:" + n + "-ALT,N:" + n + ",-ALIAS\n";
    }
    return text + "-KORVX_LIB_V.1.0\n";
}

std::unique_ptr<SCompLib> libraryOf(std::string_view text) {
    auto lib = std::make_unique<SCompLib>();
    STagReader reader;
    reader.attachString(text);
    std::string word;
    reader.readWord(word);
    EXPECT_TRUE(lib->readBlocks(reader, false));
    return lib;
}

std::vector<const SCompIndex*> orderOf(const SCompLib& lib) {
    std::vector<const SCompIndex*> order;
    for (const auto& e : lib.entries())
        order.push_back(e.get());
    return order;
}

// The bytes a save stores: the library text with CR LF line ends.
std::string savedBytes(const SCompLib& lib) {
    std::string text;
    STagWriter writer;
    writer.attachString(&text);
    EXPECT_TRUE(lib.write(writer, orderOf(lib)));
    std::string crlf;
    for (const char c : text) {
        if (c == '\n')
            crlf += '\r';
        crlf += c;
    }
    return crlf;
}

std::string fileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void putFile(const fs::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> folderEntries(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    return names;
}

class ScratchDir {
public:
    explicit ScratchDir(const char* base = nullptr) {
        std::string templ =
            (fs::path(base ? base : fs::temp_directory_path().c_str()) / "kx_save_faults.XXXXXX")
                .string();
        if (::mkdtemp(templ.data()))
            m_path = templ;
    }
    ~ScratchDir() {
        std::error_code ec;
        if (!m_path.empty())
            fs::remove_all(m_path, ec);
    }
    const fs::path& path() const { return m_path; }

private:
    fs::path m_path;
};

// An output that accepts `budget` bytes and then fails every write.
struct FailingSink {
    size_t budget = 0;
    size_t taken = 0;

    static ssize_t write(void* cookie, const char* /*buf*/, size_t size) {
        auto* sink = static_cast<FailingSink*>(cookie);
        const size_t room = sink->budget - sink->taken;
        const size_t n = size < room ? size : room;
        sink->taken += n;
        return static_cast<ssize_t>(n); // 0 is the stream's failure
    }
    std::FILE* open(bool buffered) {
        const cookie_io_functions_t io{nullptr, &FailingSink::write, nullptr, nullptr};
        std::FILE* f = fopencookie(this, "w", io);
        if (f && !buffered)
            std::setvbuf(f, nullptr, _IONBF, 0);
        return f;
    }
};

// The process may write files of at most `bytes` bytes while this lives; the signal that the
// limit would raise is ignored so that writes fail with an error instead.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limited = m_old;
        limited.rlim_cur = bytes;
        m_ok = setrlimit(RLIMIT_FSIZE, &limited) == 0;
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    bool ok() const { return m_ok; }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
    bool m_ok = false;
};

TEST(SaveFaults, EveryFailedByteIsReported) {
    const auto lib = libraryOf(libraryText(3));
    const std::string bytes = savedBytes(*lib);
    for (const bool buffered : {false, true}) {
        for (size_t budget = 0; budget <= bytes.size(); ++budget) {
            FailingSink sink{budget};
            std::FILE* f = sink.open(buffered);
            ASSERT_NE(f, nullptr);
            STagWriter writer;
            writer.attachFile(f);
            bool failed = !lib->write(writer, orderOf(*lib));
            // A buffered stream may only notice at the flush, which the file saver checks.
            if (buffered)
                failed = std::fflush(f) != 0 || std::ferror(f) || failed;
            std::fclose(f);
            EXPECT_EQ(failed, budget < bytes.size())
                << "budget " << budget << " of " << bytes.size() << " buffered " << buffered;
        }
    }
}

TEST(SaveFaults, FileSizeLimitKeepsTheOldFile) {
    const auto big = libraryOf(libraryText(2500)); // some 700 KiB: several large writes
    const auto small = libraryOf(libraryText(2));
    const std::string bigBytes = savedBytes(*big);
    ASSERT_GT(bigBytes.size(), size_t{600000});
    const std::string old = "+KORVX_LIB_V.1.0\r\nPROP:old\r\n-KORVX_LIB_V.1.0\r\n";
    const struct {
        rlim_t limit;
        bool oldFile;
    } cases[] = {{0, true},      {1, true},       {4096, true},
                 {262144, true}, {262145, false}, {bigBytes.size() - 1, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "limit " << c.limit << " old file " << c.oldFile);
        ScratchDir dir;
        ASSERT_FALSE(dir.path().empty());
        const fs::path target = dir.path() / "lib.KM2";
        if (c.oldFile)
            putFile(target, old);
        bool saved;
        {
            FileSizeLimit limit(c.limit);
            ASSERT_TRUE(limit.ok());
            saved = big->save(target.string());
        }
        EXPECT_FALSE(saved);
        if (c.oldFile) {
            EXPECT_EQ(fileBytes(target), old);
            EXPECT_EQ(folderEntries(dir.path()), std::vector<std::string>{"lib.KM2"});
        } else {
            EXPECT_TRUE(folderEntries(dir.path()).empty());
        }
        EXPECT_TRUE(small->save(target.string()));
        EXPECT_EQ(fileBytes(target), savedBytes(*small));
        EXPECT_TRUE(big->save(target.string()));
        EXPECT_EQ(fileBytes(target), bigBytes);
        EXPECT_EQ(folderEntries(dir.path()), std::vector<std::string>{"lib.KM2"});
    }
}

TEST(SaveFaults, MissingFolderFailsCleanly) {
    const auto lib = libraryOf(libraryText(1));
    ScratchDir dir;
    EXPECT_FALSE(lib->save((dir.path() / "no such folder" / "lib.KM2").string()));
    EXPECT_TRUE(folderEntries(dir.path()).empty());
}

// Runs in a child with a private mount namespace, so that nothing of the small file system can
// outlive the test. Exit 0: passed; 77: no file system could be mounted; otherwise failed.
int fullFileSystemScenario(const SCompLib& big, const SCompLib& small) {
    if (unshare(CLONE_NEWNS) != 0 || mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr))
        return 77;
    ScratchDir dir;
    if (dir.path().empty() ||
        mount("tmpfs", dir.path().c_str(), "tmpfs", 0, "size=64k,mode=0700") != 0)
        return 77;
    const fs::path target = dir.path() / "lib.KM2";
    const std::string old = "+KORVX_LIB_V.1.0\r\nPROP:old\r\n-KORVX_LIB_V.1.0\r\n";
    putFile(target, old);
    int failures = 0;
    const auto check = [&](bool ok, const char* what) {
        if (!ok) {
            std::fprintf(stderr, "full file system: %s\n", what);
            ++failures;
        }
    };
    check(!big.save(target.string()), "a save that did not fit reported success");
    check(fileBytes(target) == old, "the old file lost its bytes");
    check(folderEntries(dir.path()) == std::vector<std::string>{"lib.KM2"},
          "a temporary file was left behind");
    check(small.save(target.string()), "a save that fits failed");
    check(fileBytes(target) == savedBytes(small), "the saved file has other bytes");
    umount2(dir.path().c_str(), MNT_DETACH);
    return failures == 0 ? 0 : 1;
}

TEST(SaveFaults, FullFileSystemKeepsTheOldFile) {
    const auto big = libraryOf(libraryText(800)); // far more than the 64 KiB file system
    const auto small = libraryOf(libraryText(2));
    std::fflush(nullptr);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0)
        _exit(fullFileSystemScenario(*big, *small));
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 77)
        GTEST_SKIP() << "no private tmpfs can be mounted here";
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

} // namespace
