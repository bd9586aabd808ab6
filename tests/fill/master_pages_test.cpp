// The master cursors keep the master table's pages in memory up to a bound; the values a fill
// takes from them must not depend on it.
#include "engine/database_errors.h"
#include "fill_fixture.h"
#include "model/fill_methods.h"

namespace rowsmith::test {
namespace {

class MasterPagesTest : public FillTest {};

// A master table of several pages, taken round more than twice: the values and their order are
// the same whether the master cursor keeps its pages or reads them again, in full or in part.
TEST_P(MasterPagesTest, KeptAndReReadPagesGiveTheSameValues) {
    CreateTable("m", "id " + db.AutoIncKeyType() + ", x VARCHAR(20)");
    // Not in key order, so that a walk in any other order would show.
    db.Execute("INSERT INTO m (x) SELECT 'v' || (n * 7 % 2300) FROM (" + db.Numbers(2300) +
               ") AS n");
    const std::vector<std::string> master = Column("m", "x");
    std::vector<std::string> expected;
    for (std::size_t i = 0; i < 7000; ++i) {
        expected.push_back(master[i % master.size()]);
    }
    CreateTable("g", "id " + db.AutoIncKeyType() + ", a VARCHAR(20)");
    TFillTable& table = AddTable("g", tfEmptyAndFill, 7000);
    SetField(table, "a", fmMasterTable, "m.x");
    for (std::size_t bound : {FillEngine::kMasterPageBound, std::size_t{0}, std::size_t{200000}}) {
        SCOPED_TRACE(bound);
        engine.SetMasterPageBound(bound);
        engine.FillUp();
        EXPECT_EQ(Column("g", "a"), expected);
    }
}

// BIGINT UNSIGNED master values beyond the signed range fill as their digits: a column that takes
// those gets them exactly, and a signed column refuses them as it refuses their text.
TEST_P(MasterPagesTest, UnsignedMasterValuesFillAsTheirDigits) {
    if (GetParam() != TestEngine::MariaDB) {
        GTEST_SKIP() << "only MariaDB has unsigned 64-bit columns";
    }
    CreateTable("m", "id " + db.AutoIncKeyType() + ", u BIGINT UNSIGNED",
                {"1, 18446744073709551615", "2, 9223372036854775808"});
    CreateTable("g", "id " + db.AutoIncKeyType() + ", u BIGINT UNSIGNED, i BIGINT");
    TFillTable& table = AddTable("g", tfEmptyAndFill, 3);
    SetField(table, "u", fmMasterTable, "m.u");
    engine.FillUp();
    EXPECT_EQ(Column("g", "u"),
              (std::vector<std::string>{"18446744073709551615", "9223372036854775808",
                                        "18446744073709551615"}));
    SetField(table, "i", fmMasterTable, "m.u");
    EXPECT_THROW(engine.FillUp(), EDatabaseError);
    EXPECT_EQ(Count("g"), 0);
}

INSTANTIATE_TEST_SUITE_P(Engines, MasterPagesTest, ::testing::ValuesIn(TestEngines()),
                         EngineParamName);

}  // namespace
}  // namespace rowsmith::test
