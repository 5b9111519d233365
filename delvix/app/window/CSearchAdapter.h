#pragma once

#include "engine/SFileSearcher.h"
#include "engine/SSearchSink.h"

#include <QObject>

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

// Carries what the search workers find over to the window's thread. Hits are collected and the
// window is told once per batch, so that a flood of hits costs one list update per turn of the
// event loop rather than one per hit.
class CSearchAdapter : public QObject, public SSearchSink {
    Q_OBJECT
public:
    explicit CSearchAdapter(QObject* parent = nullptr);
    ~CSearchAdapter() override;

    // Worker side, any thread.
    void searchResult(std::unique_ptr<SSearchResult> result) override;
    void searchWarning(const SSearchWarning& warning) override;
    void searchFinished(bool stopped) override;

    // Window side: what has arrived since the last call.
    std::vector<std::unique_ptr<SSearchResult>> takeResults();
    std::vector<SSearchWarning> takeWarnings();
    // Drops anything not yet taken and starts counting afresh.
    void reset();

    // Counts files as the searcher hands them to the real one.
    std::shared_ptr<const SFileSearcher>
    countingSearcher(std::shared_ptr<const SFileSearcher> real);
    size_t filesSearched() const { return m_files->load(); }

signals:
    void arrived();
    void finished(bool stopped);

private:
    void notify();

    std::mutex m_mutex;
    std::vector<std::unique_ptr<SSearchResult>> m_results;
    std::vector<SSearchWarning> m_warnings;
    bool m_notifyPending = false;
    std::shared_ptr<std::atomic<size_t>> m_files;
};
