#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// One request line on a hand-off socket and its reply. A connection carries one request:
//   "COPYDATA <dwData> <path, percent-escaped>\n"  ->  "1\n" (taken) or "0\n"
//   "POSITION <second parameter, decimal>\n"       ->  "1\n"
struct SHandoffRequest {
    enum class Kind { CopyData, Position };
    Kind kind = Kind::CopyData;
    int64_t dwData = 0;    // CopyData
    std::string path;      // CopyData, unescaped bytes
    uint32_t position = 0; // Position
};

namespace SHandoffMessage {

// dwData of a file or folder offer.
constexpr int64_t kOfferPath = 1;
// Longest request line accepted, newline included; longer ones are refused unread.
constexpr size_t kMaxLine = 64 * 1024;

// Every byte outside printable ASCII, and "%" and " ", as "%" and two upper-case hex digits.
std::string escape(std::string_view bytes);
// Undoes escape(); nullopt for a "%" not followed by two hex digits.
std::optional<std::string> unescape(std::string_view text);

std::string copyData(int64_t dwData, std::string_view path);
std::string position(uint32_t param);
std::string reply(bool taken);

// A request line with or without its newline; nullopt when it is not one.
std::optional<SHandoffRequest> parseRequest(std::string_view line);
// "1" is true, "0" false, anything else nullopt.
std::optional<bool> parseReply(std::string_view line);

// The position message's second parameter: x in the low 16 bits, y in the high 16 bits (each
// cut to 16 bits, so 1230, 850 gives 850 * 65536 + 1230).
uint32_t positionParam(int32_t x, int32_t y);

} // namespace SHandoffMessage
