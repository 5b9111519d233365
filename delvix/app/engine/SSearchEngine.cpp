#include "SSearchEngine.h"

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
    return std::max(1u, std::thread::hardware_concurrency());
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
    m_workReady.notify_all();
    m_slotDone.notify_all();
}

void SSearchEngine::runSearch(const SSearchParams& params, SSearchSink& sink) {
    m_finished = false;
    {
        std::lock_guard lock(m_mutex);
        m_window.clear();
        m_firstSeq = m_nextClaim = 0;
        m_quit = false;
    }
    const unsigned workers = workerCount(params.jobs);
    const size_t windowSize = workers * kWindowPerWorker;
    std::vector<std::thread> pool;
    for (unsigned i = 0; i < workers; ++i)
        pool.emplace_back([this, &params] { workerLoop(params); });

    SFolderWalker walker(params.folder, params.includeSubfolders, &m_stop);
    bool walking = true;
    std::unique_lock lock(m_mutex);
    while (deliverReady(lock, sink)) {
        if (walking && m_window.size() < windowSize) {
            lock.unlock();
            SWalkItem item;
            walking = walker.next(item);
            lock.lock();
            if (walking) {
                m_window.push_back(Slot{std::move(item), {}, false});
                m_window.back().done = m_window.back().item.isWarning();
                m_workReady.notify_one();
            }
            continue;
        }
        if (!walking && m_window.empty())
            break;
        m_slotDone.wait(lock);
    }
    m_quit = true;
    m_workReady.notify_all();
    lock.unlock();
    for (std::thread& t : pool)
        t.join();
    lock.lock();
    m_window.clear();
    lock.unlock();
    const bool wasStopped = stopped();
    m_finished = true;
    sink.searchFinished(wasStopped);
}

bool SSearchEngine::deliverReady(std::unique_lock<std::mutex>& lock, SSearchSink& sink) {
    while (!stopped() && !m_window.empty() && m_window.front().done) {
        Slot slot = std::move(m_window.front());
        m_window.pop_front();
        ++m_firstSeq;
        m_nextClaim = std::max(m_nextClaim, m_firstSeq); // walk warnings are never claimed
        m_workReady.notify_all();                        // the window has room again
        lock.unlock();
        deliver(slot, sink);
        lock.lock();
    }
    return !stopped();
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

void SSearchEngine::workerLoop(const SSearchParams& params) {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_workReady.wait(lock, [&] {
            return m_quit || stopped() || m_nextClaim < m_firstSeq + m_window.size();
        });
        if (m_quit || stopped())
            return;
        Slot& claimed = m_window[m_nextClaim - m_firstSeq];
        const uint64_t seq = m_nextClaim++;
        if (claimed.done)
            continue; // a warning from the walk: nothing to search
        const std::string path = claimed.item.path;
        lock.unlock();
        SFileOutcome outcome;
        m_searcher->search(path, params, m_stop, outcome);
        lock.lock();
        Slot& slot = m_window[seq - m_firstSeq];
        slot.outcome = std::move(outcome);
        slot.done = true;
        if (seq == m_firstSeq)
            m_slotDone.notify_one();
    }
}
