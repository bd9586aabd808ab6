// LoginHandler: how a driver asks the user for a password without knowing who asks. The window
// installs one that shows the "Database Login" dialog, the command line one that prompts on a
// terminal; the session hands it to the driver that needs it.
#pragma once

#include <functional>
#include <string>

namespace rowsmith {

// Asked when a server wants a password the alias does not hold. `userName` comes prefilled from
// the alias; return false when the user cancels.
using LoginHandler =
    std::function<bool(const std::string& alias, std::string& userName, std::string& password)>;

}  // namespace rowsmith
