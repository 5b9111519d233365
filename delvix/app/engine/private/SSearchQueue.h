#pragma once

#include "engine/SFileSearcher.h"
#include "engine/SFolderWalker.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>

// The walk items between the walk and their delivery, numbered in walk order. Workers finish
// them in any order; they are handed on strictly in order, by whichever worker finished the
// oldest one, one worker at a time. At most a fixed window of items is in flight.
class SSearchQueue {
public:
    struct Slot {
        SWalkItem item;
        SFileOutcome outcome;
        bool done = false;
    };

    explicit SSearchQueue(const std::atomic<bool>& stop) : m_stop(stop) {}

    // Empties the queue for a new search with room for `window` items.
    void reset(size_t window);
    // Waits until there is room or the search stops; false when it stopped.
    bool waitForRoom();
    // Adds the next walk item; its number comes back.
    uint64_t push(SWalkItem item);
    // Records the outcome of item `seq`. When it was the oldest one and nobody is delivering,
    // delivers it and every finished one behind it, calling `deliver` outside the lock.
    void finish(uint64_t seq, SFileOutcome outcome, const std::function<void(Slot&)>& deliver);
    // Wakes every waiter (the search stops).
    void wakeAll();

private:
    bool stopped() const { return m_stop.load(); }

    const std::atomic<bool>& m_stop;
    std::mutex m_mutex;
    std::condition_variable m_room; // the window has room again, or the search stops
    std::deque<Slot> m_window;
    size_t m_windowSize = 0;
    uint64_t m_firstSeq = 0;   // number of m_window.front()
    bool m_delivering = false; // one worker at a time talks to the sink
};
