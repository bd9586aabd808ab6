#include "engine/mariadb/mariadb_link.h"

#include <errmsg.h>
#include <mysqld_error.h>

#include <cstring>

#include "engine/currency.h"
#include "engine/database_errors.h"

namespace rowsmith {

namespace {

constexpr unsigned long kTextBuffer = 256;

bool IntegerField(enum_field_types type) {
    return type == MYSQL_TYPE_TINY || type == MYSQL_TYPE_SHORT || type == MYSQL_TYPE_INT24 ||
           type == MYSQL_TYPE_LONG || type == MYSQL_TYPE_LONGLONG || type == MYSQL_TYPE_YEAR;
}

bool ConnectionLost(unsigned code) {
    return code == CR_SERVER_GONE_ERROR || code == CR_SERVER_LOST ||
           code == CR_SERVER_LOST_EXTENDED || code == ER_CONNECTION_KILLED;
}

}  // namespace

MariaLink::MariaLink(MYSQL* conn, MariaDialer redial) : conn_(conn), redial_(std::move(redial)) {}

MariaLink::~MariaLink() {
    prepared_.clear();
    mysql_close(conn_);
}

void MariaLink::Execute(const std::string& sql) {
    if (mysql_real_query(conn_, sql.data(), sql.size()) != 0) {
        Raise(mysql_errno(conn_), mysql_error(conn_));
    }
    if (MYSQL_RES* result = mysql_store_result(conn_)) {
        mysql_free_result(result);
    }
}

bool MariaLink::InTransaction() {
    unsigned status = 0;
    mariadb_get_infov(conn_, MARIADB_CONNECTION_SERVER_STATUS, &status);
    return (status & SERVER_STATUS_IN_TRANS) != 0;
}

void MariaLink::Revive() {
    MYSQL* fresh = redial_();
    prepared_.clear();
    mysql_close(conn_);
    conn_ = fresh;
    lost_ = false;
    ++generation_;
}

void MariaLink::Raise(unsigned code, const char* message) {
    lost_ = ConnectionLost(code);
    if (code == ER_LOCK_WAIT_TIMEOUT) {
        throw ELockTimeout(message);
    }
    throw EDBEngineError(message);
}

MYSQL_STMT* MariaLink::Prepared(const std::string& sql) {
    auto found = prepared_.find(sql);
    if (found != prepared_.end()) {
        return found->second.get();
    }
    StmtPtr stmt(mysql_stmt_init(conn_));
    if (!stmt) {
        throw EDBEngineError("Out of memory");
    }
    if (mysql_stmt_prepare(stmt.get(), sql.data(), sql.size()) != 0) {
        Fail(stmt.get(), sql);
    }
    return prepared_.emplace(sql, std::move(stmt)).first->second.get();
}

void MariaLink::Fail(MYSQL_STMT* stmt, const std::string& sql) {
    const unsigned code = mysql_stmt_errno(stmt);
    const std::string message = mysql_stmt_error(stmt);
    // A statement the server no longer knows (after a lost connection) is prepared again.
    prepared_.erase(sql);
    Raise(code, message.c_str());
}

std::vector<MariaRow> MariaLink::Query(const std::string& sql,
                                       const std::vector<MariaParam>& params, bool once) {
    if (!once) {
        return Run(Prepared(sql), sql, params);
    }
    StmtPtr stmt(mysql_stmt_init(conn_));
    if (!stmt) {
        throw EDBEngineError("Out of memory");
    }
    if (mysql_stmt_prepare(stmt.get(), sql.data(), sql.size()) != 0) {
        Raise(mysql_stmt_errno(stmt.get()), mysql_stmt_error(stmt.get()));
    }
    return Run(stmt.get(), sql, params);
}

std::vector<MariaRow> MariaLink::Run(MYSQL_STMT* stmt, const std::string& sql,
                                     const std::vector<MariaParam>& params) {
    std::vector<MYSQL_BIND> binds(params.size());
    std::vector<char> nulls(params.size(), 0);
    // The amounts' texts, bound where they stand: reserved once, so none of them moves.
    std::vector<std::string> amounts;
    for (std::size_t i = 0; i < params.size(); ++i) {
        MYSQL_BIND& bind = binds[i];
        std::memset(&bind, 0, sizeof bind);
        const FieldValue& value = *params[i].value;
        if (std::holds_alternative<std::monostate>(value)) {
            bind.buffer_type = MYSQL_TYPE_NULL;
        } else if (const auto* integer = std::get_if<std::int64_t>(&value)) {
            bind.buffer_type = MYSQL_TYPE_LONGLONG;
            bind.buffer = const_cast<std::int64_t*>(integer);
            bind.is_unsigned = params[i].bind == MariaBind::Unsigned;
        } else if (const auto* real = std::get_if<double>(&value)) {
            bind.buffer_type = MYSQL_TYPE_DOUBLE;
            bind.buffer = const_cast<double*>(real);
        } else if (const auto* amount = std::get_if<Currency>(&value)) {
            if (amounts.empty()) {
                amounts.reserve(params.size());
            }
            std::string& text = amounts.emplace_back();
            AppendCurrency(text, *amount, '.');
            bind.buffer_type = MYSQL_TYPE_NEWDECIMAL;
            bind.buffer = text.data();
            bind.buffer_length = text.size();
        } else {
            const std::string& text = std::get<std::string>(value);
            bind.buffer_type =
                params[i].bind == MariaBind::Bytes ? MYSQL_TYPE_BLOB : MYSQL_TYPE_STRING;
            bind.buffer = const_cast<char*>(text.data());
            bind.buffer_length = text.size();
        }
    }
    if ((!binds.empty() && mysql_stmt_bind_param(stmt, binds.data())) ||
        mysql_stmt_execute(stmt) != 0) {
        Fail(stmt, sql);
    }
    affected_ = mysql_stmt_affected_rows(stmt);
    insertId_ = mysql_stmt_insert_id(stmt);
    if (mysql_stmt_field_count(stmt) == 0) {
        return {};
    }
    return Fetch(stmt, sql);
}

std::vector<MariaRow> MariaLink::Fetch(MYSQL_STMT* stmt, const std::string& sql) {
    MYSQL_RES* meta = mysql_stmt_result_metadata(stmt);
    const unsigned count = mysql_num_fields(meta);
    const MYSQL_FIELD* fields = mysql_fetch_fields(meta);
    std::vector<MYSQL_BIND> binds(count);
    std::vector<std::int64_t> integers(count);
    std::vector<std::string> texts(count);
    std::vector<unsigned long> lengths(count);
    std::vector<my_bool> nulls(count);
    std::vector<bool> isInteger(count);
    std::vector<bool> isUnsigned(count);
    for (unsigned i = 0; i < count; ++i) {
        MYSQL_BIND& bind = binds[i];
        std::memset(&bind, 0, sizeof bind);
        isInteger[i] = IntegerField(fields[i].type);
        isUnsigned[i] = (fields[i].flags & UNSIGNED_FLAG) != 0;
        if (isInteger[i]) {
            bind.buffer_type = MYSQL_TYPE_LONGLONG;
            bind.buffer = &integers[i];
            bind.is_unsigned = isUnsigned[i];
        } else {
            texts[i].resize(kTextBuffer);
            bind.buffer_type = MYSQL_TYPE_STRING;
            bind.buffer = texts[i].data();
            bind.buffer_length = kTextBuffer;
        }
        bind.length = &lengths[i];
        bind.is_null = &nulls[i];
    }
    mysql_free_result(meta);
    if (mysql_stmt_bind_result(stmt, binds.data()) != 0) {
        Fail(stmt, sql);
    }
    std::vector<MariaRow> rows;
    for (;;) {
        const int status = mysql_stmt_fetch(stmt);
        if (status == MYSQL_NO_DATA) {
            break;
        }
        if (status == 1) {
            Fail(stmt, sql);
        }
        MariaRow row(count);
        for (unsigned i = 0; i < count; ++i) {
            if (nulls[i]) {
                continue;
            }
            if (isInteger[i]) {
                row[i] = integers[i];
                continue;
            }
            std::string text(lengths[i], '\0');
            if (lengths[i] <= kTextBuffer) {
                std::memcpy(text.data(), texts[i].data(), lengths[i]);
            } else {
                MYSQL_BIND whole;
                std::memset(&whole, 0, sizeof whole);
                whole.buffer_type = MYSQL_TYPE_STRING;
                whole.buffer = text.data();
                whole.buffer_length = lengths[i];
                if (mysql_stmt_fetch_column(stmt, &whole, i, 0) != 0) {
                    Fail(stmt, sql);
                }
            }
            row[i] = std::move(text);
        }
        rows.push_back(std::move(row));
    }
    mysql_stmt_free_result(stmt);
    return rows;
}

std::string QuoteMariaIdentifier(const std::string& name) {
    std::string quoted = "`";
    for (char c : name) {
        quoted += c;
        if (c == '`') {
            quoted += '`';
        }
    }
    return quoted + "`";
}

}  // namespace rowsmith
