// The list of files last opened or saved (File > Recent Files): four paths,
// newest first, each once.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

constexpr std::size_t kRecentFileCount = 4;

class CRecentFiles {
public:
    const std::vector<std::string>& Paths() const { return paths_; }
    // Puts `path` first (moving it when it is already there) and drops the
    // oldest beyond four. An empty path is ignored.
    void Add(const std::string& path);
    void Remove(const std::string& path);
    // Takes a stored list: empty names and repeats are skipped, four at most.
    void Assign(const std::vector<std::string>& paths);

private:
    std::vector<std::string> paths_;
};
