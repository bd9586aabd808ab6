// LoginHandler: how a driver asks the user for a password without knowing who asks. The window
// installs one that shows the "Database Login" dialog, the command line one that prompts on a
// terminal; the session hands it to the driver that needs it.
#pragma once

#include <functional>
#include <string>

namespace rowsmith {

// Why a server asks for a password.
struct LoginPrompt {
    std::string alias;
    // The server's own words for the connection it did not take.
    std::string reason;
    // True when it refused the password given last; false when it merely wants one.
    bool refused = false;
};

// Asked when a server wants a password the alias does not hold. `userName` comes prefilled from
// the alias; return false when the user cancels. A handler that cannot ask anybody may raise an
// error of its own instead.
using LoginHandler =
    std::function<bool(const LoginPrompt& prompt, std::string& userName, std::string& password)>;

}  // namespace rowsmith
