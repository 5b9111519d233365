#include "engine/SSearchEngine.h"

#include "SSearchQueue.h"

#include <algorithm>
#include <vector>

namespace {

// Files in flight per worker: enough to keep workers busy behind one slow file.
constexpr size_t kWindowPerWorker = 8;
constexpr unsigned kMaxWorkers = 256;

void deliver(SSearchQueue::Slot& slot, SSearchSink& sink, const std::atomic<bool>& stop) {
    if (slot.item.isWarning()) {
        if (!stop.load())
            sink.searchWarning(SSearchWarning{slot.item.path, slot.item.reason, -1});
        return;
    }
    for (std::unique_ptr<SSearchResult>& result : slot.outcome.results) {
        if (stop.load())
            return;
        sink.searchResult(std::move(result));
    }
    if (slot.outcome.warning && !stop.load())
        sink.searchWarning(*slot.outcome.warning);
}

} // namespace

SSearchEngine::SSearchEngine(std::shared_ptr<const SFileSearcher> searcher)
    : m_searcher(std::move(searcher)), m_queue(std::make_unique<SSearchQueue>(m_stop)) {}

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
    m_queue->wakeAll();
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
    m_queue->reset(workers * kWindowPerWorker);
    std::vector<std::thread> pool;
    for (unsigned i = 1; i < workers; ++i)
        pool.emplace_back([this, &params, &sink] { workerLoop(params, sink); });
    workerLoop(params, sink);
    for (std::thread& t : pool)
        t.join();
    m_queue->reset(0); // what a stop left undelivered
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
            m_searcher->searchFile(item, params, m_stop, outcome);
        finish(seq, std::move(outcome), sink);
    }
}

bool SSearchEngine::takeNext(uint64_t& seq, SWalkItem& item) {
    // Holding the walk lock keeps numbers in walk order.
    std::lock_guard walkLock(m_walkMutex);
    if (!m_queue->waitForRoom() || !m_walking)
        return false;
    if (!m_walker->next(item)) {
        m_walking = false;
        return false;
    }
    // Delivery looks at an item only to pass on a warning of the walk; a file to search is
    // not copied (nor its folder held) for it.
    seq = m_queue->push(item.isWarning() ? item : SWalkItem{});
    return true;
}

void SSearchEngine::finish(uint64_t seq, SFileOutcome outcome, SSearchSink& sink) {
    m_queue->finish(seq, std::move(outcome),
                    [&](SSearchQueue::Slot& slot) { deliver(slot, sink, m_stop); });
}
