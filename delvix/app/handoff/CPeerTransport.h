#pragma once

#include "protocol/SHandoff.h"

#include <QString>

#include <optional>

// The hand-off over local sockets in the per-user runtime folder. Usable from any thread; every
// call is bounded by kTimeoutMs (waitForPeer by its own timeout).
class CPeerTransport : public SPeerTransport {
public:
    static constexpr int kTimeoutMs = 2000;

    // The socket folder, created with mode 0700 when missing; nullopt when it exists but is not a
    // folder of ours that only we can enter (then no socket is used at all).
    static std::optional<QString> folder(bool create);

    std::vector<SPeer> peers(std::string_view marker) override;
    std::optional<std::string> request(const SPeer& peer, const std::string& line) override;
    std::optional<int64_t> start(const std::string& program,
                                 const std::vector<std::string>& args) override;
    std::optional<SPeer> waitForPeer(std::string_view marker, int64_t pid, int timeoutMs) override;
};
