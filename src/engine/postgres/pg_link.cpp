#include "engine/postgres/pg_link.h"

#include <sstream>
#include <string_view>

#include "engine/database_errors.h"
#include "text/text_helpers.h"

namespace rowsmith {

namespace {

// libpq's connection messages come with severity prefixes, tabs and blank lines; the user gets
// the plain sentences, one per line.
std::string TidyMessage(const std::string& text) {
    std::istringstream lines(text);
    std::string line, tidy;
    while (std::getline(lines, line)) {
        line = TrimSpaces(line);
        if (line.empty()) {
            continue;
        }
        for (const char* prefix : {"FATAL:  ", "ERROR:  "}) {
            if (line.rfind(prefix, 0) == 0) {
                line.erase(0, std::char_traits<char>::length(prefix));
            }
        }
        tidy += (tidy.empty() ? "" : "\n") + line;
    }
    return tidy;
}

}  // namespace

std::string PgErrorText(const PGconn* conn, const PGresult* result) {
    const char* primary = result ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    if (primary == nullptr) {
        std::string text = TidyMessage(conn ? PQerrorMessage(conn) : "");
        return text.empty() ? "connection to the database server lost" : text;
    }
    std::string text = primary;
    if (const char* detail = PQresultErrorField(result, PG_DIAG_MESSAGE_DETAIL)) {
        text += "\n" + TidyMessage(detail);
    }
    return text;
}

PgLink::PgLink(PGconn* conn) : conn_(conn) {
    // The server's notices (a ROLLBACK with nothing to roll back, say) are no concern of the user.
    PQsetNoticeProcessor(
        conn_, [](void*, const char*) {}, nullptr);
}

PgLink::~PgLink() {
    PQfinish(conn_);
}

void PgLink::Fail(const PGresult* result) const {
    const char* state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    // lock_not_available: lock_timeout ran out (or a NOWAIT lock was refused).
    if (state != nullptr && std::string_view(state) == "55P03") {
        throw ELockTimeout(PgErrorText(conn_, result));
    }
    throw EDBEngineError(PgErrorText(conn_, result));
}

PgResult PgLink::Check(PGresult* raw, ExecStatusType expected) const {
    PgResult result(raw);
    if (!result || PQresultStatus(result.get()) != expected) {
        Fail(result.get());
    }
    return result;
}

void PgLink::Execute(const std::string& sql) {
    Check(PQexec(conn_, sql.c_str()), PGRES_COMMAND_OK);
}

namespace {

std::vector<const char*> ParamValues(const std::vector<PgText>& params) {
    std::vector<const char*> values;
    values.reserve(params.size());
    for (const PgText& param : params) {
        values.push_back(param ? param->c_str() : nullptr);
    }
    return values;
}

}  // namespace

PgResult PgLink::Query(const std::string& sql, const std::vector<PgText>& params) {
    const std::vector<const char*> values = ParamValues(params);
    return CheckQuery(PQexecParams(conn_, sql.c_str(), static_cast<int>(values.size()), nullptr,
                                   values.data(), nullptr, nullptr, 0));
}

PgResult PgLink::QueryPrepared(const std::string& sql, const std::vector<PgText>& params) {
    auto found = prepared_.find(sql);
    if (found == prepared_.end()) {
        const std::string name = "rs" + std::to_string(prepared_.size() + 1);
        Check(PQprepare(conn_, name.c_str(), sql.c_str(), 0, nullptr), PGRES_COMMAND_OK);
        found = prepared_.emplace(sql, name).first;
    }
    const std::vector<const char*> values = ParamValues(params);
    return CheckQuery(PQexecPrepared(conn_, found->second.c_str(), static_cast<int>(values.size()),
                                     values.data(), nullptr, nullptr, 0));
}

PgResult PgLink::CheckQuery(PGresult* raw) const {
    PgResult result(raw);
    const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        Fail(result.get());
    }
    return result;
}

void PgLink::StartCopy(const std::string& sql) {
    Check(PQexec(conn_, sql.c_str()), PGRES_COPY_IN);
    copying_ = true;
}

void PgLink::SendCopyData(const char* data, std::size_t size) {
    if (PQputCopyData(conn_, data, static_cast<int>(size)) != 1) {
        copying_ = false;
        Fail(nullptr);
    }
}

void PgLink::FinishCopy() {
    EndCopy();
    AwaitResult();
}

void PgLink::EndCopy() {
    copying_ = false;
    if (PQputCopyEnd(conn_, nullptr) != 1) {
        Fail(nullptr);
    }
}

void PgLink::SendQuery(const std::string& sql) {
    if (PQsendQuery(conn_, sql.c_str()) != 1) {
        Fail(nullptr);
    }
}

bool PgLink::ResultIn() {
    // A broken connection has its verdict at once.
    return PQconsumeInput(conn_) == 0 || PQisBusy(conn_) == 0;
}

PgResult PgLink::AwaitResult() {
    PgResult result(PQgetResult(conn_));
    // The connection is free again only after every result was read.
    while (PGresult* extra = PQgetResult(conn_)) {
        PQclear(extra);
    }
    return CheckQuery(result.release());
}

void PgLink::AbandonCopy() {
    if (!copying_) {
        return;
    }
    copying_ = false;
    if (PQputCopyEnd(conn_, "abandoned by the client") == 1) {
        while (PGresult* result = PQgetResult(conn_)) {
            PQclear(result);
        }
    }
}

bool PgLink::Alive() const {
    return PQstatus(conn_) == CONNECTION_OK;
}

bool PgLink::InTransaction() const {
    const PGTransactionStatusType status = PQtransactionStatus(conn_);
    return status == PQTRANS_INTRANS || status == PQTRANS_INERROR;
}

bool PgLink::TransactionFailed() const {
    return PQtransactionStatus(conn_) == PQTRANS_INERROR;
}

void PgLink::Revive() {
    copying_ = false;
    prepared_.clear();
    PQreset(conn_);
    if (!Alive()) {
        Fail(nullptr);
    }
}

std::unique_ptr<PgLink> PgLink::Twin() const {
    PQconninfoOption* options = PQconninfo(conn_);
    std::vector<const char*> keys;
    std::vector<const char*> values;
    for (PQconninfoOption* option = options; option && option->keyword; ++option) {
        if (option->val != nullptr && *option->val != '\0') {
            keys.push_back(option->keyword);
            values.push_back(option->val);
        }
    }
    keys.push_back(nullptr);
    values.push_back(nullptr);
    PGconn* twin = PQconnectdbParams(keys.data(), values.data(), 0);
    PQconninfoFree(options);
    auto link = std::make_unique<PgLink>(twin);
    if (!link->Alive()) {
        link->Fail(nullptr);
    }
    return link;
}

}  // namespace rowsmith
