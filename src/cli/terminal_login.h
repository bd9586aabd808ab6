// The login prompt of rowsmith-fill: when a database asks for a password the alias does not
// hold, the user is asked on the terminal, the password without echo. Without a terminal on
// standard input nobody can answer, and the login counts as cancelled.
#pragma once

#include <string>

namespace rowsmith {

// A LoginHandler (engine/database_session.h). `userName` comes prefilled; an empty answer keeps it.
bool AskLoginOnTerminal(const std::string& alias, std::string& userName, std::string& password);

}  // namespace rowsmith
