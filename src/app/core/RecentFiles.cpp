#include "RecentFiles.h"

#include <algorithm>

#include "ListEntryTime.h"

namespace sonvira {
namespace {

constexpr char kPrefix[] = "recent.";

std::string KeyOf(std::size_t index) { return kPrefix + std::to_string(index + 1); }

}  // namespace

void RecentFiles::Load(const SettingsFile& settings) {
    entries_.clear();
    for (std::size_t i = 0; i < kMax; ++i) {
        const auto value = settings.Get(KeyOf(i));
        if (!value) continue;
        TimedText entry = ReadTimedText(*value);
        const bool known = std::any_of(entries_.begin(), entries_.end(),
                                       [&](const Entry& e) { return e.path == entry.text; });
        if (!entry.text.empty() && !known) entries_.push_back({std::move(entry.text), entry.time});
    }
}

void RecentFiles::Store(SettingsFile& settings) const {
    settings.RemoveFrom(kPrefix);
    for (std::size_t i = 0; i < entries_.size(); ++i)
        settings.Set(KeyOf(i), WriteTimedText(entries_[i].opened, entries_[i].path));
}

void RecentFiles::Add(const std::string& path) {
    if (path.empty() || path.find_first_of(std::string("\n\r\0", 3)) != std::string::npos) return;
    const int64_t opened = EntryTimeAfter(entries_.empty() ? 0 : entries_.front().opened);
    std::erase_if(entries_, [&](const Entry& e) { return e.path == path; });
    entries_.insert(entries_.begin(), Entry{path, opened});
    if (entries_.size() > kMax) entries_.resize(kMax);
}

void RecentFiles::Merge(const RecentFiles& other) {
    for (const Entry& theirs : other.entries_) {
        const auto ours = std::find_if(entries_.begin(), entries_.end(),
                                       [&](const Entry& e) { return e.path == theirs.path; });
        if (ours == entries_.end())
            entries_.push_back(theirs);
        else
            ours->opened = std::max(ours->opened, theirs.opened);
    }
    // Stable: untimed entries of older versions keep their order, ours before theirs.
    std::stable_sort(entries_.begin(), entries_.end(),
                     [](const Entry& a, const Entry& b) { return a.opened > b.opened; });
    if (entries_.size() > kMax) entries_.resize(kMax);
}

void RecentFiles::Join(const SettingsFile& ours, const SettingsFile& theirs, SettingsFile& joined) {
    RecentFiles list, other;
    list.Load(ours);
    other.Load(theirs);
    list.Merge(other);
    list.Store(joined);
}

std::vector<std::string> RecentFiles::Paths() const {
    std::vector<std::string> paths;
    for (const Entry& e : entries_) paths.push_back(e.path);
    return paths;
}

}  // namespace sonvira
