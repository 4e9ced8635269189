#include "PrivateTempFolder.h"

#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <system_error>

namespace sonvira {
namespace {

constexpr char kPrefix[] = "sonvira-";

bool ProcessRuns(pid_t pid) {
    // EPERM: it runs, under another user (then it is not ours anyway).
    return ::kill(pid, 0) == 0 || errno != ESRCH;
}

bool IsOwnFolder(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid();
}

void RemoveTree(const std::string& path) {
    std::error_code ignored;  // what cannot be removed stays for the next start
    std::filesystem::remove_all(path, ignored);
}

struct DirCloser {
    void operator()(DIR* d) const { ::closedir(d); }
};

}  // namespace

std::vector<std::string> TempFolderBases() {
    std::vector<std::string> bases;
    for (const char* name : {"XDG_RUNTIME_DIR", "TMPDIR"})
        if (const char* value = std::getenv(name); value && *value) bases.emplace_back(value);
    bases.emplace_back("/tmp");
    return bases;
}

pid_t TempFolderOwner(const std::string& name) {
    const std::string_view prefix(kPrefix);
    if (!name.starts_with(prefix)) return 0;
    const char* first = name.data() + prefix.size();
    const char* last = name.data() + name.size();
    long pid = 0;
    const auto [end, error] = std::from_chars(first, last, pid);
    if (error != std::errc() || end == first || end == last || *end != '-' || pid <= 0) return 0;
    return static_cast<pid_t>(pid);
}

void RemoveAbandonedTempFolders(const std::string& base) {
    std::unique_ptr<DIR, DirCloser> dir(::opendir(base.c_str()));
    if (!dir) return;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string name = entry->d_name;
        const pid_t owner = TempFolderOwner(name);
        if (owner == 0 || owner == ::getpid() || ProcessRuns(owner)) continue;
        const std::string path = base + "/" + name;
        if (IsOwnFolder(path)) RemoveTree(path);
    }
}

PrivateTempFolder::PrivateTempFolder(const std::vector<std::string>& bases) {
    for (const std::string& base : bases) {
        RemoveAbandonedTempFolders(base);
        std::string pattern = base + "/" + kPrefix + std::to_string(::getpid()) + "-XXXXXX";
        if (::mkdtemp(pattern.data())) {  // mode 0700
            path_ = std::move(pattern);
            return;
        }
    }
}

PrivateTempFolder::~PrivateTempFolder() {
    if (!path_.empty()) RemoveTree(path_);
}

}  // namespace sonvira
