// UpdateForm: the statements that write many records' updates of the same columns of one table
// at once, on a server. Each record's key and new values go as a row into a temporary table of
// the same column types, and one UPDATE joining it writes them over the table's records; a batch
// the server refuses is replayed a record at a time by the single-record form, which takes the
// same values in the same order. The columns are worked out once here; each server's dialect says
// how its statements are spelt.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace rowsmith {

struct UpdateForm {
    // Makes the temporary table, empty.
    std::string create;
    // Empties it before each set of records; empty where `create` makes it anew each time.
    std::string clear;
    // Fills it: a COPY, or an INSERT of one row whose placeholders begin at `valuesAt`.
    std::string fill;
    std::size_t valuesAt = 0;
    // Writes the temporary table's rows over the table's records.
    std::string apply;
    // The same for records that all keep their keys: a key column left alone spares the server
    // setting the updates aside before it writes them.
    std::string applyKeepingKeys;
    // The update of one record, by the same values as a row, in the same order.
    std::string single;
};

// A column of the table as an update form names it.
struct UpdateColumn {
    // Quoted.
    std::string name;
    // The SQL type a key parameter is cast to, where the dialect casts.
    std::string type;
    // A written column that is part of the key.
    bool key = false;
};

// What the shared part has worked out, for a dialect to spell its statements with. The
// temporary table's columns are k1.. for the key and c1.. for the written columns.
struct UpdateParts {
    // Quoted, and the temporary table's name.
    std::string table;
    std::string scratch;
    // "t.a AS k1, t.b AS c1", in the order of a row.
    std::string select;
    // "k1, c1", the same order.
    std::string names;
    // A placeholder per column of a row.
    std::string marks;
    // The joined UPDATE's assignments, all of them and those of columns outside the key.
    std::string sets;
    std::string keptSets;
    // "t.a = s.k1 AND ...", and the key's first column, "t.a".
    std::string join;
    std::string leadKey;
    // The single-record form's assignments and key condition.
    std::string singleSets;
    std::string singleKey;
};

class UpdateDialect {
public:
    virtual ~UpdateDialect() = default;
    // Whether a row holds the key before the new values.
    virtual bool KeysFirst() const = 0;
    virtual std::string Scratch() const = 0;
    // The placeholder of the `n`th parameter, from 1, of a column of SQL type `type` (empty for
    // a written column).
    virtual std::string Mark(std::size_t n, const std::string& type) const = 0;
    // The left side of an assignment of the joined UPDATE, the table being `t`.
    virtual std::string SetTarget(const std::string& column) const = 0;
    virtual UpdateForm Spell(const UpdateParts& parts) const = 0;
};

// The form that writes `written` of `table` (quoted), whose records are found by `keys`.
// REQUIRES: `keys` and `written` are not empty.
UpdateForm MakeUpdateForm(const UpdateDialect& dialect, const std::string& table,
                          const std::vector<UpdateColumn>& keys,
                          const std::vector<UpdateColumn>& written);

}  // namespace rowsmith
