#include "cli/terminal_login.h"

#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>

namespace rowsmith {

namespace {

// Turns the terminal's echo off for as long as it lives.
class EchoOff {
public:
    EchoOff() {
        active_ = tcgetattr(STDIN_FILENO, &saved_) == 0;
        if (active_) {
            termios quiet = saved_;
            quiet.c_lflag &= static_cast<tcflag_t>(~ECHO);
            tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
        }
    }
    ~EchoOff() {
        if (active_) {
            tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved_);
        }
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

private:
    termios saved_{};
    bool active_ = false;
};

}  // namespace

bool AskLoginOnTerminal(const std::string& alias, std::string& userName, std::string& password) {
    if (isatty(STDIN_FILENO) == 0) {
        return false;
    }
    std::fprintf(stderr, "Database Login: %s\nUser name%s%s%s: ", alias.c_str(),
                 userName.empty() ? "" : " [", userName.c_str(), userName.empty() ? "" : "]");
    std::fflush(stderr);
    std::string answer;
    if (!std::getline(std::cin, answer)) {
        return false;
    }
    if (!answer.empty()) {
        userName = answer;
    }
    std::fputs("Password: ", stderr);
    std::fflush(stderr);
    bool answered = false;
    {
        EchoOff echoOff;
        answered = static_cast<bool>(std::getline(std::cin, password));
    }
    // The Enter key was not echoed either.
    std::fputc('\n', stderr);
    return answered;
}

}  // namespace rowsmith
