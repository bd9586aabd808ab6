#include "engine/fill_run_scope.h"

#include "engine/database_session.h"

namespace rowsmith {

// A fill posts records one by one, and committing each would cost a disk sync per record. The
// scope lets the driver batch the commits for the length of the run while still guaranteeing
// that every record posted before an error is kept.
FillRunScope::FillRunScope(const std::string& alias)
    : connection_(&DatabaseSession::Instance().Connect(alias)) {
    connection_->BeginFillRun();
}

FillRunScope::~FillRunScope() {
    if (connection_ != nullptr) {
        try {
            connection_->EndFillRun();
        } catch (...) {
            // An error is already on its way; a second one from the commit must not replace it.
        }
    }
}

void FillRunScope::Finish() {
    Connection* connection = connection_;
    connection_ = nullptr;
    if (connection != nullptr) {
        connection->EndFillRun();
    }
}

}  // namespace rowsmith
