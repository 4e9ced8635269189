#include "SettingsFile.h"

#include "PendingFile.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <sstream>

namespace sonvira {
namespace {

constexpr std::size_t kMaxFileBytes = 1024 * 1024;

bool IsKey(const std::string& key) {
    return !key.empty() && std::all_of(key.begin(), key.end(), [](unsigned char c) {
        return std::isalnum(c) || c == '.' || c == '_';
    });
}

bool IsValue(const std::string& value) {
    return value.find_first_of(std::string("\n\r\0", 3)) == std::string::npos;
}

}  // namespace

bool SettingsFile::Load() {
    values_.clear();
    std::ifstream in(path_, std::ios::binary);
    if (!in) return false;
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (text.size() > kMaxFileBytes || text.find('\0') != std::string::npos) return false;
    std::map<std::string, std::string> read;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.empty()) continue;
        const auto equals = line.find('=');
        if (equals == std::string::npos || !IsKey(line.substr(0, equals))) return false;  // damaged: ignored
        read[line.substr(0, equals)] = line.substr(equals + 1);
    }
    values_ = std::move(read);
    return true;
}

bool SettingsFile::Save() const {
    std::string text;
    for (const auto& [key, value] : values_) text += key + "=" + value + "\n";
    PendingFile file(path_);
    return file.Ok() && file.Write(reinterpret_cast<const uint8_t*>(text.data()), text.size()) && file.Commit();
}

std::optional<std::string> SettingsFile::Get(const std::string& key) const {
    const auto it = values_.find(key);
    if (it == values_.end()) return std::nullopt;
    return it->second;
}

bool SettingsFile::GetBool(const std::string& key, bool fallback) const {
    const auto value = Get(key);
    if (value == "true") return true;
    if (value == "false") return false;
    return fallback;
}

void SettingsFile::Set(const std::string& key, const std::string& value) {
    if (IsKey(key) && IsValue(value)) values_[key] = value;
}

void SettingsFile::RemoveFrom(const std::string& prefix) {
    for (auto it = values_.lower_bound(prefix); it != values_.end() && it->first.starts_with(prefix);)
        it = values_.erase(it);
}

}  // namespace sonvira
