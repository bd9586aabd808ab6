#include "busy_load.h"

#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <thread>

namespace rowsmith::bench {

BusyLoad::BusyLoad(int processes) {
    for (int i = 0; i < processes; ++i) {
        const pid_t pid = fork();
        if (pid < 0) {
            Stop();
            throw std::runtime_error("cannot start a process to keep the machine busy");
        }
        if (pid == 0) {
            // Out of the benchmark's session Ctrl-C does not reach it: it goes when the
            // benchmark goes, however that ends.
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            if (getppid() == 1) {
                _exit(0);
            }
            setsid();
            execl("/bin/sh", "sh", "-c", "while :; do :; done", static_cast<char*>(nullptr));
            _exit(127);
        }
        spinners_.push_back(pid);
    }
    if (processes > 0) {
        // Long enough for the scheduler to spread them and for the load to start rising.
        std::this_thread::sleep_for(std::chrono::seconds(3));
    }
}

BusyLoad::~BusyLoad() {
    Stop();
}

void BusyLoad::Stop() {
    for (pid_t pid : spinners_) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    spinners_.clear();
}

}  // namespace rowsmith::bench
