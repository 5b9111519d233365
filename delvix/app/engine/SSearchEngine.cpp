#include "engine/SSearchEngine.h"

#include <algorithm>

namespace {

// Files in flight per worker: enough to keep workers busy behind one slow file.
constexpr size_t kWindowPerWorker = 8;
constexpr unsigned kMaxWorkers = 256;

} // namespace

SSearchEngine::SSearchEngine(std::shared_ptr<const SFileSearcher> searcher)
    : m_searcher(std::move(searcher)) {}

SSearchEngine::~SSearchEngine() {
    requestStop();
    wait();
}

unsigned SSearchEngine::workerCount(unsigned jobs) {
    if (jobs > 0)
        return std::min(jobs, kMaxWorkers);
    return std::clamp(std::thread::hardware_concurrency(), 1u, kMaxWorkers);
}

bool SSearchEngine::run(const SSearchParams& params, SSearchSink& sink) {
    if (m_running.exchange(true))
        return false;
    m_stop = false;
    runSearch(params, sink);
    m_running = false;
    return true;
}

bool SSearchEngine::start(const SSearchParams& params, SSearchSink& sink) {
    if (m_thread.joinable() || m_running.exchange(true))
        return false;
    m_stop = false;
    m_thread = std::thread([this, params, &sink] {
        runSearch(params, sink);
        m_running = false;
    });
    return true;
}

void SSearchEngine::wait() {
    if (m_thread.joinable())
        m_thread.join();
}

void SSearchEngine::requestStop() {
    m_stop = true;
    std::lock_guard lock(m_mutex);
    m_room.notify_all();
}

void SSearchEngine::runSearch(const SSearchParams& params, SSearchSink& sink) {
    m_finished = false;
    const unsigned workers = workerCount(params.jobs);
    {
        std::lock_guard walkLock(m_walkMutex);
        m_walker =
            std::make_unique<SFolderWalker>(params.folder, params.includeSubfolders, &m_stop);
        m_walking = true;
    }
    {
        std::lock_guard lock(m_mutex);
        m_window.clear();
        m_windowSize = workers * kWindowPerWorker;
        m_firstSeq = 0;
        m_delivering = false;
    }
    std::vector<std::thread> pool;
    for (unsigned i = 1; i < workers; ++i)
        pool.emplace_back([this, &params, &sink] { workerLoop(params, sink); });
    workerLoop(params, sink);
    for (std::thread& t : pool)
        t.join();
    {
        std::lock_guard lock(m_mutex);
        m_window.clear(); // what a stop left undelivered
    }
    {
        std::lock_guard walkLock(m_walkMutex);
        m_walker.reset();
    }
    const bool wasStopped = stopped();
    m_finished = true;
    sink.searchFinished(wasStopped);
}

void SSearchEngine::workerLoop(const SSearchParams& params, SSearchSink& sink) {
    uint64_t seq = 0;
    SWalkItem item;
    while (takeNext(seq, item)) {
        SFileOutcome outcome;
        if (!item.isWarning())
            m_searcher->search(item.path, params, m_stop, outcome);
        finish(seq, std::move(outcome), sink);
    }
}

bool SSearchEngine::takeNext(uint64_t& seq, SWalkItem& item) {
    // Holding the walk lock keeps numbers in walk order.
    std::lock_guard walkLock(m_walkMutex);
    {
        std::unique_lock lock(m_mutex);
        m_room.wait(lock, [&] { return stopped() || m_window.size() < m_windowSize; });
    }
    if (stopped() || !m_walking)
        return false;
    if (!m_walker->next(item)) {
        m_walking = false;
        return false;
    }
    std::lock_guard lock(m_mutex);
    seq = m_firstSeq + m_window.size();
    m_window.push_back(Slot{item, {}, false});
    return true;
}

void SSearchEngine::finish(uint64_t seq, SFileOutcome outcome, SSearchSink& sink) {
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
        deliver(ready, sink);
        lock.lock();
    }
    m_delivering = false;
}

void SSearchEngine::deliver(Slot& slot, SSearchSink& sink) {
    if (slot.item.isWarning()) {
        if (!stopped())
            sink.searchWarning(SSearchWarning{slot.item.path, slot.item.reason, -1});
        return;
    }
    for (std::unique_ptr<SSearchResult>& result : slot.outcome.results) {
        if (stopped())
            return;
        sink.searchResult(std::move(result));
    }
    if (slot.outcome.warning && !stopped())
        sink.searchWarning(*slot.outcome.warning);
}
