#pragma once
// A program killed (kill -9) in the middle of saving: a child process saves without end,
// and is killed after a random moment, again and again; after each kill the test looks at
// what is on the disk. Each child is killed within milliseconds, so nothing here can hang.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <random>
#include <thread>

namespace sonvira::test {

// `kills` times: a child runs save(0), save(1), … until it is killed at a random moment
// within `window`; then `check()` runs in this process. Same random moments on every run.
inline void KillDuringSaves(int kills, const std::function<void(unsigned)>& save, const std::function<void()>& check,
                            std::chrono::microseconds window = std::chrono::microseconds(3000)) {
    std::mt19937 random(1234);
    std::uniform_int_distribution<long> moment(0, window.count());
    for (int k = 0; k < kills; ++k) {
        const pid_t child = ::fork();
        if (child == 0) {
            for (unsigned i = 0;; ++i) save(i);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        check();
    }
}

}  // namespace sonvira::test
