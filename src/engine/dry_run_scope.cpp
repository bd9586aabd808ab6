#include "engine/dry_run_scope.h"

#include "engine/database_session.h"

namespace rowsmith {

DryRunScope::DryRunScope(const std::string& alias)
    : connection_(&DatabaseSession::Instance().Connect(alias)) {
    connection_->BeginDryRun();
}

DryRunScope::~DryRunScope() {
    if (connection_ != nullptr) {
        try {
            connection_->EndDryRun();
        } catch (...) {
            // The error that ended the run is the one to report.
        }
    }
}

void DryRunScope::Finish() {
    Connection* connection = connection_;
    connection_ = nullptr;
    connection->EndDryRun();
}

}  // namespace rowsmith
