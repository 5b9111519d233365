#pragma once

#include "protocol/SHandoff.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

// Runs hand-offs on a thread of its own so that a slow or starting editor never blocks the
// window. A hit clicked while another is on its way replaces any that still waits.
class CHandoffRunner {
public:
    explicit CHandoffRunner(std::string editorProgram);
    // Waits for the hand-off in progress (each of its steps is bounded).
    ~CHandoffRunner();
    CHandoffRunner(const CHandoffRunner&) = delete;
    CHandoffRunner& operator=(const CHandoffRunner&) = delete;

    void showHit(std::string path, int32_t x, int32_t y);
    // True when nothing is queued or running within `timeoutMs`.
    bool waitIdle(int timeoutMs);
    // How the last finished hand-off ended.
    std::optional<SHandoffOutcome> lastOutcome() const;
    const std::string& editorProgram() const { return m_program; }

private:
    struct Hit {
        std::string path;
        int32_t x = 0;
        int32_t y = 0;
    };
    void loop();

    const std::string m_program;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::optional<Hit> m_pending;
    bool m_busy = false;
    bool m_quit = false;
    std::optional<SHandoffOutcome> m_last;
    std::thread m_thread;
};
