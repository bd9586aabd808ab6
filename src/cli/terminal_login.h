// The login prompt of rowsmith-fill: when a database asks for a password the alias does not
// hold, the user is asked on the terminal, the password without echo; a refused password is said
// to be refused before the next question. Without a terminal on standard input nobody can
// answer: the login fails with the server's reason.
#pragma once

#include <string>

#include "engine/login_handler.h"

namespace rowsmith {

// A LoginHandler. `userName` comes prefilled; an empty answer keeps it.
bool AskLoginOnTerminal(const LoginPrompt& prompt, std::string& userName, std::string& password);

}  // namespace rowsmith
