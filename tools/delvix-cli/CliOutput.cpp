#include "CliOutput.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

bool reportWriteError(const char* who, int error) {
    if (error != 0)
        std::fprintf(stderr, "%s: cannot write to standard output: %s\n", who,
                     std::strerror(error));
    else
        std::fprintf(stderr, "%s: cannot write to standard output\n", who);
    return false;
}

} // namespace

bool writeStandardOutput(std::string_view text, const char* who) {
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size())
        return reportWriteError(who, errno);
    return finishStandardOutput(who);
}

bool finishStandardOutput(const char* who) {
    errno = 0;
    if (std::fflush(stdout) != 0 || std::ferror(stdout))
        return reportWriteError(who, errno);
    return true;
}
