#pragma once

#include "SFileSearcher.h"
#include "SFolderWalker.h"
#include "SSearchParams.h"
#include "SSearchSink.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// Searches a folder tree: one walk, files read and searched on a pool of workers, and everything
// delivered to the sink in walk order and find order, exactly as one worker would deliver it.
// At most a fixed window of files is in flight, so memory does not grow with the tree.
class SSearchEngine {
public:
    // `searcher` does the work on each file (SDocFileSearcher reads schematic documents).
    explicit SSearchEngine(std::shared_ptr<const SFileSearcher> searcher);
    // Stops a running search and waits for it.
    ~SSearchEngine();
    SSearchEngine(const SSearchEngine&) = delete;
    SSearchEngine& operator=(const SSearchEngine&) = delete;

    // Searches on the calling thread, which also makes every sink call. False when a search is
    // already running on this engine.
    bool run(const SSearchParams& params, SSearchSink& sink);
    // The same on a thread of its own. Refused while an earlier search has not been waited for.
    bool start(const SSearchParams& params, SSearchSink& sink);
    // Joins the thread of start(); returns at once when there is none.
    void wait();

    // May be called from any thread, the sink's included. Workers finish at most the file in
    // hand, and no sink call begins after this returns (but searchFinished).
    void requestStop();
    bool isFinished() const { return m_finished.load(); }

    // Threads used for `jobs` (0: one per hardware thread).
    static unsigned workerCount(unsigned jobs);

private:
    // One walk item in flight, numbered in walk order.
    struct Slot {
        SWalkItem item;
        SFileOutcome outcome;
        bool done = false;
    };

    void runSearch(const SSearchParams& params, SSearchSink& sink);
    void workerLoop(const SSearchParams& params);
    // Hands the finished head of the window to the sink; false once stopped.
    bool deliverReady(std::unique_lock<std::mutex>& lock, SSearchSink& sink);
    void deliver(Slot& slot, SSearchSink& sink);
    bool stopped() const { return m_stop.load(); }

    std::shared_ptr<const SFileSearcher> m_searcher;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_finished{false};
    std::atomic<bool> m_running{false};
    std::thread m_thread;

    // Shared between the walking thread and the workers, guarded by m_mutex.
    std::mutex m_mutex;
    std::condition_variable m_workReady;
    std::condition_variable m_slotDone;
    std::deque<Slot> m_window;
    uint64_t m_firstSeq = 0;  // number of m_window.front()
    uint64_t m_nextClaim = 0; // next number a worker takes
    bool m_quit = false;
};
