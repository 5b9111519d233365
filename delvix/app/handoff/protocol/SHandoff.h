#pragma once

#include "protocol/SPeerDirectory.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What the hand-off needs from the platform. Every call returns within a bounded time.
class SPeerTransport {
public:
    virtual ~SPeerTransport() = default;
    virtual std::vector<SPeer> peers(std::string_view marker) = 0;
    // Sends one request line and returns the reply line; nullopt when the peer does not answer
    // in time or refuses the connection (a stale socket).
    virtual std::optional<std::string> request(const SPeer& peer, const std::string& line) = 0;
    // Starts `program` with `args` (no shell); the new process id, or nullopt.
    virtual std::optional<int64_t> start(const std::string& program,
                                         const std::vector<std::string>& args) = 0;
    // Waits up to `timeoutMs` for process `pid` to carry `marker`.
    virtual std::optional<SPeer> waitForPeer(std::string_view marker, int64_t pid,
                                             int timeoutMs) = 0;
};

// How a hit reached the editor.
enum class SHandoffOutcome {
    Offered,           // a running editor took the file and got the position
    Started,           // the editor was started and got the position
    StartedNoPosition, // started, but no marked window appeared in time
    NotStarted,        // nobody took the file and the editor could not be started
};

namespace SHandoff {

// How long a started editor gets to open its window.
constexpr int kStartTimeoutMs = 5000;

// The editor program to start when no running editor takes a file: "korvex" beside us.
std::string editorProgram(const std::string& ownFolder);
// The same with the user's choice and our own viewer: `configured` (the "[Editor] Program"
// setting) when set — a bare name is looked for beside us, then on `searchPath`; else "korvex"
// beside us when it is there; else "kxview" beside us, else on `searchPath` (a PATH-style list);
// else "korvex" beside us, whose start then fails as before.
std::string editorProgram(const std::string& ownFolder, const std::string& configured,
                          const char* searchPath);

// Offers `path` to each editor in turn; the first that takes it, or else a newly started
// `program`, gets the position of the hit.
SHandoffOutcome showHit(SPeerTransport& transport, const std::string& program,
                        const std::string& path, int32_t x, int32_t y);

// Offers `folder` to the other Delvix windows; the one that shows it, if any.
std::optional<SPeer> offerFolder(SPeerTransport& transport, const std::string& folder,
                                 int64_t ownPid);

} // namespace SHandoff
