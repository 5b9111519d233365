#include "TempTree.h"
#include "engine/SSearchEngine.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

namespace {

// Stands in for the document search: every line of a file that contains the pattern is a hit
// (x = line number); a file starting with "BAD" is a read error on line 2. Optionally sleeps a
// file-dependent time so that workers finish out of order.
class LineSearcher : public SFileSearcher {
public:
    std::function<void(const std::string&, const std::atomic<bool>&)> onSearch;
    bool jitter = false;

    void search(const std::string& path, const SSearchParams& params, const std::atomic<bool>& stop,
                SFileOutcome& outcome) const override {
        if (onSearch)
            onSearch(path, stop);
        if (jitter)
            std::this_thread::sleep_for(
                std::chrono::microseconds(std::hash<std::string>{}(path) % 700));
        std::ifstream in(path, std::ios::binary);
        std::string line;
        int32_t n = 0;
        while (std::getline(in, line)) {
            ++n;
            if (n == 1 && line.rfind("BAD", 0) == 0) {
                outcome.warning = SSearchWarning{path, "read error", 2};
                return;
            }
            if (line.find(params.pattern) != std::string::npos) {
                outcome.results.push_back(
                    std::make_unique<SSearchResult>(SSearchResult{path, line, "Tag", n, 0}));
                if (stop)
                    return;
            }
        }
    }
};

// Everything the engine delivered, one string per call.
class RecordingSink : public SSearchSink {
public:
    std::vector<std::string> events;
    int finishedCalls = 0;
    bool stoppedFlag = false;
    std::function<void(size_t)> afterResult; // called with the number of results so far
    std::atomic<size_t> results{0};

    void searchResult(std::unique_ptr<SSearchResult> r) override {
        events.push_back(r->path.str() + "\t" + r->text + "\t" + r->type + "\t" +
                         std::to_string(r->x));
        ++results;
        if (afterResult)
            afterResult(results.load());
    }
    void searchWarning(const SSearchWarning& w) override {
        events.push_back("warning " + w.path + ": " + w.reason + " @" + std::to_string(w.line));
    }
    void searchFinished(bool stopped) override {
        ++finishedCalls;
        stoppedFlag = stopped;
    }
};

SSearchParams paramsFor(const TempTree& tree, const std::string& pattern, unsigned jobs) {
    SSearchParams p;
    p.folder = tree.root();
    p.pattern = pattern;
    p.jobs = jobs;
    return p;
}

// A few hundred files over nested folders, hits in most of them.
void buildBigTree(const TempTree& tree) {
    for (int d = 0; d < 6; ++d) {
        for (int f = 0; f < 40; ++f) {
            std::ostringstream rel, body;
            rel << "d" << d << "/" << (f % 3 ? "" : "s/") << "f" << f << ".kx2";
            for (int l = 0; l < f % 5; ++l)
                body << "hit " << d << "-" << f << "-" << l << "\nmiss\n";
            tree.file(rel.str(), f == 17 ? "BAD\n" : body.str());
        }
    }
}

TEST(SearchEngine, SameOrderWithAnyNumberOfWorkers) {
    TempTree tree;
    buildBigTree(tree);
    auto searcher = std::make_shared<LineSearcher>();
    searcher->jitter = true;
    RecordingSink one;
    SSearchEngine(searcher).run(paramsFor(tree, "hit", 1), one);
    ASSERT_GT(one.events.size(), 300u);
    EXPECT_EQ(one.finishedCalls, 1);
    EXPECT_FALSE(one.stoppedFlag);
    for (unsigned jobs : {2u, 3u, 8u, 0u}) {
        RecordingSink many;
        SSearchEngine(searcher).run(paramsFor(tree, "hit", jobs), many);
        EXPECT_EQ(many.events, one.events) << jobs << " workers";
        EXPECT_EQ(many.finishedCalls, 1);
    }
}

TEST(SearchEngine, DeliversHitsAndWarningsInWalkOrder) {
    TempTree tree;
    tree.file("a.kx2", "x hit\nhit y\n");
    tree.file("b.kx2", "BAD\nhit\n");
    tree.file("c.kx2", "nothing\n");
    tree.file("s/d.kx2", "hit\n");
    std::filesystem::create_symlink(tree.path("gone"), tree.path("bb.kx2"));
    RecordingSink sink;
    SSearchEngine(std::make_shared<LineSearcher>()).run(paramsFor(tree, "hit", 4), sink);
    const std::string r = tree.root();
    const std::vector<std::string> expected = {
        r + "/a.kx2\tx hit\tTag\t1",
        r + "/a.kx2\thit y\tTag\t2",
        "warning " + r + "/b.kx2: read error @2",
        "warning " + r + "/bb.kx2: cannot open: No such file or directory @-1",
        r + "/s/d.kx2\thit\tTag\t1",
    };
    EXPECT_EQ(sink.events, expected);
}

TEST(SearchEngine, NothingIsDeliveredAfterStop) {
    TempTree tree;
    buildBigTree(tree);
    for (unsigned jobs : {1u, 4u}) {
        auto searcher = std::make_shared<LineSearcher>();
        std::atomic<int> startedAfterStop{0};
        searcher->onSearch = [&](const std::string&, const std::atomic<bool>& stop) {
            if (stop)
                ++startedAfterStop;
        };
        SSearchEngine engine(searcher);
        RecordingSink sink;
        sink.afterResult = [&](size_t n) {
            if (n == 7)
                engine.requestStop();
        };
        engine.run(paramsFor(tree, "hit", jobs), sink);
        EXPECT_EQ(sink.results.load(), 7u) << jobs;
        EXPECT_EQ(sink.events.size(), 7u) << jobs;
        EXPECT_EQ(sink.finishedCalls, 1);
        EXPECT_TRUE(sink.stoppedFlag);
        EXPECT_TRUE(engine.isFinished());
        // Each worker may have claimed one more file just before the flag was set.
        EXPECT_LE(startedAfterStop.load(), static_cast<int>(jobs));
    }
}

TEST(SearchEngine, StopFromAnotherThreadEndsABackgroundSearch) {
    TempTree tree;
    buildBigTree(tree);
    auto searcher = std::make_shared<LineSearcher>();
    searcher->onSearch = [](const std::string&, const std::atomic<bool>&) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    };
    SSearchEngine engine(searcher);
    RecordingSink sink;
    ASSERT_TRUE(engine.start(paramsFor(tree, "hit", 3), sink));
    EXPECT_FALSE(engine.start(paramsFor(tree, "hit", 3), sink)); // one search at a time
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    engine.requestStop();
    const size_t seen = sink.results; // nothing more may arrive from here on
    engine.wait();
    EXPECT_TRUE(engine.isFinished());
    EXPECT_EQ(sink.finishedCalls, 1);
    EXPECT_TRUE(sink.stoppedFlag);
    EXPECT_LE(sink.results, seen + 1); // one call may have been under way
    EXPECT_LT(sink.results.load(), 400u);
}

TEST(SearchEngine, DestroyingARunningEngineStopsIt) {
    TempTree tree;
    buildBigTree(tree);
    auto searcher = std::make_shared<LineSearcher>();
    searcher->jitter = true;
    RecordingSink sink;
    {
        SSearchEngine engine(searcher);
        ASSERT_TRUE(engine.start(paramsFor(tree, "hit", 2), sink));
    }
    EXPECT_EQ(sink.finishedCalls, 1);
}

TEST(SearchEngine, FilesInFlightStayBounded) {
    TempTree tree;
    buildBigTree(tree);
    const std::string first = tree.path("d0/f1.kx2");
    std::atomic<int> others{0};
    std::atomic<bool> firstDone{false};
    auto searcher = std::make_shared<LineSearcher>();
    std::atomic<int> othersWhileFirst{0};
    searcher->onSearch = [&](const std::string& path, const std::atomic<bool>&) {
        if (path == first) {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            othersWhileFirst = others.load();
            firstDone = true;
        } else {
            ++others;
        }
    };
    RecordingSink sink;
    SSearchEngine(searcher).run(paramsFor(tree, "hit", 2), sink);
    EXPECT_TRUE(firstDone);
    // The other worker runs ahead only as far as the window lets it, not through the tree.
    EXPECT_GT(othersWhileFirst.load(), 0);
    EXPECT_LE(othersWhileFirst.load(), 16);
}

TEST(SearchEngine, RunsAgainAfterFinishing) {
    TempTree tree;
    tree.file("a.kx2", "hit\n");
    SSearchEngine engine(std::make_shared<LineSearcher>());
    for (int i = 0; i < 3; ++i) {
        RecordingSink sink;
        ASSERT_TRUE(engine.start(paramsFor(tree, "hit", 2), sink));
        engine.wait();
        EXPECT_EQ(sink.results.load(), 1u);
        EXPECT_FALSE(sink.stoppedFlag);
    }
}

} // namespace
