#include "ListEntryTime.h"

#include <algorithm>
#include <charconv>
#include <chrono>

namespace sonvira {

TimedText ReadTimedText(const std::string& value) {
    if (!value.starts_with('@')) return {0, value};
    const char* first = value.data() + 1;
    const char* last = value.data() + value.size();
    int64_t time = 0;
    const auto [end, error] = std::from_chars(first, last, time);
    if (error != std::errc() || end == last || *end != ' ' || time <= 0) return {0, value};
    return {time, std::string(end + 1, last)};
}

std::string WriteTimedText(int64_t time, const std::string& text) {
    return time > 0 ? "@" + std::to_string(time) + " " + text : text;
}

int64_t EntryTimeAfter(int64_t newest) {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return std::max<int64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count(),
                             newest + 1);
}

}  // namespace sonvira
