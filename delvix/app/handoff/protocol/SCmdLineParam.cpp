#include "protocol/SCmdLineParam.h"

#include <filesystem>
#include <system_error>

void SCmdLineParam::parseParam(const std::string& arg) {
    if (!arg.empty() && arg.front() == '-')
        return;
    m_path = arg;
    m_hasPath = true;
}

void SCmdLineParam::parse(const std::vector<std::string>& args) {
    for (const std::string& arg : args)
        parseParam(arg);
}

std::string SCmdLineParam::absolute(const std::string& path) {
    if (path.empty())
        return path;
    std::error_code ec;
    std::string full = std::filesystem::absolute(path, ec).lexically_normal().string();
    if (ec)
        return path;
    while (full.size() > 1 && full.back() == '/')
        full.pop_back();
    return full;
}

std::string SCmdLineParam::folderOf(const std::string& path) {
    const std::string full = absolute(path);
    std::error_code ec;
    if (full.empty() || std::filesystem::is_directory(full, ec))
        return full;
    const size_t slash = full.find_last_of('/');
    if (slash == std::string::npos)
        return full;
    return slash == 0 ? "/" : full.substr(0, slash);
}
