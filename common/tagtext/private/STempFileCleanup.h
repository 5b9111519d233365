#pragma once

#include <string>

// Removes temporary files of unfinished saves when the process is stopped by SIGINT, SIGTERM or
// SIGHUP. While at least one path is registered our handler is installed; it unlinks every
// registered path (unlink is async-signal-safe), puts the previous handlers back and raises the
// signal again, so the process ends (or the previous handler runs) as it would have without us.
// When the last path is released the previous handlers are restored.
class STempFileCleanup {
public:
    // Registers `path`; false when every slot is taken or the path is too long (the save still
    // works, only without cleanup on a signal).
    explicit STempFileCleanup(const std::string& path);
    ~STempFileCleanup();
    STempFileCleanup(const STempFileCleanup&) = delete;
    STempFileCleanup& operator=(const STempFileCleanup&) = delete;

    bool registered() const { return m_slot >= 0; }

private:
    int m_slot = -1;
};
