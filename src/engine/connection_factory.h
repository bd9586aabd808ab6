// OpenConnection: the one place that turns an alias's configuration into a live connection,
// choosing the driver its DRIVER key names. The session calls it once per alias.
#pragma once

#include <memory>

#include "engine/alias_config.h"
#include "engine/driver.h"
#include "engine/login_handler.h"

namespace rowsmith {

// Throws EDBEngineError for an unknown driver or a database that cannot be reached, and
// EDatabaseError "Cannot connect to database '%s'" when the login is cancelled.
std::unique_ptr<Connection> OpenConnection(const AliasConfig& config, const LoginHandler& login);

}  // namespace rowsmith
