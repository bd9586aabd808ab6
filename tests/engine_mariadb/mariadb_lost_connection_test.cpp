// The fill's connection is killed by another one in the middle of a fill: the records the fill
// counted as written are exactly the ones kept, and the next fill connects again.
#include <string>

#include "fill/fill_engine.h"
#include "mariadb_fixture.h"
#include "model/fill_methods.h"
#include "recording_reporter.h"

namespace rowsmith::test {
namespace {

class MariaLostConnectionTest : public MariaDriverTest {
protected:
    void KillOtherConnections() {
        for (const auto& row : db_->Query("SELECT id FROM information_schema.processlist"
                                          " WHERE db = DATABASE() AND id <> CONNECTION_ID()")) {
            db_->Execute("KILL CONNECTION " + row[0]);
        }
    }

    // Fills t with `records` records, killing the fill's connection before record `killAt` is
    // posted; gives the error that stopped the fill, or "".
    std::string Fill(int records, int killAt, RecordingReporter& reporter) {
        TFillScenario scenario;
        scenario.SetAliasName(db_->Alias());
        TFillTable& table = scenario.Tables().Items(scenario.AddTable("t"));
        table.SetRecCount(records);
        for (const char* name : {"id", "v"}) {
            TFillField& field = table.Fields().Items(table.AddField(name));
            field.SetFillMethod(name[0] == 'i' ? fmAutoIncrement : fmRandomFromSet);
            field.SetFillValue(name[0] == 'i' ? "" : "a,b,c");
        }
        FillEngine filler(scenario, reporter);
        int posted = 0;
        filler.SetRecordObserver([&](const TableCursor&) {
            if (++posted == killAt) {
                KillOtherConnections();
            }
        });
        try {
            filler.FillUp();
        } catch (const EDBEngineError& error) {
            return error.what();
        }
        return "";
    }
};

TEST_F(MariaLostConnectionTest, TheRecordsCountedAsWrittenAreTheOnesKept) {
    db_->Execute("CREATE TABLE t (id integer PRIMARY KEY, v varchar(10)) ENGINE=InnoDB");
    static const struct {
        const char* what;
        int records;
        int killAt;
    } cases[] = {
        {"rows waiting to be sent", 30000, 13210},
        {"before the commit at the end", 20100, 20050},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingReporter reporter;
        const std::string error = Fill(c.records, c.killAt, reporter);
        EXPECT_NE(error.find("gone away"), std::string::npos) << error;
        EXPECT_GE(reporter.written, c.killAt - 1);
        EXPECT_EQ(Count("t"), reporter.written);
        // The message says so, counted on a connection opened again.
        EXPECT_EQ(error.substr(error.rfind('\n') + 1),
                  "Filling stopped in table \"t\", which now holds " +
                      std::to_string(reporter.written) + " records");
    }
    RecordingReporter reporter;
    EXPECT_EQ(Fill(100, 0, reporter), "");
    EXPECT_EQ(Count("t"), 100);
}

}  // namespace
}  // namespace rowsmith::test
