#include "RecentFiles.h"

#include <algorithm>

namespace sonvira {
namespace {

constexpr char kPrefix[] = "recent.";

std::string KeyOf(std::size_t index) { return kPrefix + std::to_string(index + 1); }

}  // namespace

void RecentFiles::Load(const SettingsFile& settings) {
    paths_.clear();
    for (std::size_t i = 0; i < kMax; ++i) {
        const auto path = settings.Get(KeyOf(i));
        if (path && !path->empty() && std::find(paths_.begin(), paths_.end(), *path) == paths_.end())
            paths_.push_back(*path);
    }
}

void RecentFiles::Store(SettingsFile& settings) const {
    settings.RemoveFrom(kPrefix);
    for (std::size_t i = 0; i < paths_.size(); ++i) settings.Set(KeyOf(i), paths_[i]);
}

void RecentFiles::Add(const std::string& path) {
    if (path.empty() || path.find_first_of(std::string("\n\r\0", 3)) != std::string::npos) return;
    paths_.erase(std::remove(paths_.begin(), paths_.end(), path), paths_.end());
    paths_.insert(paths_.begin(), path);
    if (paths_.size() > kMax) paths_.resize(kMax);
}

}  // namespace sonvira
