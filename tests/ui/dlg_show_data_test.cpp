// Show Data on a real SQLite alias: the viewer's tables and grid, tables that cannot be opened,
// posting when the user leaves a row, refused records, Ctrl+Delete and closing with a pending
// record; on tables larger than the grid's window, keys and the scroll bar across its edges.
#include <QComboBox>
#include <QScrollBar>
#include <QTableView>

#include "dialogs/dlg_show_data.h"
#include "test_database.h"
#include "ui_test_support.h"

namespace rowsmith::test {

class ShowDataTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void opensOnTheFirstTableInScenarioOrder();
    void firstTableThatCannotOpenShowsNoViewer();
    void laterTableThatCannotOpenLeavesTheGridEmpty();
    void leavingARowPostsAndARefusalKeepsTheUserOnIt();
    void ctrlDeleteAsksAndDeletes_data();
    void ctrlDeleteAsksAndDeletes();
    void closingDropsAPendingRecord();
    void aFailedReadShowsOneErrorOnceTheGridIsPainted();
    void keysWalkAcrossTheEdgesOfTheWindow();
    void ctrlEndAndCtrlHomeReachTheEndsAndEditsThereReachTheTable();
    void scrollingAwayKeepsTheCurrentRecordAndItsPendingEdit();

private:
    // Starts a scenario on the test alias with `tables`, then runs Show Data with `look`
    // playing the user in the viewer, who then closes it.
    void ShowData(const std::vector<std::string>& tables,
                  const std::function<void(TdlgShowData&)>& look) {
        form_->Document().New(database_->Alias(), tables);
        form_->UpdateCommands();
        answers_->answerDialog = [look](QDialog& dialog) {
            look(dynamic_cast<TdlgShowData&>(dialog));
            return int(QDialog::Rejected);
        };
        Trigger(form_->miShowData);
    }

    std::string Value(const std::string& sql) { return database_->QueryValue(sql); }

    // A table "big" of `count` records: ids from 1, names "n" and the id.
    void MakeBigTable(int count) {
        database_->Execute("CREATE TABLE big (ID INTEGER PRIMARY KEY, NAME VARCHAR(20))");
        database_->Execute(
            "WITH RECURSIVE s(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM s WHERE n < " +
            std::to_string(count) + ") INSERT INTO big SELECT n, 'n' || n FROM s");
    }

    // Puts the viewer on screen, `height` pixels high, with the keyboard in the grid.
    static void Open(TdlgShowData& viewer, int height = 300) {
        viewer.resize(435, height);
        viewer.show();
        viewer.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&viewer));
        viewer.dbgResult->setFocus();
        QCoreApplication::processEvents();
    }

    // The title of the current row: its record number, "*" on the row for new records, nothing
    // without a current cell.
    static QString CurrentTitle(const TdlgShowData& viewer) {
        const QModelIndex current = viewer.dbgResult->currentIndex();
        return current.isValid()
                   ? viewer.dsResult->headerData(current.row(), Qt::Vertical).toString()
                   : QString();
    }

    static QString CurrentText(const TdlgShowData& viewer) {
        return viewer.dbgResult->currentIndex().data().toString();
    }

    // A key pressed in the grid, and the event loop run as between two key presses.
    static void Press(TdlgShowData& viewer, Qt::Key key,
                      Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(viewer.dbgResult, key, modifiers);
        QCoreApplication::processEvents();
    }

    std::unique_ptr<TestDatabase> database_;
    std::unique_ptr<TMainForm> form_;
    std::unique_ptr<ModalAnswers> answers_;
};

void ShowDataTest::init() {
    database_ = std::make_unique<TestDatabase>(TestEngine::SQLite);
    database_->Execute("CREATE TABLE t1 (ID INTEGER PRIMARY KEY, NAME VARCHAR(20))");
    database_->Execute("CREATE TABLE \"Big Orders\" (N INTEGER, QTY SMALLINT)");
    database_->Execute("INSERT INTO t1 VALUES (1, 'one'), (2, 'two'), (3, 'three')");
    database_->Execute("INSERT INTO \"Big Orders\" VALUES (10, 1), (20, 2)");
    form_ = std::make_unique<TMainForm>();
    answers_ = std::make_unique<ModalAnswers>();
}

void ShowDataTest::cleanup() {
    answers_.reset();
    form_.reset();
    database_.reset();
}

void ShowDataTest::opensOnTheFirstTableInScenarioOrder() {
    QStringList items;
    QStringList titles;
    QString cell;
    ShowData({"Big Orders", "t1"}, [&](TdlgShowData& viewer) {
        for (int i = 0; i < viewer.cbTables->count(); ++i) {
            items << viewer.cbTables->itemText(i);
        }
        for (int i = 0; i < viewer.dsResult->columnCount(); ++i) {
            titles << viewer.dsResult->headerData(i, Qt::Horizontal).toString();
        }
        cell = viewer.dsResult->index(1, 1).data().toString();
        QCOMPARE(viewer.cbTables->currentIndex(), 0);
        QCOMPARE(viewer.dsResult->rowCount(), 3);
        QCOMPARE(viewer.dbgResult->accessibleName(), QString("Table data"));
        QCOMPARE(viewer.cbTables->accessibleName(), QString("Table"));
    });
    QCOMPARE(answers_->dialogs, QStringList("Tables Data"));
    QCOMPARE(items, QStringList({"Big Orders", "t1"}));
    QCOMPARE(titles, QStringList({"N", "QTY"}));
    QCOMPARE(cell, QString("2"));
    QVERIFY(answers_->errors.isEmpty());
}

void ShowDataTest::firstTableThatCannotOpenShowsNoViewer() {
    ShowData({"gone", "t1"}, [](TdlgShowData&) {});
    QCOMPARE(answers_->errors.size(), 1);
    QVERIFY2(answers_->errors[0].contains("gone"), qPrintable(answers_->errors[0]));
    QVERIFY(answers_->dialogs.isEmpty());

    answers_->errors.clear();
    ShowData({}, [](TdlgShowData&) {});
    QCOMPARE(answers_->errors, QStringList("Missing TableName property."));
    QVERIFY(answers_->dialogs.isEmpty());
}

void ShowDataTest::laterTableThatCannotOpenLeavesTheGridEmpty() {
    int rowsAfterFailure = -1;
    int rowsAfterwards = -1;
    ShowData({"t1", "gone", "Big Orders"}, [&](TdlgShowData& viewer) {
        const auto pick = [&](int index) {
            viewer.cbTables->setCurrentIndex(index);
            // From the event loop, as a click does, so the error reaches the handler.
            QMetaObject::invokeMethod(
                viewer.cbTables, [&viewer, index] { emit viewer.cbTables->activated(index); },
                Qt::QueuedConnection);
            QCoreApplication::processEvents();
        };
        pick(1);
        rowsAfterFailure = viewer.dsResult->rowCount();
        pick(2);
        rowsAfterwards = viewer.dsResult->rowCount();
    });
    QCOMPARE(answers_->errors.size(), 1);
    QVERIFY2(answers_->errors[0].contains("gone"), qPrintable(answers_->errors[0]));
    QCOMPARE(rowsAfterFailure, 0);
    QCOMPARE(rowsAfterwards, 3);
}

void ShowDataTest::leavingARowPostsAndARefusalKeepsTheUserOnIt() {
    ShowData({"Big Orders"}, [&](TdlgShowData& viewer) {
        TableDataModel& model = *viewer.dsResult;
        viewer.dbgResult->setCurrentIndex(model.index(0, 1));
        model.setData(model.index(0, 1), "5");
        viewer.dbgResult->setCurrentIndex(model.index(1, 1));
        QCOMPARE(Value("SELECT QTY FROM \"Big Orders\" WHERE N = 10"), std::string("5"));

        model.setData(model.index(1, 1), "many");
        viewer.dbgResult->setCurrentIndex(model.index(2, 0));
        QCoreApplication::processEvents();
        QCOMPARE(viewer.dbgResult->currentIndex().row(), 1);
        QCOMPARE(model.PendingRow(), 1);
        QCOMPARE(model.index(1, 1).data().toString(), QString("many"));
    });
    QCOMPARE(answers_->errors, QStringList("'many' is not a valid integer value for field 'QTY'"));
    QCOMPARE(Value("SELECT QTY FROM \"Big Orders\" WHERE N = 20"), std::string("2"));
}

void ShowDataTest::ctrlDeleteAsksAndDeletes_data() {
    QTest::addColumn<bool>("ok");
    QTest::addColumn<std::string>("left");
    QTest::newRow("OK") << true << std::string("1,3");
    QTest::newRow("Cancel") << false << std::string("1,2,3");
}

void ShowDataTest::ctrlDeleteAsksAndDeletes() {
    QFETCH(bool, ok);
    QFETCH(std::string, left);
    answers_->answerYes = ok;
    ShowData({"t1"}, [&](TdlgShowData& viewer) {
        viewer.show();
        viewer.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&viewer));
        viewer.dbgResult->setFocus();
        viewer.dbgResult->setCurrentIndex(viewer.dsResult->index(1, 1));
        QTest::keyClick(viewer.dbgResult, Qt::Key_Delete, Qt::ControlModifier);
    });
    QCOMPARE(answers_->questions, QStringList("Delete record?"));
    QCOMPARE(Value("SELECT group_concat(ID, ',') FROM (SELECT ID FROM t1 ORDER BY ID)"), left);
}

void ShowDataTest::closingDropsAPendingRecord() {
    ShowData({"t1"}, [&](TdlgShowData& viewer) {
        viewer.dsResult->setData(viewer.dsResult->index(0, 1), "unposted");
        viewer.dsResult->setData(viewer.dsResult->index(0, 0), "9");
    });
    QCOMPARE(Value("SELECT NAME FROM t1 WHERE ID = 1"), std::string("one"));
    QCOMPARE(Value("SELECT count(*) FROM t1"), std::string("3"));
}

void ShowDataTest::aFailedReadShowsOneErrorOnceTheGridIsPainted() {
    database_->Execute(
        "INSERT INTO t1 (NAME) SELECT a.NAME FROM t1 AS a, t1 AS b, t1 AS c, t1 AS d,"
        " t1 AS e");
    QStringList errorsWhileReading;
    QStringList errorsAfter;
    ShowData({"t1"}, [&](TdlgShowData& viewer) {
        viewer.dsResult->FinishCount();
        database_->Execute("DROP TABLE t1");
        QCOMPARE(viewer.dsResult->index(200, 1).data().toString(), QString());
        QCOMPARE(viewer.dsResult->index(201, 1).data().toString(), QString());
        errorsWhileReading = answers_->errors;
        QCoreApplication::processEvents();
        errorsAfter = answers_->errors;
    });
    QVERIFY(errorsWhileReading.isEmpty());
    QCOMPARE(errorsAfter.size(), 1);
    QVERIFY2(errorsAfter[0].contains("t1"), qPrintable(errorsAfter[0]));
}

void ShowDataTest::keysWalkAcrossTheEdgesOfTheWindow() {
    MakeBigTable(130000);
    ShowData({"big"}, [&](TdlgShowData& viewer) {
        // Tall, so that a page is many rows.
        Open(viewer, 2400);
        // Inside the first window, short of where it moves, then page down past its end.
        viewer.sbRecords->setValue(74000);
        QCOMPARE(viewer.dsResult->WindowStart(), 0);
        viewer.dbgResult->setCurrentIndex(viewer.dbgResult->indexAt(QPoint(1, 1)));
        int record = CurrentTitle(viewer).toInt();
        QCOMPARE(record, 74001);
        for (int i = 0; i < 2000 && record <= TableDataModel::kWindowRows + 10; ++i) {
            Press(viewer, Qt::Key_PageDown);
            const int next = CurrentTitle(viewer).toInt();
            QVERIFY2(next > record, qPrintable(QString("%1 after %2").arg(next).arg(record)));
            record = next;
        }
        QVERIFY(record > TableDataModel::kWindowRows + 10);
        QVERIFY(viewer.dsResult->WindowStart() > 0);
        Press(viewer, Qt::Key_Down);
        QCOMPARE(CurrentTitle(viewer).toInt(), record + 1);
        QCOMPARE(CurrentText(viewer), QString::number(record + 1));
        // Then from inside the window that is shown now, short of where it moves, page up past its
        // start.
        const int windowStart = viewer.dsResult->WindowStart();
        viewer.sbRecords->setValue(windowStart + TableDataModel::kWindowRows / 4 + 1000);
        QCOMPARE(viewer.dsResult->WindowStart(), windowStart);
        viewer.dbgResult->setCurrentIndex(viewer.dbgResult->indexAt(QPoint(1, 1)));
        record = CurrentTitle(viewer).toInt();
        QCOMPARE(record, windowStart + TableDataModel::kWindowRows / 4 + 1001);
        for (int i = 0; i < 2000 && record > windowStart - 10; ++i) {
            Press(viewer, Qt::Key_PageUp);
            const int next = CurrentTitle(viewer).toInt();
            QVERIFY2(next < record, qPrintable(QString("%1 after %2").arg(next).arg(record)));
            record = next;
        }
        QVERIFY(record <= windowStart - 10);
        Press(viewer, Qt::Key_Up);
        QCOMPARE(CurrentTitle(viewer).toInt(), record - 1);
        QCOMPARE(CurrentText(viewer), QString::number(record - 1));
        // The scroll bar spans the whole table and shows where the grid is.
        QCOMPARE(viewer.sbRecords->maximum(),
                 130001 - viewer.dbgResult->verticalScrollBar()->pageStep());
        const int top = viewer.dsResult->TableRow(viewer.dbgResult->indexAt(QPoint(1, 1)).row());
        QCOMPARE(viewer.sbRecords->value(), top);
    });
    QVERIFY(answers_->errors.isEmpty());
}

void ShowDataTest::ctrlEndAndCtrlHomeReachTheEndsAndEditsThereReachTheTable() {
    MakeBigTable(150000);
    ShowData({"big"}, [&](TdlgShowData& viewer) {
        Open(viewer);
        Press(viewer, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(CurrentTitle(viewer), QString("*"));
        QCOMPARE(viewer.dbgResult->currentIndex().column(), 1);
        QCOMPARE(viewer.sbRecords->value(), viewer.sbRecords->maximum());
        Press(viewer, Qt::Key_Up);
        QCOMPARE(CurrentTitle(viewer), QString("150000"));
        QCOMPARE(CurrentText(viewer), QString("n150000"));

        // An edit far beyond the first window, posted when the user leaves the row.
        QVERIFY(viewer.dsResult->setData(viewer.dbgResult->currentIndex(), "edited"));
        Press(viewer, Qt::Key_Up);
        QCOMPARE(Value("SELECT NAME FROM big WHERE ID = 150000"), std::string("edited"));
        // A new record on the row for new records at the end of a full window.
        Press(viewer, Qt::Key_End, Qt::ControlModifier);
        QVERIFY(viewer.dsResult->setData(viewer.dbgResult->currentIndex(), "appended"));
        Press(viewer, Qt::Key_Up);
        QCOMPARE(Value("SELECT NAME FROM big WHERE ID = 150001"), std::string("appended"));
        QCOMPARE(CurrentTitle(viewer), QString("150000"));
        Press(viewer, Qt::Key_Down);
        QCOMPARE(CurrentTitle(viewer), QString("150001"));
        QCOMPARE(CurrentText(viewer), QString("appended"));
        Press(viewer, Qt::Key_Down);
        QCOMPARE(CurrentTitle(viewer), QString("*"));

        Press(viewer, Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(CurrentTitle(viewer), QString("1"));
        QCOMPARE(viewer.dbgResult->currentIndex().column(), 0);
        QCOMPARE(viewer.sbRecords->value(), 0);
    });
    QVERIFY(answers_->errors.isEmpty());
    QCOMPARE(Value("SELECT count(*) FROM big"), std::string("150001"));
}

void ShowDataTest::scrollingAwayKeepsTheCurrentRecordAndItsPendingEdit() {
    MakeBigTable(150000);
    ShowData({"big"}, [&](TdlgShowData& viewer) {
        Open(viewer);
        const QModelIndex name = viewer.dsResult->index(0, 1);
        viewer.dbgResult->setCurrentIndex(name);
        QVERIFY(viewer.dsResult->setData(name, "typed"));

        viewer.sbRecords->setValue(120000);
        QCoreApplication::processEvents();
        const QModelIndex top = viewer.dbgResult->indexAt(QPoint(1, 1));
        QCOMPARE(viewer.dsResult->headerData(top.row(), Qt::Vertical).toString(),
                 QString("120001"));
        QCOMPARE(viewer.scroller->CurrentRecord(), 0);
        QCOMPARE(viewer.dsResult->PendingRow(), 0);
        QCOMPARE(Value("SELECT NAME FROM big WHERE ID = 1"), std::string("n1"));

        viewer.sbRecords->setValue(0);
        QCoreApplication::processEvents();
        QCOMPARE(CurrentTitle(viewer), QString("1"));
        QCOMPARE(CurrentText(viewer), QString("typed"));

        // A key moves on from the current record, wherever the grid was scrolled.
        viewer.sbRecords->setValue(140000);
        QCoreApplication::processEvents();
        Press(viewer, Qt::Key_Down);
        QCOMPARE(CurrentTitle(viewer), QString("2"));
        QCOMPARE(viewer.dsResult->PendingRow(), -1);
        QCOMPARE(Value("SELECT NAME FROM big WHERE ID = 1"), std::string("typed"));
    });
    QVERIFY(answers_->errors.isEmpty());
}

}  // namespace rowsmith::test

ROWSMITH_UI_TEST_MAIN(ShowDataTest)
#include "dlg_show_data_test.moc"
