#include "SFindCommandLine.h"

#include <cstdlib>
#include <vector>

std::optional<int32_t> SFindCommandLine::parseTargets(std::string_view list) {
    int32_t bits = 0;
    size_t start = 0;
    for (;;) {
        const size_t comma = list.find(',', start);
        const std::string_view name = list.substr(start, comma - start);
        const SFindTarget* target = findTargetByOption(name);
        const int32_t bit = name == "all" ? SSearchTarget::kAll : target ? target->bit : 0;
        if (bit == 0)
            return std::nullopt;
        bits |= bit;
        if (comma == std::string_view::npos)
            return bits;
        start = comma + 1;
    }
}

std::optional<SSearchEncoding> SFindCommandLine::parseEncoding(std::string_view name) {
    return findEncodingFromName(name);
}

SSearchEncoding SFindCommandLine::localeEncoding() {
    for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(variable);
        if (!value || !*value)
            continue;
        std::string_view locale(value);
        const size_t dot = locale.find('.');
        if (dot == std::string_view::npos)
            return SSearchEncoding::Utf8;
        std::string_view codeset = locale.substr(dot + 1);
        codeset = codeset.substr(0, codeset.find('@'));
        return parseEncoding(codeset).value_or(SSearchEncoding::Utf8);
    }
    return SSearchEncoding::Utf8;
}

bool SFindCommandLine::fail(std::string message) {
    m_error = std::move(message);
    return false;
}

int SFindCommandLine::takeValue(int argc, char** argv, int& i, std::string_view name,
                                std::string& value) {
    const std::string_view arg = argv[i];
    if (arg.size() > name.size() && arg.substr(0, name.size()) == name && arg[name.size()] == '=') {
        value = arg.substr(name.size() + 1);
        return 1;
    }
    if (arg != name)
        return 0;
    if (i + 1 >= argc)
        return -1;
    value = argv[++i];
    return 1;
}

bool SFindCommandLine::applyOption(int argc, char** argv, int& i) {
    struct Flag {
        std::string_view name;
        bool SSearchParams::*field;
        bool value;
    };
    static constexpr Flag kFlags[] = {
        {"--whole", &SSearchParams::matchWhole, true},
        {"--partial", &SSearchParams::matchWhole, false},
        {"--case", &SSearchParams::caseSensitive, true},
        {"--ignore-case", &SSearchParams::caseSensitive, false},
        {"--recursive", &SSearchParams::includeSubfolders, true},
        {"--no-subfolders", &SSearchParams::includeSubfolders, false},
        {"--no-prefilter", &SSearchParams::prefilter, false},
        {"--no-scanner", &SSearchParams::scanner, false},
    };
    const std::string arg = argv[i];
    for (const Flag& f : kFlags) {
        if (arg == f.name) {
            m_params.*f.field = f.value;
            return true;
        }
    }
    std::string value;
    for (const std::string_view name : {"--targets", "--jobs", "--encoding"}) {
        const int taken = takeValue(argc, argv, i, name, value);
        if (taken < 0)
            return fail(std::string(name) + " needs a value");
        if (taken == 0)
            continue;
        if (name == "--targets") {
            const std::optional<int32_t> bits = parseTargets(value);
            if (!bits)
                return fail("unknown target in '" + value + "'");
            m_params.targets = *bits;
        } else if (name == "--jobs") {
            char* end = nullptr;
            const long n = std::strtol(value.c_str(), &end, 10);
            if (value.empty() || *end != '\0' || n < 1 || n > 1024)
                return fail("--jobs takes a number from 1 to 1024");
            m_params.jobs = static_cast<unsigned>(n);
        } else {
            const std::optional<SSearchEncoding> encoding = parseEncoding(value);
            if (!encoding)
                return fail("unknown encoding '" + value + "'");
            m_params.encoding = *encoding;
        }
        return true;
    }
    return fail("unknown option '" + arg + "'");
}

// "-e TEXT" or "-eTEXT", as grep takes a pattern that starts with "-": 1 taken (`i` advanced
// past it), 0 not this option, -1 value missing or a second one.
int SFindCommandLine::takePattern(int argc, char** argv, int& i,
                                  std::optional<std::string>& pattern) {
    const std::string_view arg = argv[i];
    if (arg.substr(0, 2) != "-e")
        return 0;
    if (pattern) {
        fail("only one search text may be given");
        return -1;
    }
    if (arg.size() > 2) {
        pattern = std::string(arg.substr(2));
        return 1;
    }
    if (i + 1 >= argc) {
        fail("-e needs a value");
        return -1;
    }
    pattern = std::string(argv[++i]);
    return 1;
}

SFindCommandLine::Outcome SFindCommandLine::parse(int argc, char** argv) {
    m_params = SSearchParams{};
    m_params.encoding = localeEncoding();
    m_error.clear();
    std::vector<std::string> operands;
    std::optional<std::string> pattern; // from -e
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            operands.emplace_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help" || arg == "-h") {
            return Outcome::Help;
        } else if (const int taken = takePattern(argc, argv, i, pattern); taken != 0) {
            if (taken < 0)
                return Outcome::Error;
        } else if (!applyOption(argc, argv, i)) {
            return Outcome::Error;
        }
    }
    if (pattern)
        operands.insert(operands.begin(), *pattern);
    if (operands.size() != 2) {
        if (operands.size() > 2)
            fail("too many arguments");
        else
            fail(pattern ? "FOLDER is needed" : "TEXT and FOLDER are needed");
        return Outcome::Error;
    }
    m_params.pattern = operands[0];
    m_params.folder = operands[1];
    return Outcome::Search;
}
