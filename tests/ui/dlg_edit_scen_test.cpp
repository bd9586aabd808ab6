// The scenario editor: the alias prompt, the alias lock, the two lists and the moves, on a real
// SQLite alias beside one that cannot be reached.
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>

#include "dialogs/dlg_edit_scen.h"
#include "engine/database_session.h"
#include "test_database.h"
#include "ui_test_support.h"

namespace rowsmith::test {

namespace {

int Selected(const QListWidget& list) {
    const auto selected = list.selectedItems();
    return selected.isEmpty() ? -1 : list.row(selected.constFirst());
}

// Picks `alias` in the combo box as a person would, running cbAliasChange.
void PickAlias(TdlgEditScen& dialog, const QString& alias) {
    const int index = dialog.cbAlias->findText(alias);
    QVERIFY(index >= 0);
    dialog.cbAlias->setCurrentIndex(index);
    emit dialog.cbAlias->activated(index);
}

void Select(QListWidget& list, const QString& name) {
    const auto found = list.findItems(name, Qt::MatchExactly);
    QCOMPARE(found.size(), 1);
    list.setCurrentItem(found.constFirst());
}

}  // namespace

class DlgEditScenTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void looksAsDesigned();
    void promptStaysUntilARealAliasIsPicked();
    void addingLocksTheAliasAndRemovingUnlocksIt();
    void buttonsWithoutSelectionDoNothing();
    void movesAtTheListEnds_data();
    void movesAtTheListEnds();
    void aliasWhoseListingFailsKeepsTheFormerTables();
    void orderByReferencesPutsParentsFirst();
    void addingOffersTheTablesReferredTo();

private:
    // Gives the tables foreign keys: items refer to orders and parts, orders to Customers, and
    // staff to itself.
    void AddReferences();

    std::unique_ptr<TestDatabase> database_;
    std::unique_ptr<TdlgEditScen> dialog_;
};

void DlgEditScenTest::init() {
    database_ = std::make_unique<TestDatabase>(TestEngine::SQLite);
    for (const char* table : {"orders", "Customers", "items", "parts"}) {
        database_->Execute(std::string("CREATE TABLE ") + table + " (id INTEGER PRIMARY KEY)");
    }
    // Beside the test alias: an empty database and one whose file is missing.
    WriteFile(database_->ConfigFile(), ReadFile(database_->ConfigFile()) +
                                           "[Empty]\nDRIVER=SQLITE\nPATH=empty.sqlite\n"
                                           "[Broken]\nDRIVER=SQLITE\nPATH=missing.sqlite\n");
    WriteFile(database_->Folder().File("empty.sqlite"), "");
    DatabaseSession::Instance().SetConfigFile(database_->ConfigFile());
    dialog_ = std::make_unique<TdlgEditScen>();
    dialog_->SetAliases({"Broken", "Empty", "Test"});
}

void DlgEditScenTest::cleanup() {
    dialog_.reset();
    database_.reset();
}

void DlgEditScenTest::looksAsDesigned() {
    TdlgEditScen& d = *dialog_;
    QCOMPARE(d.windowTitle(), QString("Edit scenario"));
    QCOMPARE(Items(*d.cbAlias), QStringList({"Choose alias", "Broken", "Empty", "Test"}));
    QCOMPARE(d.cbAlias->currentIndex(), 0);
    QVERIFY(d.FirstChoicePending());
    QCOMPARE(d.sbAdd->text(), QString(">"));
    QCOMPARE(d.sbDelete->text(), QString("<"));
    for (QToolButton* button : {d.sbAdd, d.sbDelete, d.sbUp, d.sbDown}) {
        QCOMPARE(button->focusPolicy(), Qt::NoFocus);
        QVERIFY(!button->accessibleName().isEmpty());
    }
    QCOMPARE(d.sbUp->toolTip(), QString("Move table up"));
    QCOMPARE(d.btnOK->statusTip(), QString("Accept changes"));
    QCOMPARE(d.btnCancel->statusTip(), QString("Cancel changes"));
    // Keyboard order: the buttons first, then the alias and the two lists, and round again.
    QWidget* expected[] = {d.btnCancel, d.cbAlias, d.lbAllTables, d.lbScenTables, d.btnOK};
    QWidget* control = d.btnOK;
    for (QWidget* next : expected) {
        control = control->nextInFocusChain();
        while (control->focusPolicy() == Qt::NoFocus || !control->isEnabled() ||
               control->focusProxy() != nullptr) {
            control = control->nextInFocusChain();
        }
        QCOMPARE(control, next);
    }
}

void DlgEditScenTest::promptStaysUntilARealAliasIsPicked() {
    TdlgEditScen& d = *dialog_;
    PickAlias(d, "Choose alias");
    QCOMPARE(Items(*d.cbAlias), QStringList({"Choose alias", "Broken", "Empty", "Test"}));
    QVERIFY(d.FirstChoicePending());
    QCOMPARE(d.lbAllTables->count(), 0);

    PickAlias(d, "Empty");
    QCOMPARE(Items(*d.cbAlias), QStringList({"Broken", "Empty", "Test"}));
    QCOMPARE(d.cbAlias->currentText(), QString("Empty"));
    QVERIFY(!d.FirstChoicePending());
    QCOMPARE(d.lbAllTables->count(), 0);

    // Sorted without regard to case.
    PickAlias(d, "Test");
    QCOMPARE(Items(*d.lbAllTables), QStringList({"Customers", "items", "orders", "parts"}));
    QCOMPARE(d.AliasName(), std::string("Test"));
}

void DlgEditScenTest::addingLocksTheAliasAndRemovingUnlocksIt() {
    TdlgEditScen& d = *dialog_;
    PickAlias(d, "Test");
    Select(*d.lbAllTables, "orders");
    d.sbAdd->click();
    QVERIFY(!d.cbAlias->isEnabled());
    QCOMPARE(Selected(*d.lbAllTables), -1);
    // A double-click adds as the button does.
    Select(*d.lbAllTables, "Customers");
    emit d.lbAllTables->itemDoubleClicked(d.lbAllTables->currentItem());
    Select(*d.lbAllTables, "items");
    d.AddTable();
    QCOMPARE(Items(*d.lbScenTables), QStringList({"orders", "Customers", "items"}));
    QCOMPARE(Items(*d.lbAllTables), QStringList({"parts"}));
    QVERIFY(d.ScenarioTables() == (std::vector<std::string>{"orders", "Customers", "items"}));

    // A removed table goes back to its sorted place; the alias unlocks with the last one.
    Select(*d.lbScenTables, "orders");
    d.sbDelete->click();
    QCOMPARE(Items(*d.lbAllTables), QStringList({"orders", "parts"}));
    QVERIFY(!d.cbAlias->isEnabled());
    Select(*d.lbScenTables, "Customers");
    d.DelTable();
    d.lbScenTables->setCurrentRow(0);
    emit d.lbScenTables->itemDoubleClicked(d.lbScenTables->item(0));
    QCOMPARE(Items(*d.lbAllTables), QStringList({"Customers", "items", "orders", "parts"}));
    QCOMPARE(d.lbScenTables->count(), 0);
    QVERIFY(d.cbAlias->isEnabled());
}

void DlgEditScenTest::buttonsWithoutSelectionDoNothing() {
    TdlgEditScen& d = *dialog_;
    PickAlias(d, "Test");
    d.sbAdd->click();
    d.sbDelete->click();
    d.sbUp->click();
    QCOMPARE(d.lbAllTables->count(), 4);
    QCOMPARE(d.lbScenTables->count(), 0);
    QVERIFY(d.cbAlias->isEnabled());
}

void DlgEditScenTest::movesAtTheListEnds_data() {
    QTest::addColumn<bool>("up");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QStringList>("order");
    QTest::addColumn<int>("selectedAfter");
    const QStringList start{"orders", "items", "parts"};
    QTest::newRow("up from the middle")
        << true << 1 << QStringList({"items", "orders", "parts"}) << 0;
    QTest::newRow("up from the first: selection goes") << true << 0 << start << -1;
    QTest::newRow("up without selection") << true << -1 << start << -1;
    QTest::newRow("down from the middle")
        << false << 1 << QStringList({"orders", "parts", "items"}) << 2;
    QTest::newRow("down from the last: stays") << false << 2 << start << 2;
    QTest::newRow("down without selection: the first") << false << -1 << start << 0;
}

void DlgEditScenTest::movesAtTheListEnds() {
    QFETCH(bool, up);
    QFETCH(int, selected);
    QFETCH(QStringList, order);
    QFETCH(int, selectedAfter);
    TdlgEditScen& d = *dialog_;
    PickAlias(d, "Test");
    for (const char* name : {"orders", "items", "parts"}) {
        Select(*d.lbAllTables, name);
        d.AddTable();
    }
    if (selected >= 0) {
        d.lbScenTables->setCurrentRow(selected);
    } else {
        d.lbScenTables->setCurrentRow(-1);
    }
    (up ? d.sbUp : d.sbDown)->click();
    QCOMPARE(Items(*d.lbScenTables), order);
    QCOMPARE(Selected(*d.lbScenTables), selectedAfter);
}

void DlgEditScenTest::aliasWhoseListingFailsKeepsTheFormerTables() {
    ModalAnswers answers;
    TdlgEditScen& d = *dialog_;
    ShowAndWait(d);
    PickAlias(d, "Test");
    // As a person picks it: the error goes through the application's handler.
    d.cbAlias->setCurrentIndex(d.cbAlias->findText("Empty"));
    QTest::keyClick(d.cbAlias, Qt::Key_Up);
    QCOMPARE(d.cbAlias->currentText(), QString("Broken"));
    QCOMPARE(answers.errors.size(), 1);
    QVERIFY2(answers.errors[0].contains("missing.sqlite"), qPrintable(answers.errors[0]));
    QCOMPARE(Items(*d.lbAllTables), QStringList({"Customers", "items", "orders", "parts"}));
}

void DlgEditScenTest::AddReferences() {
    database_->Execute("DROP TABLE items");
    database_->Execute("DROP TABLE orders");
    database_->Execute(
        "CREATE TABLE orders (id INTEGER PRIMARY KEY, cust INTEGER REFERENCES "
        "customers (id))");
    database_->Execute(
        "CREATE TABLE items (id INTEGER PRIMARY KEY, "
        "order_id INTEGER NOT NULL REFERENCES orders (id), "
        "part_id INTEGER NOT NULL REFERENCES parts (id))");
    database_->Execute(
        "CREATE TABLE staff (id INTEGER PRIMARY KEY, boss INTEGER REFERENCES "
        "staff (id))");
}

void DlgEditScenTest::orderByReferencesPutsParentsFirst() {
    AddReferences();
    ModalAnswers answers;
    TdlgEditScen& d = *dialog_;
    QCOMPARE(d.btnOrderByReferences->text(), QString("Order by References"));
    PickAlias(d, "Test");
    for (const char* name : {"items", "staff", "orders", "parts", "Customers"}) {
        Select(*d.lbAllTables, name);
        d.AddTable();
        // One table has nothing to order.
        QCOMPARE(d.btnOrderByReferences->isEnabled(), d.lbScenTables->count() > 1);
    }
    // Declined, the offers changed nothing.
    QCOMPARE(
        answers.questions,
        QStringList({TdlgEditScen::AddReferredQuestion("items", {"Customers", "orders", "parts"}),
                     TdlgEditScen::AddReferredQuestion("orders", {"Customers"})}));
    QCOMPARE(answers.questions[1],
             QString("The table that 'orders' refers to is not in the scenario: Customers. "
                     "Add it?"));
    QCOMPARE(Items(*d.lbScenTables),
             QStringList({"items", "staff", "orders", "parts", "Customers"}));

    Select(*d.lbScenTables, "orders");
    d.btnOrderByReferences->click();
    // staff refers only to itself and keeps its place before the others.
    QCOMPARE(Items(*d.lbScenTables),
             QStringList({"staff", "parts", "Customers", "orders", "items"}));
    QCOMPARE(Selected(*d.lbScenTables), 3);
    QVERIFY(answers.errors.isEmpty());

    // Already in order, nothing moves.
    d.btnOrderByReferences->click();
    QCOMPARE(Items(*d.lbScenTables),
             QStringList({"staff", "parts", "Customers", "orders", "items"}));
}

void DlgEditScenTest::addingOffersTheTablesReferredTo() {
    AddReferences();
    ModalAnswers answers;
    answers.answerYes = true;
    TdlgEditScen& d = *dialog_;
    PickAlias(d, "Test");
    Select(*d.lbAllTables, "staff");
    d.AddTable();
    QVERIFY(answers.questions.isEmpty());

    Select(*d.lbAllTables, "items");
    d.AddTable();
    QCOMPARE(answers.questions,
             QStringList("Tables that 'items' refers to are not in the scenario: Customers, "
                         "orders, parts. Add them?"));
    // The tables referred to, and those they refer to, come before the table added.
    QCOMPARE(Items(*d.lbScenTables),
             QStringList({"staff", "Customers", "orders", "parts", "items"}));
    QVERIFY(d.lbAllTables->count() == 0);

    // A table whose parents are in the scenario asks nothing.
    Select(*d.lbScenTables, "orders");
    d.DelTable();
    Select(*d.lbAllTables, "orders");
    d.AddTable();
    QCOMPARE(answers.questions.size(), 1);
    QCOMPARE(Items(*d.lbScenTables),
             QStringList({"staff", "Customers", "parts", "items", "orders"}));
}

}  // namespace rowsmith::test

ROWSMITH_UI_TEST_MAIN(DlgEditScenTest)

#include "dlg_edit_scen_test.moc"
