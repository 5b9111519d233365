#include "find.h"

#include "CliOutput.h"
#include "SFindCommandLine.h"
#include "engine/SDocFileSearcher.h"
#include "engine/SResultLine.h"
#include "engine/SSearchEngine.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace {

constexpr char kFindUsage[] =
    "usage: delvix-cli find [OPTIONS] TEXT FOLDER\n"
    "       delvix-cli find [OPTIONS] -e TEXT FOLDER\n"
    "\n"
    "Searches the schematic files (*.kx2) of FOLDER and its subfolders for texts that match\n"
    "TEXT, and writes one line per hit, in walk order:\n"
    "    PATH<TAB>TEXT<TAB>TYPE<TAB>X<TAB>Y\n"
    "Bytes below 0x20, the byte 0x7F and % in PATH and TEXT are written as % and two\n"
    "upper-case hex digits (TAB as %09, LF as %0A, ESC as %1B, % as %25); all other bytes\n"
    "are written as they are. An empty TEXT finds nothing.\n"
    "\n"
    "Options:\n"
    "  -e TEXT            search for TEXT even if it starts with '-' (as in -e -12V)\n"
    "  --                 ends the options: TEXT and FOLDER follow, as in -- -5V FOLDER\n"
    "  --whole            the whole text must equal TEXT (default)\n"
    "  --partial          TEXT may be any part of the text\n"
    "  --case             letters must match in case (default)\n"
    "  --ignore-case      ASCII letters match in either case\n"
    "  --recursive        search subfolders too, except those starting with '.' (default)\n"
    "  --no-subfolders    search FOLDER only\n"
    "  --targets LIST     texts to compare, from tag,label,comment,value,lib,ref,mfr,mfrpn,\n"
    "                     pkg,note (default: all)\n"
    "  --jobs N           files searched at once (default: one per hardware thread)\n"
    "  --encoding NAME    UTF-8 or Shift_JIS (also cp1252; default: from the locale)\n"
    "  --no-prefilter     read every file into a document, even files that cannot hold a\n"
    "                     match (so that every unreadable file is reported)\n"
    "  --no-scanner       read every searched file into a document instead of taking its\n"
    "                     texts with the faster search-only scanner (same results; for\n"
    "                     comparison)\n"
    "  -h, --help         show this help\n"
    "\n"
    "Files that cannot be read are reported on standard error as\n"
    "    delvix-cli: skipped PATH: REASON\n"
    "Exit status: 0 at least one hit, 1 no hit, 2 error (missing folder, usage, output\n"
    "that could not be written).\n";

// Writes hits to standard output and skipped files to standard error.
class CliSink : public SSearchSink {
public:
    bool anyHit() const { return m_hits > 0; }

    void searchResult(std::unique_ptr<SSearchResult> r) override {
        ++m_hits;
        m_line.clear();
        SResultLine::append(m_line, r->path, r->text, r->type, r->x, r->y);
        std::fwrite(m_line.data(), 1, m_line.size(), stdout);
    }

    void searchWarning(const SSearchWarning& w) override {
        m_line = "delvix-cli: skipped ";
        SResultLine::appendEscaped(m_line, w.path);
        m_line += ": ";
        if (w.line >= 0)
            m_line += "line " + std::to_string(w.line) + ": ";
        SResultLine::appendEscaped(m_line, w.reason);
        m_line.push_back('\n');
        std::fflush(stdout); // keeps both streams in walk order when they share a terminal
        std::fwrite(m_line.data(), 1, m_line.size(), stderr);
    }

    void searchFinished(bool) override {}

private:
    size_t m_hits = 0;
    std::string m_line;
};

int usageError(const std::string& message) {
    std::fprintf(stderr, "delvix-cli find: %s\n\n%s", message.c_str(), kFindUsage);
    return 2;
}

// The folder must exist and be listable; anything below it is only warned about.
bool checkFolder(const std::string& folder) {
    struct stat status {};
    if (::stat(folder.c_str(), &status) != 0) {
        const int error = errno;
        if (error == ENOENT)
            std::fprintf(stderr, "delvix-cli: %s: no such folder\n", folder.c_str());
        else
            std::fprintf(stderr, "delvix-cli: %s: %s\n", folder.c_str(), std::strerror(error));
        return false;
    }
    if (!S_ISDIR(status.st_mode)) {
        std::fprintf(stderr, "delvix-cli: %s: %s\n", folder.c_str(), std::strerror(ENOTDIR));
        return false;
    }
    std::error_code ec;
    std::filesystem::directory_iterator probe(folder, ec);
    if (ec) {
        std::fprintf(stderr, "delvix-cli: %s: cannot open folder: %s\n", folder.c_str(),
                     ec.message().c_str());
        return false;
    }
    return true;
}

} // namespace

int runFind(int argc, char** argv) {
    SFindCommandLine commandLine;
    switch (commandLine.parse(argc, argv)) {
    case SFindCommandLine::Outcome::Help:
        return writeStandardOutput(kFindUsage, "delvix-cli find") ? 0 : 2;
    case SFindCommandLine::Outcome::Error:
        return usageError(commandLine.error());
    case SFindCommandLine::Outcome::Search:
        break;
    }
    const SSearchParams& params = commandLine.params();
    if (!checkFolder(params.folder))
        return 2;
    if (params.pattern.empty()) {
        std::fputs("delvix-cli find: an empty search text finds nothing\n", stderr);
        return 1;
    }
    static char outputBuffer[1 << 16];
    std::setvbuf(stdout, outputBuffer, _IOFBF, sizeof outputBuffer);
    CliSink sink;
    SSearchEngine engine(std::make_shared<SDocFileSearcher>());
    engine.run(params, sink);
    if (!finishStandardOutput("delvix-cli find"))
        return 2;
    return sink.anyHit() ? 0 : 1;
}
