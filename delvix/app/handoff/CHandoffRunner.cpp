#include "handoff/CHandoffRunner.h"

#include "handoff/CPeerTransport.h"

#include <chrono>

CHandoffRunner::CHandoffRunner(std::string editorProgram)
    : m_program(std::move(editorProgram)), m_thread([this] { loop(); }) {}

CHandoffRunner::~CHandoffRunner() {
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
        m_pending.reset();
    }
    m_changed.notify_all();
    m_thread.join();
}

void CHandoffRunner::showHit(std::string path, int32_t x, int32_t y) {
    {
        std::lock_guard lock(m_mutex);
        m_pending = Hit{std::move(path), x, y};
    }
    m_changed.notify_all();
}

bool CHandoffRunner::waitIdle(int timeoutMs) {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                              [this] { return !m_busy && !m_pending; });
}

std::optional<SHandoffOutcome> CHandoffRunner::lastOutcome() const {
    std::lock_guard lock(m_mutex);
    return m_last;
}

void CHandoffRunner::loop() {
    CPeerTransport transport;
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_quit || m_pending; });
        if (m_quit)
            return;
        const Hit hit = std::move(*m_pending);
        m_pending.reset();
        m_busy = true;
        lock.unlock();
        const SHandoffOutcome outcome =
            SHandoff::showHit(transport, m_program, hit.path, hit.x, hit.y);
        lock.lock();
        m_busy = false;
        m_last = outcome;
        m_changed.notify_all();
    }
}
