#pragma once

#include <string>
#include <vector>

// Delvix's command line: switches ("-" first) are ignored, the last plain argument is the path.
class SCmdLineParam {
public:
    // Called for each argument after the program name.
    void parseParam(const std::string& arg);
    void parse(const std::vector<std::string>& args);

    bool hasPath() const { return m_hasPath; }
    const std::string& path() const { return m_path; }

    // The folder to show for the path, made absolute: the path itself when it is a folder, else
    // the path without its last component ("/a/b/c.kx2" gives "/a/b").
    static std::string folderOf(const std::string& path);
    // `path` made absolute against the current folder, "." and ".." resolved by name, no
    // trailing "/".
    static std::string absolute(const std::string& path);

private:
    std::string m_path;
    bool m_hasPath = false;
};
