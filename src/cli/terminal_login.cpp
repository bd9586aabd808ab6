#include "cli/terminal_login.h"

#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <iostream>
#include <iterator>

#include "engine/database_errors.h"

namespace rowsmith {

namespace {

// The terminal's settings before the echo went off, for a signal that ends the program at the
// prompt.
termios savedTerminal{};

// Gives the terminal its echo back, then ends the program as the signal would have.
extern "C" void RestoreEchoAndEnd(int signal) {
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &savedTerminal);
    const char newline = '\n';
    [[maybe_unused]] const auto written = write(STDERR_FILENO, &newline, 1);
    std::signal(signal, SIG_DFL);
    raise(signal);
}

// Turns the terminal's echo off for as long as it lives. Ctrl+C and the other signals that end
// the program restore it first, so the shell is not left without echo.
class EchoOff {
public:
    EchoOff() {
        active_ = tcgetattr(STDIN_FILENO, &savedTerminal) == 0;
        if (!active_) {
            return;
        }
        struct sigaction restore {};
        restore.sa_handler = RestoreEchoAndEnd;
        sigemptyset(&restore.sa_mask);
        for (std::size_t i = 0; i < std::size(kSignals); ++i) {
            sigaction(kSignals[i], &restore, &previous_[i]);
        }
        termios quiet = savedTerminal;
        quiet.c_lflag &= static_cast<tcflag_t>(~ECHO);
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    ~EchoOff() {
        if (!active_) {
            return;
        }
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &savedTerminal);
        for (std::size_t i = 0; i < std::size(kSignals); ++i) {
            sigaction(kSignals[i], &previous_[i], nullptr);
        }
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

private:
    static constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
    struct sigaction previous_[std::size(kSignals)]{};
    bool active_ = false;
};

// The server's words on one line, without the line end they come with.
std::string Reason(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) {
        text.pop_back();
    }
    for (char& c : text) {
        if (c == '\n') {
            c = ' ';
        }
    }
    return text;
}

}  // namespace

bool AskLoginOnTerminal(const LoginPrompt& prompt, std::string& userName, std::string& password) {
    if (isatty(STDIN_FILENO) == 0) {
        throw EDatabaseError("Cannot connect to database '" + prompt.alias +
                             "': the server wants a password and there is no terminal to ask "
                             "for one (" +
                             Reason(prompt.reason) + ")");
    }
    if (prompt.refused) {
        std::fprintf(stderr, "The password was refused: %s\n", Reason(prompt.reason).c_str());
    }
    std::fprintf(stderr, "Database Login: %s\nUser name%s%s%s: ", prompt.alias.c_str(),
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
