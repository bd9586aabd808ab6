// The data viewer's model on real tables of both engines: Qt's model checks, the window of pages,
// the window of rows over a table larger than it, and edits, new records and deletions reaching
// the database, refused ones staying pending.
#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include "dialogs/table_data_model.h"
#include "engine/database_errors.h"
#include "test_database.h"
#include "ui_test_support.h"

namespace rowsmith::test {

class TableDataModelTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() {
        model_.reset();
        cursor_.reset();
        database_.reset();
    }
    void keepsQtsModelContract();
    void holdsAWindowOfPages_data() { Engines(); }
    void holdsAWindowOfPages();
    void editAppendAndDeleteReachTheTable_data() { Engines(); }
    void editAppendAndDeleteReachTheTable();
    void refusedPostKeepsTheRecordPending_data() { Engines(); }
    void refusedPostKeepsTheRecordPending();
    void aFailedReadIsSignalledNotShown();
    void showsAWindowOfALargeTable();

private:
    // Every engine has its row; one whose server is absent is skipped.
    static void Engines() {
        QTest::addColumn<int>("engine");
        for (TestEngine engine : TestEngines()) {
            QTest::newRow(EngineName(engine).c_str()) << static_cast<int>(engine);
        }
    }

    // A table "people" of `count` records whose ids run from 1, opened in `cursor_` and shown
    // by the model, counted unless `count` is false.
    void MakeTable(TestEngine engine, int count, bool counted = true) {
        cleanup();
        database_ = std::make_unique<TestDatabase>(engine);
        database_->Execute("CREATE TABLE people (id " + database_->AutoIncKeyType() +
                           ", name VARCHAR(8), age SMALLINT)");
        database_->Execute("INSERT INTO people (id, name, age) SELECT n, 'p' || n, n % 100 FROM (" +
                           database_->Numbers(count) + ") AS numbers");
        cursor_ = std::make_unique<TableCursor>();
        cursor_->SetDatabaseName(database_->Alias());
        cursor_->SetTableName("people");
        cursor_->Open();
        model_ = std::make_unique<TableDataModel>();
        model_->SetCursor(cursor_.get());
        if (counted) {
            model_->FinishCount();
        }
    }

    TestEngine Engine() {
        QFETCH(int, engine);
        return static_cast<TestEngine>(engine);
    }

    QString Cell(int row, int column) { return model_->index(row, column).data().toString(); }
    std::string Value(const std::string& sql) { return database_->QueryValue(sql); }

    std::unique_ptr<TestDatabase> database_;
    std::unique_ptr<TableCursor> cursor_;
    std::unique_ptr<TableDataModel> model_;
};

void TableDataModelTest::keepsQtsModelContract() {
    MakeTable(TestEngine::SQLite, 250, false);
    QAbstractItemModelTester tester(model_.get(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(model_->rowCount(), 101);
    QTRY_VERIFY(model_->Counted());
    QCOMPARE(model_->rowCount(), 251);
    QCOMPARE(Cell(249, 1), QString("p250"));
    QVERIFY(model_->setData(model_->index(3, 1), "x"));
    model_->Post();
    QVERIFY(model_->setData(model_->index(model_->AppendRow(), 1), "new"));
    model_->Post();
    model_->DeleteRecord(0);
    model_->SetCursor(nullptr);
    QCOMPARE(model_->rowCount(), 0);
    model_->SetCursor(cursor_.get());
    model_->FinishCount();
    QCOMPARE(model_->rowCount(), 251);
}

void TableDataModelTest::holdsAWindowOfPages() {
    if (const std::string absent = AbsentServer(Engine()); !absent.empty()) {
        QSKIP(absent.c_str());
    }
    MakeTable(Engine(), 2500, false);
    // The first page shows before the table is counted.
    QCOMPARE(model_->LoadedPages(), 1);
    QCOMPARE(model_->rowCount(), TableDataModel::kPageRows + 1);
    QCOMPARE(Cell(99, 0), QString("100"));
    model_->FinishCount();
    QCOMPARE(model_->rowCount(), 2501);
    QCOMPARE(model_->columnCount(), 3);
    QCOMPARE(model_->headerData(1, Qt::Horizontal).toString(), QString("name"));
    QCOMPARE(model_->headerData(2500, Qt::Vertical).toString(), QString("*"));
    // Jumps to the end, the middle and back, then a scroll through more rows than the window holds.
    const int rows[] = {2499, 1234, 0, 2400, 1};
    for (int row : rows) {
        QCOMPARE(Cell(row, 0), QString::number(row + 1));
    }
    for (int row = 0; row < 1500; ++row) {
        QCOMPARE(Cell(row, 1), "p" + QString::number(row + 1));
    }
    QVERIFY(model_->LoadedPages() <= TablePageCache::kMaxPages);
    QCOMPARE(Cell(2500, 1), QString());
}

void TableDataModelTest::editAppendAndDeleteReachTheTable() {
    if (const std::string absent = AbsentServer(Engine()); !absent.empty()) {
        QSKIP(absent.c_str());
    }
    MakeTable(Engine(), 300);
    QVERIFY(model_->setData(model_->index(250, 1), "changed"));
    QVERIFY(model_->setData(model_->index(250, 2), "7"));
    QVERIFY2(!model_->setData(model_->index(251, 1), "other"), "one pending record at a time");
    QCOMPARE(model_->PendingRow(), 250);
    QCOMPARE(Value("SELECT name FROM people WHERE id = 251"), std::string("p251"));
    model_->Post();
    QCOMPARE(model_->PendingRow(), -1);
    QCOMPARE(Value("SELECT name || ':' || age FROM people WHERE id = 251"),
             std::string("changed:7"));

    QVERIFY(model_->setData(model_->index(300, 0), "1000"));
    QVERIFY(model_->setData(model_->index(300, 1), "appended"));
    model_->Post();
    QCOMPARE(model_->rowCount(), 302);
    QCOMPARE(Cell(300, 1), QString("appended"));
    QCOMPARE(Value("SELECT name FROM people WHERE id = 1000"), std::string("appended"));

    model_->DeleteRecord(299);
    QCOMPARE(model_->rowCount(), 301);
    QCOMPARE(Value("SELECT count(*) FROM people WHERE id = 300"), std::string("0"));
    QCOMPARE(Cell(299, 1), QString("appended"));
    QCOMPARE(Cell(298, 1), QString("p299"));
    QCOMPARE(Value("SELECT count(*) FROM people"), std::string("300"));
}

void TableDataModelTest::refusedPostKeepsTheRecordPending() {
    if (const std::string absent = AbsentServer(Engine()); !absent.empty()) {
        QSKIP(absent.c_str());
    }
    MakeTable(Engine(), 5);
    struct {
        int column;
        const char* text;
    } refused[] = {{2, "abc"}, {2, "70000"}, {0, "1"}};  // conversion, range, key violation
    for (const auto& c : refused) {
        QVERIFY(model_->setData(model_->index(2, c.column), c.text));
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, model_->Post());
        QCOMPARE(model_->PendingRow(), 2);
        QCOMPARE(Cell(2, c.column), QString(c.text));
        model_->CancelPending();
        QCOMPARE(model_->PendingRow(), -1);
    }
    QCOMPARE(Value("SELECT id || name || age FROM people WHERE name = 'p3'"), std::string("3p33"));
    // A refused new record stays pending too, and is dropped when left behind.
    QVERIFY(model_->setData(model_->index(5, 0), "2"));
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, model_->Post());
    QCOMPARE(model_->PendingRow(), 5);
    model_->SetCursor(cursor_.get());
    QCOMPARE(model_->PendingRow(), -1);
    QVERIFY(model_->Counted());
    QCOMPARE(Value("SELECT count(*) FROM people"), std::string("5"));
}

void TableDataModelTest::aFailedReadIsSignalledNotShown() {
    MakeTable(TestEngine::SQLite, 500);
    const ModalAnswers answers;
    QSignalSpy failed(model_.get(), &TableDataModel::LoadFailed);
    database_->Execute("DROP TABLE people");
    QCOMPARE(Cell(420, 1), QString());
    QCOMPARE(Cell(421, 1), QString());
    QCOMPARE(failed.count(), 1);
    QVERIFY(!failed.front().front().toString().isEmpty());
    QCOMPARE(Cell(3, 1), QString("p4"));
    QCoreApplication::processEvents();
    QVERIFY(answers.errors.isEmpty());
}

void TableDataModelTest::showsAWindowOfALargeTable() {
    constexpr int kWindow = TableDataModel::kWindowRows;
    MakeTable(TestEngine::SQLite, kWindow + 500, false);
    QAbstractItemModelTester tester(model_.get(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy tableRows(model_.get(), &TableDataModel::TableRowsChanged);
    model_->FinishCount();
    QCOMPARE(tableRows.count(), 1);
    QCOMPARE(model_->TableRows(), kWindow + 501);
    QCOMPARE(model_->rowCount(), kWindow);
    QCOMPARE(model_->headerData(kWindow - 1, Qt::Vertical).toString(), QString::number(kWindow));
    QCOMPARE(Cell(kWindow - 1, 1), "p" + QString::number(kWindow));

    // Moved, the window shows other records in the same rows, and stays within the table.
    model_->SetWindowStart(250);
    QCOMPARE(model_->rowCount(), kWindow);
    QCOMPARE(model_->headerData(0, Qt::Vertical).toString(), QString("251"));
    QCOMPARE(Cell(0, 1), QString("p251"));
    QCOMPARE(model_->ModelRow(250), 0);
    QCOMPARE(model_->ModelRow(249), -1);
    model_->SetWindowStart(kWindow);
    QCOMPARE(model_->WindowStart(), 501);
    QCOMPARE(model_->headerData(kWindow - 1, Qt::Vertical).toString(), QString("*"));

    // An edit beyond the first window reaches its record.
    const int edited = model_->ModelRow(kWindow + 10);
    QVERIFY(model_->setData(model_->index(edited, 1), "far"));
    QCOMPARE(model_->PendingRow(), kWindow + 10);
    model_->Post();
    QCOMPARE(Value("SELECT name FROM people WHERE id = " + std::to_string(kWindow + 11)),
             std::string("far"));

    // A new record at the end of a full window moves it down a row; the row for new records
    // stays its last.
    QVERIFY(model_->setData(model_->index(kWindow - 1, 1), "new"));
    model_->Post();
    QCOMPARE(model_->rowCount(), kWindow);
    QCOMPARE(model_->WindowStart(), 502);
    QCOMPARE(Cell(kWindow - 2, 1), QString("new"));
    QCOMPARE(model_->headerData(kWindow - 1, Qt::Vertical).toString(), QString("*"));
    QCOMPARE(Value("SELECT count(*) FROM people"), std::to_string(kWindow + 501));

    // A deletion in a window at the end takes in the row before it; elsewhere the row after.
    model_->DeleteRecord(kWindow + 10);
    QCOMPARE(model_->rowCount(), kWindow);
    QCOMPARE(model_->WindowStart(), 501);
    QCOMPARE(Cell(model_->ModelRow(kWindow + 10), 1), "p" + QString::number(kWindow + 12));
    QCOMPARE(model_->headerData(kWindow - 1, Qt::Vertical).toString(), QString("*"));
    model_->SetWindowStart(0);
    model_->DeleteRecord(0);
    QCOMPARE(model_->rowCount(), kWindow);
    QCOMPARE(Cell(0, 1), QString("p2"));
    QCOMPARE(Cell(kWindow - 1, 1), "p" + QString::number(kWindow + 1));
    QCOMPARE(Value("SELECT count(*) FROM people"), std::to_string(kWindow + 499));
    QCOMPARE(model_->TableRows(), kWindow + 500);
}

}  // namespace rowsmith::test

ROWSMITH_UI_TEST_MAIN(TableDataModelTest)
#include "table_data_model_test.moc"
