// How SQLite's declared column types map to TFieldType. SQLite accepts any type name, so the
// common names of other databases are recognised first and SQLite's own affinity rules decide
// for the rest:
//
//   INTEGER PRIMARY KEY (the rowid alias)          ftAutoInc, 64-bit, writable
//   SMALLINT, INT2, TINYINT                        ftSmallint
//   INT, INTEGER, MEDIUMINT, INT4                  ftInteger (32-bit range)
//   BIGINT, INT8, UNSIGNED BIG INT                 ftInteger (64-bit range)
//   WORD                                           ftWord (0 to 65535)
//   BOOLEAN, BOOL                                  ftBoolean
//   REAL, DOUBLE, DOUBLE PRECISION, FLOAT...       ftFloat
//   MONEY, CURRENCY                                ftCurrency
//   DECIMAL, NUMERIC                               ftBCD
//   DATE / TIME / DATETIME, TIMESTAMP              ftDate / ftTime / ftDateTime
//   VARCHAR(n), CHAR(n), TEXT, CLOB...             ftString of size n (0: no limit)
//   BLOB, BYTEA, BINARY, VARBINARY                 ftBlob
//   no type at all, or a name nothing above fits  ftString of no limit
//
// TEXT is ftString rather than ftMemo: the fill and the data viewer treat it as the plain text
// it is in SQLite, where it has no size limit and no separate storage.
#pragma once

#include <string>

#include "engine/driver.h"

namespace rowsmith {

ColumnInfo SqliteColumnInfo(const std::string& name, const std::string& declaredType,
                            bool rowidAlias);

}  // namespace rowsmith
