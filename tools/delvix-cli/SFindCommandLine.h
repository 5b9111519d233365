#pragma once

#include "engine/SSearchParams.h"

#include <optional>
#include <string>
#include <string_view>

// The arguments of "delvix-cli find", turned into search parameters.
class SFindCommandLine {
public:
    enum class Outcome { Search, Help, Error };

    // argv[0] is "find". On Error, error() says what was wrong.
    Outcome parse(int argc, char** argv);

    const SSearchParams& params() const { return m_params; }
    const std::string& error() const { return m_error; }

    // "tag,label,..." to target bits; nullopt for an unknown or empty name.
    static std::optional<int32_t> parseTargets(std::string_view list);
    // Encoding names as the locale and users spell them; nullopt when not known.
    static std::optional<SSearchEncoding> parseEncoding(std::string_view name);
    // The encoding of the user's locale (LC_ALL, LC_CTYPE, LANG), byte-wise when unknown.
    static SSearchEncoding localeEncoding();

private:
    // An option with a value, as "--name VALUE" or "--name=VALUE": 1 taken (`i` advanced past
    // it), 0 not this option, -1 value missing.
    static int takeValue(int argc, char** argv, int& i, std::string_view name, std::string& value);
    int takePattern(int argc, char** argv, int& i, std::optional<std::string>& pattern);
    bool applyOption(int argc, char** argv, int& i);
    bool fail(std::string message);

    SSearchParams m_params;
    std::string m_error;
};
