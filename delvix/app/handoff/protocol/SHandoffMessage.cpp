#include "protocol/SHandoffMessage.h"

#include "tagtext/STagReader.h"

#include <charconv>

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

std::string_view stripNewline(std::string_view line) {
    if (!line.empty() && line.back() == '\n')
        line.remove_suffix(1);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

template <typename T> std::optional<T> parseNumber(std::string_view text) {
    T value{};
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

} // namespace

namespace SHandoffMessage {

std::string escape(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c > 0x20 && c < 0x7F && c != '%') {
            out.push_back(ch);
        } else {
            out.push_back('%');
            out.push_back(kHex[c >> 4]);
            out.push_back(kHex[c & 0x0F]);
        }
    }
    return out;
}

std::optional<std::string> unescape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out.push_back(text[i]);
            continue;
        }
        if (i + 2 >= text.size())
            return std::nullopt;
        const int hi = STagReader::hexDigitValue(static_cast<unsigned char>(text[i + 1]));
        const int lo = STagReader::hexDigitValue(static_cast<unsigned char>(text[i + 2]));
        if (hi < 0 || lo < 0)
            return std::nullopt;
        out.push_back(static_cast<char>(hi * 16 + lo));
        i += 2;
    }
    return out;
}

std::string copyData(int64_t dwData, std::string_view path) {
    return "COPYDATA " + std::to_string(dwData) + ' ' + escape(path) + '\n';
}

std::string position(uint32_t param) {
    return "POSITION " + std::to_string(param) + '\n';
}

std::string reply(bool taken) {
    return taken ? "1\n" : "0\n";
}

std::optional<SHandoffRequest> parseRequest(std::string_view line) {
    line = stripNewline(line);
    constexpr std::string_view kCopy = "COPYDATA ";
    constexpr std::string_view kPosition = "POSITION ";
    SHandoffRequest request;
    if (line.starts_with(kPosition)) {
        const auto value = parseNumber<uint32_t>(line.substr(kPosition.size()));
        if (!value)
            return std::nullopt;
        request.kind = SHandoffRequest::Kind::Position;
        request.position = *value;
        return request;
    }
    if (!line.starts_with(kCopy))
        return std::nullopt;
    line.remove_prefix(kCopy.size());
    const size_t blank = line.find(' ');
    if (blank == std::string_view::npos)
        return std::nullopt;
    const auto dwData = parseNumber<int64_t>(line.substr(0, blank));
    auto path = unescape(line.substr(blank + 1));
    if (!dwData || !path)
        return std::nullopt;
    request.kind = SHandoffRequest::Kind::CopyData;
    request.dwData = *dwData;
    request.path = std::move(*path);
    return request;
}

std::optional<bool> parseReply(std::string_view line) {
    line = stripNewline(line);
    if (line == "1")
        return true;
    if (line == "0")
        return false;
    return std::nullopt;
}

uint32_t positionParam(int32_t x, int32_t y) {
    return (static_cast<uint32_t>(y) & 0xFFFFu) << 16 | (static_cast<uint32_t>(x) & 0xFFFFu);
}

} // namespace SHandoffMessage
