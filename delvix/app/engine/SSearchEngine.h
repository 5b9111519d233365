#pragma once

#include "engine/SFileSearcher.h"
#include "engine/SFolderWalker.h"
#include "engine/SSearchParams.h"
#include "engine/SSearchSink.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

class SSearchQueue;

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

    // Searches on the calling thread and jobs - 1 more; sink calls come from any of them, one
    // at a time. False when a search is already running on this engine.
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
    void runSearch(const SSearchParams& params, SSearchSink& sink);
    // Each worker takes the next walk item, searches it, and if it was the oldest one still
    // undelivered, delivers it and whatever finished behind it.
    void workerLoop(const SSearchParams& params, SSearchSink& sink);
    // The next item of the walk with its number; false when the walk is over or stopped.
    bool takeNext(uint64_t& seq, SWalkItem& item);
    void finish(uint64_t seq, SFileOutcome outcome, SSearchSink& sink);
    bool stopped() const { return m_stop.load(); }

    std::shared_ptr<const SFileSearcher> m_searcher;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_finished{false};
    std::atomic<bool> m_running{false};
    std::thread m_thread;

    // The walk, taken one item at a time by whichever worker is free.
    std::mutex m_walkMutex;
    std::unique_ptr<SFolderWalker> m_walker;
    bool m_walking = false;

    // Items between walk and delivery.
    std::unique_ptr<SSearchQueue> m_queue;
};
