#include "engine/lock_naming_driver.h"

#include "engine/database_errors.h"

namespace rowsmith {

namespace {

template <typename Call>
auto NamingTable(const std::string& tableName, Call call) -> decltype(call()) {
    try {
        return call();
    } catch (const ELockTimeout& error) {
        throw ELockTimeout(std::string(error.what()) + "\n" + LockedTableLine(tableName));
    }
}

class LockNamingDriver : public TableDriver {
public:
    LockNamingDriver(std::unique_ptr<TableDriver> driver, const std::string& tableName)
        : driver_(std::move(driver)), tableName_(tableName) {}

    const std::vector<ColumnInfo>& Columns() const override { return driver_->Columns(); }
    std::vector<Record> ReadPage(const RecordKey* after, std::size_t limit) override {
        return Named([&] { return driver_->ReadPage(after, limit); });
    }
    void ReadPageInto(const RecordKey* after, std::size_t limit,
                      std::vector<Record>& page) override {
        Named([&] { driver_->ReadPageInto(after, limit, page); });
    }
    bool ReadColumns(const std::vector<bool>& columns) override {
        return driver_->ReadColumns(columns);
    }
    bool ReadRecord(const RecordKey& key, Record& record) override {
        return Named([&] { return driver_->ReadRecord(key, record); });
    }
    bool SeekRecord(const RecordKey& key, Record& record) override {
        return Named([&] { return driver_->SeekRecord(key, record); });
    }
    bool SeekPosition(std::int64_t position, std::int64_t count, Record& record) override {
        return Named([&] { return driver_->SeekPosition(position, count, record); });
    }
    bool SeekBefore(const RecordKey& key, std::int64_t back, Record& record) override {
        return Named([&] { return driver_->SeekBefore(key, back, record); });
    }
    void Insert(const std::vector<FieldValue>& values, const std::vector<bool>& assigned) override {
        Named([&] { driver_->Insert(values, assigned); });
    }
    RecordKey LastInsertKey() override {
        return Named([&] { return driver_->LastInsertKey(); });
    }
    void Update(RecordKey& key, const std::vector<FieldValue>& values,
                const std::vector<bool>& assigned) override {
        Named([&] { driver_->Update(key, values, assigned); });
    }
    void Delete(const RecordKey& key) override {
        Named([&] { driver_->Delete(key); });
    }
    void DeleteAll() override {
        Named([&] { driver_->DeleteAll(); });
    }
    std::int64_t Count() override {
        return Named([&] { return driver_->Count(); });
    }

private:
    template <typename Call>
    auto Named(Call call) -> decltype(call()) {
        return NamingTable(tableName_, call);
    }

    std::unique_ptr<TableDriver> driver_;
    std::string tableName_;
};

}  // namespace

std::string LockedTableLine(const std::string& tableName) {
    return "Table \"" + tableName +
           "\" stayed locked by another connection longer than the alias's LOCK TIMEOUT";
}

std::unique_ptr<TableDriver> OpenNamingLockTimeouts(Connection& connection,
                                                    const std::string& tableName, bool exclusive) {
    auto driver =
        NamingTable(tableName, [&] { return connection.OpenTable(tableName, exclusive); });
    return std::make_unique<LockNamingDriver>(std::move(driver), tableName);
}

}  // namespace rowsmith
