#include "window/CSearchAdapter.h"

#include <QMetaObject>

namespace {

class CountingSearcher : public SFileSearcher {
public:
    CountingSearcher(std::shared_ptr<const SFileSearcher> real,
                     std::shared_ptr<std::atomic<size_t>> count)
        : m_real(std::move(real)), m_count(std::move(count)) {}
    void search(const std::string& path, const SSearchParams& params, const std::atomic<bool>& stop,
                SFileOutcome& outcome) const override {
        m_real->search(path, params, stop, outcome);
        m_count->fetch_add(1);
    }
    void searchFile(const SWalkItem& file, const SSearchParams& params,
                    const std::atomic<bool>& stop, SFileOutcome& outcome) const override {
        m_real->searchFile(file, params, stop, outcome);
        m_count->fetch_add(1);
    }

private:
    std::shared_ptr<const SFileSearcher> m_real;
    std::shared_ptr<std::atomic<size_t>> m_count;
};

} // namespace

CSearchAdapter::CSearchAdapter(QObject* parent)
    : QObject(parent), m_files(std::make_shared<std::atomic<size_t>>(0)) {}

CSearchAdapter::~CSearchAdapter() = default;

std::shared_ptr<const SFileSearcher>
CSearchAdapter::countingSearcher(std::shared_ptr<const SFileSearcher> real) {
    return std::make_shared<CountingSearcher>(std::move(real), m_files);
}

void CSearchAdapter::searchResult(std::unique_ptr<SSearchResult> result) {
    std::unique_lock lock(m_mutex);
    m_results.push_back(std::move(result));
    if (m_notifyPending)
        return;
    m_notifyPending = true;
    lock.unlock();
    notify();
}

void CSearchAdapter::searchWarning(const SSearchWarning& warning) {
    std::unique_lock lock(m_mutex);
    m_warnings.push_back(warning);
    if (m_notifyPending)
        return;
    m_notifyPending = true;
    lock.unlock();
    notify();
}

void CSearchAdapter::searchFinished(bool stopped) {
    // Queued behind any "arrived" already posted; a destroyed adapter receives nothing.
    QMetaObject::invokeMethod(
        this, [this, stopped] { emit finished(stopped); }, Qt::QueuedConnection);
}

void CSearchAdapter::notify() {
    QMetaObject::invokeMethod(
        this,
        [this] {
            {
                std::lock_guard lock(m_mutex);
                m_notifyPending = false;
            }
            emit arrived();
        },
        Qt::QueuedConnection);
}

std::vector<std::unique_ptr<SSearchResult>> CSearchAdapter::takeResults() {
    std::lock_guard lock(m_mutex);
    return std::exchange(m_results, {});
}

std::vector<SSearchWarning> CSearchAdapter::takeWarnings() {
    std::lock_guard lock(m_mutex);
    return std::exchange(m_warnings, {});
}

void CSearchAdapter::reset() {
    std::lock_guard lock(m_mutex);
    m_results.clear();
    m_warnings.clear();
    m_files->store(0);
}
