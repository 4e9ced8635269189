#pragma once
// Starts a helper command (parecord, paplay, sox) from a test and waits for it with a
// time limit, so a hanging tool fails the test instead of stalling it.

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace sonvira::test {

// Starts `args` (looked up on PATH) with the test's environment; -1 when it cannot.
inline pid_t Spawn(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
    return pid;
}

// Waits for the child up to `limit`, then kills it. Its exit status; -1 when it was
// killed for taking too long, -2 when a signal ended it.
inline int WaitFor(pid_t pid, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > end) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
}

// Runs `check` in a child process whose only sound device is a sound server that does not
// exist (PortAudio and ALSA read their configuration once per process, hence the child),
// and returns its exit status as WaitFor does: 0 when `check` returned true. `scratch` is
// a folder for the ALSA configuration.
inline int RunWithoutSoundDevices(const std::string& scratch, const std::function<bool()>& check,
                                  std::chrono::milliseconds limit = std::chrono::seconds(20)) {
    const std::string config = scratch + "/asound.conf";
    std::ofstream(config) << "pcm.!default { type pulse server \"unix:/nonexistent/sonvira\" }\n"
                             "ctl.!default { type pulse server \"unix:/nonexistent/sonvira\" }\n";
    const pid_t child = fork();
    if (child < 0) return -2;
    if (child == 0) {
        setenv("ALSA_CONFIG_PATH", config.c_str(), 1);
        setenv("PULSE_SERVER", "unix:/nonexistent/sonvira", 1);
        _exit(check() ? 0 : 1);
    }
    return WaitFor(child, limit);
}

// Runs `work(0)` … `work(copies - 1)` in as many child processes that start together (as
// copies of the program do when a desktop opens several files at once) and waits for all
// of them, each up to `limit`. True when every child's `work` returned true in time.
inline bool RunTogether(int copies, const std::function<bool(int)>& work,
                        std::chrono::milliseconds limit = std::chrono::seconds(30)) {
    int gate[2];
    if (pipe(gate) != 0) return false;
    std::vector<pid_t> children;
    for (int i = 0; i < copies; ++i) {
        const pid_t child = fork();
        if (child == 0) {
            close(gate[1]);
            char go;
            const bool started = read(gate[0], &go, 1) == 0;  // the parent closed the gate: start
            bool done = false;
            try {
                done = started && work(i);
            } catch (...) {
                // Nothing may leave the child: it would go on as a second test run.
            }
            _exit(done ? 0 : 1);
        }
        if (child > 0) children.push_back(child);
    }
    close(gate[0]);
    close(gate[1]);
    bool ok = children.size() == static_cast<size_t>(copies);
    for (const pid_t child : children) ok = WaitFor(child, limit) == 0 && ok;
    return ok;
}

}  // namespace sonvira::test
