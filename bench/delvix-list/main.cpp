// Feeds the search window 100,000 hits from a stand-in searcher and measures: the time from the
// engine's last result to the sorted list painted on screen, the whole search, and the longest
// stall of the event loop while hits arrive (how long a repaint, a move or Stop could wait).
#include "engine/SFileSearcher.h"
#include "protocol/SCmdLineParam.h"
#include "window/CDelvixDlg.h"
#include "window/CDelvixSettings.h"
#include "window/CResultList.h"
#include "window/CResultModel.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kFiles = 100;
constexpr int kHitsPerFile = 1000;

using Clock = std::chrono::steady_clock;

// Every file gives kHitsPerFile hits with scattered texts; remembers when it made the last.
class HitMaker : public SFileSearcher {
public:
    mutable std::atomic<int64_t> lastResultNs{0};

    void search(const std::string& path, const SSearchParams&, const std::atomic<bool>&,
                SFileOutcome& outcome) const override {
        uint32_t seed = static_cast<uint32_t>(std::hash<std::string>()(path));
        for (int i = 0; i < kHitsPerFile; ++i) {
            seed = seed * 1664525u + 1013904223u;
            outcome.results.push_back(std::make_unique<SSearchResult>(SSearchResult{
                path, "R" + std::to_string(seed % 100000), i % 2 ? "RefNum" : "Value",
                static_cast<int32_t>(seed % 5000), static_cast<int32_t>(seed / 5000 % 5000)}));
        }
        const int64_t now = Clock::now().time_since_epoch().count();
        int64_t seen = lastResultNs.load();
        while (seen < now && !lastResultNs.compare_exchange_weak(seen, now)) {
        }
    }
};

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath("config")));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(home.filePath("run")));
    QDir().mkpath(home.filePath("run"));
    QFile::setPermissions(home.filePath("run"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QApplication app(argc, argv);
    QDir().mkpath(home.filePath("tree"));
    for (int i = 0; i < kFiles; ++i)
        QFile(home.filePath(QString("tree/f%1.kx2").arg(i))).open(QIODevice::WriteOnly);

    CDelvixSettings settings;
    auto maker = std::make_shared<HitMaker>();
    CDelvixDlg dlg(settings, CDelvixDlg::Services{maker, {}, 0});
    SCmdLineParam cmd;
    cmd.parseParam(QFile::encodeName(home.filePath("tree")).toStdString());
    dlg.initialise(cmd);
    dlg.resize(1000, 700);
    dlg.show();
    QApplication::processEvents();

    // The longest gap between ticks of a 5 ms timer while the search runs.
    QElapsedTimer tick;
    qint64 longestGap = 0;
    QTimer probe;
    probe.setInterval(5);
    QObject::connect(&probe, &QTimer::timeout,
                     [&] { longestGap = std::max(longestGap, tick.restart()); });

    dlg.searchField()->setText("R");
    QElapsedTimer total;
    total.start();
    tick.start();
    probe.start();
    dlg.startSearch();
    while (dlg.isRunning())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    probe.stop();
    dlg.list()->viewport()->repaint();
    const auto shown = Clock::now().time_since_epoch().count();
    const double lastToShownMs = static_cast<double>(shown - maker->lastResultNs.load()) / 1e6;

    // A header click sorts the whole list again.
    QElapsedTimer click;
    click.start();
    dlg.model()->clickHeader(1);
    dlg.list()->viewport()->repaint();
    const qint64 clickMs = click.elapsed();

    std::printf("hits in list:                      %zu\n", dlg.model()->size());
    std::printf("last result -> sorted list shown:  %.1f ms\n", lastToShownMs);
    std::printf("whole search, start to shown:      %lld ms\n",
                static_cast<long long>(total.elapsed()));
    std::printf("longest event-loop stall (running): %lld ms\n",
                static_cast<long long>(longestGap));
    std::printf("header click, sorted and shown:    %lld ms\n", static_cast<long long>(clickMs));
    return dlg.model()->size() == size_t{kFiles} * kHitsPerFile ? 0 : 1;
}
