#include "SSearchQueue.h"

void SSearchQueue::reset(size_t window) {
    std::lock_guard lock(m_mutex);
    m_window.clear();
    m_windowSize = window;
    m_firstSeq = 0;
    m_delivering = false;
}

bool SSearchQueue::waitForRoom() {
    std::unique_lock lock(m_mutex);
    m_room.wait(lock, [&] { return stopped() || m_window.size() < m_windowSize; });
    return !stopped();
}

uint64_t SSearchQueue::push(SWalkItem item) {
    std::lock_guard lock(m_mutex);
    const uint64_t seq = m_firstSeq + m_window.size();
    m_window.push_back(Slot{std::move(item), {}, false});
    return seq;
}

void SSearchQueue::finish(uint64_t seq, SFileOutcome outcome,
                          const std::function<void(Slot&)>& deliver) {
    std::unique_lock lock(m_mutex);
    Slot& slot = m_window[seq - m_firstSeq];
    slot.outcome = std::move(outcome);
    slot.done = true;
    // Only the oldest undelivered item can be delivered; whoever finishes it delivers it and
    // every finished one behind it. A worker already delivering picks this one up itself.
    if (m_delivering || seq != m_firstSeq)
        return;
    m_delivering = true;
    while (!stopped() && !m_window.empty() && m_window.front().done) {
        Slot ready = std::move(m_window.front());
        m_window.pop_front();
        ++m_firstSeq;
        m_room.notify_all();
        lock.unlock();
        deliver(ready);
        lock.lock();
    }
    m_delivering = false;
}

void SSearchQueue::wakeAll() {
    std::lock_guard lock(m_mutex);
    m_room.notify_all();
}
