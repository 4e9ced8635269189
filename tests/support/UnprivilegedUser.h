#pragma once
// Runs a piece of a test as the unprivileged user "nobody" in a child process. The tests
// run as root, and file permissions do not bind root, so a permission check only shows
// something when an ordinary user meets it. The child hands back a report through a pipe;
// an alarm ends it if it hangs.

#include <grp.h>
#include <signal.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

namespace sonvira::test {

constexpr uid_t kUnprivilegedUser = 65534;
constexpr gid_t kUnprivilegedGroup = 65534;

// Runs `work` as nobody (primary group nogroup, plus `extraGroups`) and returns what it
// returned, or why the child could not run it. `work` runs in a forked copy of this
// process: it must not use the test framework's assertions, only report. When the tests
// already run unprivileged, `work` runs here.
inline std::string RunAsUnprivilegedUser(const std::function<std::string()>& work,
                                         const std::vector<gid_t>& extraGroups = {},
                                         unsigned timeLimitSeconds = 30) {
    if (::geteuid() != 0) return work();
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return "no pipe";
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        return "no child process";
    }
    if (child == 0) {
        ::close(pipeFds[0]);
        ::alarm(timeLimitSeconds);
        // setgroups also drops root's own supplementary groups.
        const bool dropped = ::setgroups(extraGroups.size(), extraGroups.data()) == 0 &&
                             ::setgid(kUnprivilegedGroup) == 0 && ::setuid(kUnprivilegedUser) == 0;
        const std::string report = dropped ? work() : std::string("could not drop privileges");
        if (::write(pipeFds[1], report.data(), report.size()) < 0) ::_exit(2);
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    std::string report;
    char buffer[256];
    for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;) report.append(buffer, size_t(n));
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (WIFSIGNALED(status)) return report + " [child killed by signal " + std::to_string(WTERMSIG(status)) + "]";
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return report + " [child failed]";
    return report;
}

}  // namespace sonvira::test
