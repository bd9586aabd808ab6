// File > New from Database: the dialog drafts the shop's tables of a real SQLite alias parents
// first with their record counts, leaves out the tables unticked and takes the counts typed over;
// the command shows the draft as a new, changed scenario and tells the draft's notes.
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QToolButton>
#include <algorithm>

#include "dialogs/dlg_draft.h"
#include "model/fill_methods.h"
#include "test_database.h"
#include "ui_test_support.h"

namespace rowsmith::test {

namespace {

void PickAlias(TdlgDraft& dialog, const QString& alias) {
    const int index = dialog.cbAlias->findText(alias);
    QVERIFY(index > 0);
    dialog.cbAlias->setCurrentIndex(index);
    emit dialog.cbAlias->activated(index);
}

int RowOf(const TdlgDraft& dialog, const QString& table) {
    for (int row = 0; row < dialog.sgTables->rowCount(); ++row) {
        if (dialog.sgTables->item(row, TdlgDraft::colTable)->text() == table) {
            return row;
        }
    }
    return -1;
}

}  // namespace

class DlgDraftTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void pickingAnAliasListsItsTablesParentsFirstWithTheirCounts();
    void untickedTablesAreLeftOutAndTypedCountsKept();
    void theCommandShowsTheDraftAsANewChangedScenario();
    void cancelLeavesTheWindowAsItWas();

private:
    std::unique_ptr<TestDatabase> database_;
};

void DlgDraftTest::init() {
    database_ = std::make_unique<TestDatabase>(TestEngine::SQLite);
    database_->Execute(ReadFile(ROWSMITH_EXAMPLES_DIR "/shop.sql"));
}

void DlgDraftTest::cleanup() {
    database_.reset();
}

void DlgDraftTest::pickingAnAliasListsItsTablesParentsFirstWithTheirCounts() {
    TdlgDraft dialog;
    dialog.SetAliases({"Test"});
    QCOMPARE(Items(*dialog.cbAlias), QStringList({"Choose alias", "Test"}));
    QVERIFY(!dialog.btnOK->isEnabled());
    PickAlias(dialog, "Test");

    QCOMPARE(dialog.sgTables->rowCount(), 14);
    QVERIFY(dialog.btnOK->isEnabled());
    QVERIFY(RowOf(dialog, "customers") < RowOf(dialog, "orders"));
    QVERIFY(RowOf(dialog, "orders") < RowOf(dialog, "order_items"));
    QCOMPARE(dialog.sgTables->item(RowOf(dialog, "customers"), TdlgDraft::colRecords)->text(),
             QString("100"));
    QCOMPARE(dialog.sgTables->item(RowOf(dialog, "order_items"), TdlgDraft::colRecords)->text(),
             QString("1000"));
    QCOMPARE(dialog.memNotes->toPlainText(),
             QString("employees.manager_id: refers to its own table; left empty\n"));
}

void DlgDraftTest::untickedTablesAreLeftOutAndTypedCountsKept() {
    TdlgDraft dialog;
    dialog.SetAliases({"Test"});
    PickAlias(dialog, "Test");
    dialog.sgTables->item(RowOf(dialog, "customers"), TdlgDraft::colTable)
        ->setCheckState(Qt::Unchecked);
    dialog.sgTables->item(RowOf(dialog, "orders"), TdlgDraft::colRecords)->setData(Qt::EditRole, 7);

    std::vector<std::string> notes;
    TFillScenario scenario;
    dialog.MakeScenario(scenario, notes);
    QCOMPARE(scenario.Tables().Count(), 13);
    QCOMPARE(scenario.FindTable("customers"), -1);
    const TFillTable& orders = scenario.Tables().Items(scenario.FindTable("orders"));
    QCOMPARE(orders.RecCount(), 7);
    const TFillField& customer = orders.Fields().Items(orders.FindField("customer_id"));
    QCOMPARE(customer.FillMethod(), fmMasterRandom);
    QCOMPARE(customer.FillValue(), std::string("customers.id"));
    // Left out, customers is drawn from as it is, and the notes say so.
    QVERIFY(std::find(notes.begin(), notes.end(),
                      "orders.customer_id: refers to 'customers', which the draft does not fill; "
                      "drawn from the records it holds") != notes.end());
}

void DlgDraftTest::theCommandShowsTheDraftAsANewChangedScenario() {
    TMainForm form;
    ShowAndWait(form);
    ModalAnswers answers;
    answers.answerDialog = [](QDialog& shown) {
        auto& dialog = dynamic_cast<TdlgDraft&>(shown);
        PickAlias(dialog, "Test");
        return int(QDialog::Accepted);
    };
    Trigger(form.miNewFromDatabase);

    QCOMPARE(answers.dialogs, QStringList("New from Database"));
    QCOMPARE(answers.messages,
             QStringList("employees.manager_id: refers to its own table; left empty"));
    QCOMPARE(form.Document().Scenario().Tables().Count(), 14);
    QCOMPARE(form.Document().FileName(), std::string("noname"));
    QVERIFY(form.Document().Modified());
    QVERIFY(form.siSaveScenario->isEnabled());
    QCOMPARE(form.lbAlias->text(), QString("Test"));
    QCOMPARE(form.cbTables->count(), 14);
    QVERIFY(form.pnlMain->isVisible());
    QVERIFY(!form.miNewFromDatabase->statusTip().isEmpty());
}

void DlgDraftTest::cancelLeavesTheWindowAsItWas() {
    TMainForm form;
    ShowAndWait(form);
    ModalAnswers answers;
    Trigger(form.miNewFromDatabase);
    QCOMPARE(answers.dialogs, QStringList("New from Database"));
    QVERIFY(!form.Document().HasScenario());
    QVERIFY(answers.messages.isEmpty());
}

}  // namespace rowsmith::test

ROWSMITH_UI_TEST_MAIN(DlgDraftTest)

#include "dlg_draft_test.moc"
