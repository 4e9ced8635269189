#include "FileMemory.h"

#include "ListEntryTime.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <system_error>

namespace sonvira {
namespace {

constexpr char kPrefix[] = "place.";

std::string KeyOf(std::size_t index) { return kPrefix + std::to_string(index + 1); }

// Reads one space-ended number from `text` at `at` and moves past the space.
template <class Number>
bool ReadNumber(const std::string& text, std::size_t& at, Number& value) {
    const char* first = text.data() + at;
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end == last || *end != ' ') return false;
    at = static_cast<std::size_t>(end - text.data()) + 1;
    return true;
}

template <class Number>
void WriteNumber(std::string& text, Number value) {
    char buffer[64];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    text.append(buffer, error == std::errc() ? end : buffer);
    text += ' ';
}

bool FactorIsSane(double v) { return std::isfinite(v) && v > 0.0; }

}  // namespace

std::optional<FileStamp> StampOf(const std::string& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error) return std::nullopt;
    const auto modified = std::filesystem::last_write_time(path, error);
    if (error) return std::nullopt;
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(modified.time_since_epoch()).count();
    return FileStamp{static_cast<uint64_t>(size), static_cast<int64_t>(ns)};
}

void FileMemory::Load(const SettingsFile& settings) {
    entries_.clear();
    for (std::size_t i = 0; i < kMax; ++i) {
        const auto value = settings.Get(KeyOf(i));
        if (!value) continue;
        const TimedText timed = ReadTimedText(*value);
        const std::string& text = timed.text;
        Entry e;
        e.left = timed.time;
        std::size_t at = 0;
        FilePlace& p = e.place;
        const bool read = ReadNumber(text, at, e.stamp.size) && ReadNumber(text, at, e.stamp.modified) &&
                          ReadNumber(text, at, p.selAnchor) && ReadNumber(text, at, p.selEnd) &&
                          ReadNumber(text, at, p.zoom) && ReadNumber(text, at, p.scroll) &&
                          ReadNumber(text, at, p.speed) && ReadNumber(text, at, p.pitch);
        if (!read || at >= text.size() || !FactorIsSane(p.speed) || !FactorIsSane(p.pitch)) continue;
        e.path = text.substr(at);
        const bool known = std::any_of(entries_.begin(), entries_.end(), [&](const Entry& o) { return o.path == e.path; });
        if (!known) entries_.push_back(std::move(e));
    }
}

void FileMemory::Store(SettingsFile& settings) const {
    settings.RemoveFrom(kPrefix);
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const Entry& e = entries_[i];
        std::string text;
        WriteNumber(text, e.stamp.size);
        WriteNumber(text, e.stamp.modified);
        WriteNumber(text, e.place.selAnchor);
        WriteNumber(text, e.place.selEnd);
        WriteNumber(text, e.place.zoom);
        WriteNumber(text, e.place.scroll);
        WriteNumber(text, e.place.speed);
        WriteNumber(text, e.place.pitch);
        settings.Set(KeyOf(i), WriteTimedText(e.left, text + e.path));
    }
}

void FileMemory::Remember(const std::string& path, const FileStamp& stamp, const FilePlace& place) {
    if (path.empty() || path.find_first_of(std::string("\n\r\0", 3)) != std::string::npos) return;
    const int64_t left = EntryTimeAfter(entries_.empty() ? 0 : entries_.front().left);
    std::erase_if(entries_, [&](const Entry& e) { return e.path == path; });
    entries_.insert(entries_.begin(), Entry{path, stamp, place, left});
    if (entries_.size() > kMax) entries_.resize(kMax);
}

void FileMemory::Merge(const FileMemory& other) {
    for (const Entry& theirs : other.entries_) {
        const auto ours = std::find_if(entries_.begin(), entries_.end(),
                                       [&](const Entry& e) { return e.path == theirs.path; });
        if (ours == entries_.end())
            entries_.push_back(theirs);
        else if (theirs.left > ours->left)
            *ours = theirs;
    }
    // Stable: untimed entries of older versions keep their order, ours before theirs.
    std::stable_sort(entries_.begin(), entries_.end(),
                     [](const Entry& a, const Entry& b) { return a.left > b.left; });
    if (entries_.size() > kMax) entries_.resize(kMax);
}

void FileMemory::Join(const SettingsFile& ours, const SettingsFile& theirs, SettingsFile& joined) {
    FileMemory memory, other;
    memory.Load(ours);
    other.Load(theirs);
    memory.Merge(other);
    memory.Store(joined);
}

std::optional<FilePlace> FileMemory::Recall(const std::string& path, const FileStamp& stamp) const {
    for (const Entry& e : entries_)
        if (e.path == path) return e.stamp == stamp ? std::optional(e.place) : std::nullopt;
    return std::nullopt;
}

}  // namespace sonvira
