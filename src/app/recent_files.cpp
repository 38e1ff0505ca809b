#include "app/recent_files.h"

#include <algorithm>

void CRecentFiles::Add(const std::string& path) {
    if (path.empty()) return;
    Remove(path);
    paths_.insert(paths_.begin(), path);
    if (paths_.size() > kRecentFileCount) paths_.resize(kRecentFileCount);
}

void CRecentFiles::Remove(const std::string& path) {
    paths_.erase(std::remove(paths_.begin(), paths_.end(), path), paths_.end());
}

void CRecentFiles::Assign(const std::vector<std::string>& paths) {
    paths_.clear();
    for (const std::string& path : paths) {
        if (path.empty() || std::find(paths_.begin(), paths_.end(), path) != paths_.end())
            continue;
        if (paths_.size() == kRecentFileCount) break;
        paths_.push_back(path);
    }
}
