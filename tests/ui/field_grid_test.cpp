// The field settings grid and the table settings below it, on a real SQLite alias: what a table
// shows, which cells can be typed into, the check of typed values, the method list, the two value
// editors and the record count.
#include <QAbstractItemModelTester>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include "main/spin_edit.h"

#include "dialogs/dlg_edit_values2.h"
#include "dialogs/dlg_edit_values7.h"
#include "engine/database_errors.h"
#include "engine/database_session.h"
#include "main/field_grid.h"
#include "main/status_panel.h"
#include "model/fill_methods.h"
#include "test_database.h"
#include "ui_test_support.h"

namespace rowsmith::test {

namespace {

QString Cell(const TMainForm& form, int row, int column) {
    return form.sgFields->model()->index(row, column).data().toString();
}

}  // namespace

class FieldGridTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void tableWithoutSettingsShowsEachColumn();
    void modelKeepsQtsContract();
    void settingsFollowTheirColumnsAndVanishedOnesGo();
    void pickingRandomStringSetsItsLength();
    void whichValueCellsCanBeTyped_data();
    void whichValueCellsCanBeTyped();
    void typingOnAMethodCellChangesNothing();
    void rejectedTextKeepsTheValueAndBringsTheCellBack();
    void valueSetEditorRoundTrip();
    void valueSetEditorCancelChangesNothing();
    void currentSetCellShowsThirtyCharactersWhileFocused();
    void pickerFailures();
    void pickerOnBlankValueOpensOnTheFirstTable();
    void pickerFindsTableAndColumnWithoutRegardToCase_data();
    void pickerFindsTableAndColumnWithoutRegardToCase();
    void pickerOkWithoutColumnKeepsTheValue();
    void updateExistingHidesTheRecordCount();
    void recordCountsMarkTheScenarioChangedWhenEdited();
    void recordCountLeftIsTheCountHeld_data();
    void recordCountLeftIsTheCountHeld();
    void emptiedRecordCountFollowsItsTable();
    void keyboardOpensTheMethodListAndTheEditor();
    void optionalColumnsShowOnceAScenarioUsesThem();
    void nullShareAndUniqueCellsEditTheSettings();

private:
    // Opens a scenario of the tables and settings given as .scn text after its [Main] section.
    void OpenScenario(const std::string& tables, const std::string& sections = "");
    void SetMethod(int row, int method);

    std::unique_ptr<TestDatabase> database_;
    std::unique_ptr<TMainForm> form_;
    std::unique_ptr<ModalAnswers> answers_;
};

void FieldGridTest::init() {
    database_ = std::make_unique<TestDatabase>(TestEngine::SQLite);
    database_->Execute("CREATE TABLE parts (ID INTEGER PRIMARY KEY, NAME VARCHAR(20), PRICE REAL)");
    database_->Execute("CREATE TABLE orders (OrderNo INTEGER, CustNo INTEGER, Amount REAL)");
    database_->Execute("CREATE TABLE customers (CustNo INTEGER, Company VARCHAR(30))");
    answers_ = std::make_unique<ModalAnswers>();
    form_ = std::make_unique<TMainForm>();
    ShowAndWait(*form_);
}

void FieldGridTest::cleanup() {
    form_.reset();
    answers_.reset();
    database_.reset();
}

void FieldGridTest::OpenScenario(const std::string& tables, const std::string& sections) {
    const std::string path = database_->Folder().File("grid.scn");
    WriteFile(path, "[Main]\nAliasName=Test\nTables=" + tables + "\n" + sections);
    form_->OpenScenarioFile(QString::fromStdString(path));
    QCOMPARE(answers_->errors, QStringList());
}

void FieldGridTest::SetMethod(int row, int method) {
    form_->sgFields->setCurrentIndex(form_->sgFields->model()->index(row, colFillMethod));
    form_->cbMethods->setCurrentIndex(method);
    emit form_->cbMethods->activated(method);
}

void FieldGridTest::tableWithoutSettingsShowsEachColumn() {
    OpenScenario("parts");
    TMainForm& form = *form_;
    QCOMPARE(form.sgFields->model()->rowCount(), 3);
    const QStringList names{"ID", "NAME", "PRICE"};
    for (int row = 0; row < 3; ++row) {
        QCOMPARE(Cell(form, row, colFieldName), names[row]);
        QCOMPARE(Cell(form, row, colFillMethod), QString("Don't fill it"));
        QCOMPARE(Cell(form, row, colValues), QString());
    }
    QCOMPARE(form.cbTblFillMethod->currentText(), QString("Emty table and fill"));
    QCOMPARE(form.seRecCount->value(), 100);
    QVERIFY(form.pnlMain->isVisible());
    // The method list stands over ID's method cell.
    QCOMPARE(form.sgFields->currentIndex(), form.sgFields->model()->index(0, colFillMethod));
    QVERIFY(form.cbMethods->isVisible());
    const QRect cell = form.sgFields->visualRect(form.sgFields->currentIndex());
    const QPoint cellInPanel = form.sgFields->viewport()->mapTo(form.pnlMain, cell.center());
    QVERIFY(form.cbMethods->geometry().contains(cellInPanel));
    QVERIFY(form.bbEditValue->isHidden());
    // Opening a saved scenario whose table showed the default count leaves it unchanged.
    QVERIFY(!form.Document().Modified());
}

void FieldGridTest::modelKeepsQtsContract() {
    OpenScenario("parts");
    QAbstractItemModelTester tester(form_->sgFields->model(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    SetMethod(1, fmRandomString);
    form_->cbTables->addItem("orders");
    form_->Document().Scenario().AddTable("orders");
    form_->cbTables->setCurrentIndex(1);
    emit form_->cbTables->activated(1);
    QCOMPARE(form_->sgFields->model()->rowCount(), 3);
    QCOMPARE(Cell(*form_, 1, colFieldName), QString("CustNo"));
}

void FieldGridTest::settingsFollowTheirColumnsAndVanishedOnesGo() {
    // Saved in another order, with a column the table no longer has.
    OpenScenario("parts",
                 "[Table parts]\nFields=PRICE,Gone,ID\n"
                 "[Field parts.PRICE]\nFillMethod=4\nFillValue=1 - 2\n"
                 "[Field parts.Gone]\nFillMethod=1\nFillValue=x\n"
                 "[Field parts.ID]\nFillMethod=5\nFillValue=\n");
    QCOMPARE(form_->sgFields->model()->rowCount(), 3);
    QCOMPARE(Cell(*form_, 0, colFieldName), QString("ID"));
    QCOMPARE(Cell(*form_, 0, colFillMethod), QString("Autoincrement"));
    QCOMPARE(Cell(*form_, 1, colFieldName), QString("NAME"));
    QCOMPARE(Cell(*form_, 1, colFillMethod), QString("Don't fill it"));
    QCOMPARE(Cell(*form_, 2, colFieldName), QString("PRICE"));
    QCOMPARE(Cell(*form_, 2, colValues), QString("1 - 2"));
    QCOMPARE(form_->Document().Scenario().Tables().Items(0).Fields().Count(), 3);
    QVERIFY(form_->Document().Modified());

    const std::string repaired = database_->Folder().File("repaired.scn");
    answers_->chosenFile = QString::fromStdString(repaired);
    Trigger(form_->miSaveScenarioAs);
    QVERIFY(ReadFile(repaired).find("Gone") == std::string::npos);
}

void FieldGridTest::pickingRandomStringSetsItsLength() {
    OpenScenario("parts");
    SetMethod(1, fmRandomString);
    const QString hint = "Random string value with defined maximum length";
    QCOMPARE(Cell(*form_, 1, colFillMethod), QString("Random string"));
    QCOMPARE(Cell(*form_, 1, colValues), QString("10"));
    QCOMPARE(form_->Document().Scenario().Tables().Items(0).Fields().Items(1).FillValue(),
             std::string("10"));
    QCOMPARE(form_->cbMethods->toolTip(), hint);
    QVERIFY(form_->miSaveScenario->isEnabled());
    QVERIFY(form_->siSaveScenario->isEnabled());
    // Pointing at the grid shows the method's description in the status panel.
    QTest::mouseMove(form_->sgFields->viewport(), QPoint(5, 5));
    QTRY_COMPARE(form_->StatusBar->Caption(), hint);
}

void FieldGridTest::whichValueCellsCanBeTyped_data() {
    QTest::addColumn<int>("method");
    QTest::addColumn<bool>("typed");
    QTest::addColumn<bool>("button");
    QTest::newRow("Don't fill it") << fmDontFill << false << false;
    QTest::newRow("Single value") << fmSingleValue << true << false;
    QTest::newRow("Random value from a set") << fmRandomFromSet << false << true;
    QTest::newRow("Integer range") << fmRandomInteger << true << false;
    QTest::newRow("Real range") << fmRandomReal << true << false;
    QTest::newRow("Autoincrement") << fmAutoIncrement << true << false;
    QTest::newRow("Random string") << fmRandomString << true << false;
    QTest::newRow("Master table") << fmMasterTable << true << true;
    QTest::newRow("Random master row") << fmMasterRandom << true << true;
}

void FieldGridTest::whichValueCellsCanBeTyped() {
    QFETCH(int, method);
    QFETCH(bool, typed);
    QFETCH(bool, button);
    OpenScenario("parts");
    SetMethod(1, method);
    const QModelIndex value = form_->sgFields->model()->index(1, colValues);
    form_->sgFields->setFocus();
    form_->sgFields->setCurrentIndex(value);
    QCOMPARE(bool(form_->sgFields->model()->flags(value) & Qt::ItemIsEditable), typed);
    QCOMPARE(form_->bbEditValue->isVisible(), button);
    QVERIFY(form_->cbMethods->isHidden());
    QTest::keyClick(form_->sgFields, Qt::Key_F2);
    QCOMPARE(form_->sgFields->IsEditing(), typed);
}

void FieldGridTest::typingOnAMethodCellChangesNothing() {
    OpenScenario("parts");
    form_->sgFields->setFocus();
    const QModelIndex method = form_->sgFields->model()->index(2, colFillMethod);
    form_->sgFields->setCurrentIndex(method);
    QTest::keyClicks(form_->sgFields, "NAME 12");
    QTest::keyClick(form_->sgFields, Qt::Key_F2);
    QVERIFY(!form_->sgFields->IsEditing());
    QCOMPARE(form_->sgFields->currentIndex(), method);
    QCOMPARE(Cell(*form_, 2, colFillMethod), QString("Don't fill it"));
    QVERIFY(!form_->Document().Modified());
}

void FieldGridTest::rejectedTextKeepsTheValueAndBringsTheCellBack() {
    OpenScenario("parts");
    SetMethod(2, fmRandomReal);
    form_->SetModified(false);
    form_->sgFields->setFocus();
    const QModelIndex value = form_->sgFields->model()->index(2, colValues);
    form_->sgFields->setCurrentIndex(value);
    const TFillField& price = form_->Document().Scenario().Tables().Items(0).Fields().Items(2);

    // Every keystroke is checked: "1 - 9" passes, "1 - 9x" does not.
    QTest::keyClick(form_->sgFields, '1');
    QTest::keyClicks(QApplication::focusWidget(), " - 9");
    QCOMPARE(price.FillValue(), std::string("1 - 9"));
    QTest::keyClicks(QApplication::focusWidget(), "x");
    QCOMPARE(price.FillValue(), std::string("1 - 9"));
    QCOMPARE(Cell(*form_, 2, colValues), QString("1 - 9x"));
    QVERIFY(form_->miSaveScenario->isEnabled());

    // Moving away brings the current cell back to the rejected text.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
    QTRY_COMPARE(form_->sgFields->currentIndex(), value);
    QCOMPARE(price.FillValue(), std::string("1 - 9"));
}

void FieldGridTest::valueSetEditorRoundTrip() {
    OpenScenario("parts");
    SetMethod(1, fmRandomFromSet);
    form_->sgFields->setFocus();
    form_->sgFields->setCurrentIndex(form_->sgFields->model()->index(1, colValues));
    QVERIFY(form_->bbEditValue->isVisible());

    answers_->answerDialog = [](QDialog& dialog) {
        auto& editor = dynamic_cast<TdlgEditValues2&>(dialog);
        editor.memValues->setPlainText("red\ngreen\n");
        return QDialog::Accepted;
    };
    QTest::mouseClick(form_->bbEditValue, Qt::LeftButton);
    QCOMPARE(Cell(*form_, 1, colValues), QString("red,green"));
    const TFillField& name = form_->Document().Scenario().Tables().Items(0).Fields().Items(1);
    QVERIFY(name.ValueSet() == (std::vector<std::string>{"red", "green"}));

    // Lines with a comma, a blank, a quote and an empty line come back as the same lines.
    const QString lines = "a,b\nwith blank\nsay \"hi\"\n\nlast";
    answers_->answerDialog = [&lines](QDialog& dialog) {
        dynamic_cast<TdlgEditValues2&>(dialog).memValues->setPlainText(lines);
        return QDialog::Accepted;
    };
    QTest::mouseClick(form_->bbEditValue, Qt::LeftButton);
    QVERIFY(name.ValueSet() ==
            (std::vector<std::string>{"a,b", "with blank", "say \"hi\"", "", "last"}));
    QString shown;
    answers_->answerDialog = [&shown](QDialog& dialog) {
        shown = dynamic_cast<TdlgEditValues2&>(dialog).memValues->toPlainText();
        return QDialog::Rejected;
    };
    QTest::mouseClick(form_->bbEditValue, Qt::LeftButton);
    QCOMPARE(shown, lines);
}

void FieldGridTest::valueSetEditorCancelChangesNothing() {
    OpenScenario("parts",
                 "[Table parts]\nFields=ID,NAME\n[Field parts.ID]\nFillMethod=0\n"
                 "[Field parts.NAME]\nFillMethod=2\nFillValue=x,y\n");
    form_->sgFields->setFocus();
    form_->sgFields->setCurrentIndex(form_->sgFields->model()->index(1, colValues));
    answers_->answerDialog = [](QDialog& dialog) {
        dynamic_cast<TdlgEditValues2&>(dialog).memValues->setPlainText("other");
        return QDialog::Rejected;
    };
    QTest::mouseClick(form_->bbEditValue, Qt::LeftButton);
    QCOMPARE(answers_->dialogs, QStringList("Edit Values"));
    QCOMPARE(Cell(*form_, 1, colValues), QString("x,y"));
    QVERIFY(!form_->Document().Modified());
    // A empty memo gives an empty set.
    answers_->answerDialog = [](QDialog& dialog) {
        dynamic_cast<TdlgEditValues2&>(dialog).memValues->clear();
        return QDialog::Accepted;
    };
    QTest::mouseClick(form_->bbEditValue, Qt::LeftButton);
    QCOMPARE(Cell(*form_, 1, colValues), QString());
}

void FieldGridTest::currentSetCellShowsThirtyCharactersWhileFocused() {
    OpenScenario("parts");
    SetMethod(1, fmRandomFromSet);
    QAbstractItemModel& model = *form_->sgFields->model();
    const QModelIndex value = model.index(1, colValues);
    form_->sgFields->setCurrentIndex(value);
    const auto cellPicture = [&](const QString& text) {
        model.setData(value, text, TFieldGridModel::FillValueRole);
        return form_->sgFields->viewport()->grab(form_->sgFields->visualRect(value)).toImage();
    };
    // Narrow letters, so that forty of them fit the cell.
    const QString forty(40, u'i');
    const QString thirty(30, u'i');
    form_->sgFields->setFocus();
    QTRY_VERIFY(form_->sgFields->hasFocus());
    QCOMPARE(cellPicture(forty), cellPicture(thirty));
    // On the base colour while focused, so that the text reads on a dark palette too.
    const QImage focused = cellPicture(forty);
    QCOMPARE(focused.pixelColor(focused.width() / 2, 2),
             form_->sgFields->palette().color(QPalette::Base));

    form_->cbTblFillMethod->setFocus();
    QTRY_VERIFY(!form_->sgFields->hasFocus());
    QVERIFY(cellPicture(forty) != cellPicture(thirty));
}

void FieldGridTest::pickerFailures() {
    // An alias without tables: nothing to show, so the picker is not shown at all.
    const std::string empty = database_->Folder().File("empty.sqlite");
    WriteFile(empty, "");
    WriteFile(database_->ConfigFile(),
              ReadFile(database_->ConfigFile()) + "[Empty]\nDRIVER=SQLITE\nPATH=empty.sqlite\n");
    DatabaseSession::Instance().SetConfigFile(database_->ConfigFile());
    TdlgEditValues7 picker;
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, picker.Initialise("Empty"));

    // A table that cannot be opened leaves the columns shown before.
    TdlgEditValues7 other;
    other.Initialise("Test");
    const QStringList before = Items(*other.lbFields);
    QCOMPARE(before, QStringList({"Company", "CustNo"}));
    other.cbTables->addItem("vanished");
    other.cbTables->setCurrentIndex(other.cbTables->count() - 1);
    QVERIFY_THROWS_EXCEPTION(EDBEngineError, other.ShowTable());
    QCOMPARE(Items(*other.lbFields), before);
}

void FieldGridTest::pickerOnBlankValueOpensOnTheFirstTable() {
    OpenScenario("orders",
                 "[Table orders]\nFields=OrderNo,CustNo\n[Field orders.OrderNo]\n"
                 "FillMethod=0\n[Field orders.CustNo]\nFillMethod=7\nFillValue=   \n");
    form_->sgFields->setFocus();
    form_->sgFields->setCurrentIndex(form_->sgFields->model()->index(1, colValues));
    QString table;
    int selected = 0;
    answers_->answerDialog = [&](QDialog& dialog) {
        auto& picker = dynamic_cast<TdlgEditValues7&>(dialog);
        table = picker.cbTables->currentText();
        selected = picker.lbFields->selectedItems().size();
        return QDialog::Rejected;
    };
    QTest::mouseClick(form_->bbEditValue, Qt::LeftButton);
    QCOMPARE(table, QString("customers"));
    QCOMPARE(selected, 0);
}

void FieldGridTest::pickerFindsTableAndColumnWithoutRegardToCase_data() {
    QTest::addColumn<int>("method");
    QTest::newRow("The values from the master table") << fmMasterTable;
    QTest::newRow("Random value from the master table") << fmMasterRandom;
}

void FieldGridTest::pickerFindsTableAndColumnWithoutRegardToCase() {
    QFETCH(int, method);
    OpenScenario("orders",
                 "[Table orders]\nFields=OrderNo,CustNo\n[Field orders.OrderNo]\n"
                 "FillMethod=0\n[Field orders.CustNo]\nFillMethod=" +
                     std::to_string(method) + "\nFillValue=ORDERS.custno\n");
    form_->sgFields->setFocus();
    form_->sgFields->setCurrentIndex(form_->sgFields->model()->index(1, colValues));
    QStringList fields;
    answers_->answerDialog = [&](QDialog& dialog) {
        auto& picker = dynamic_cast<TdlgEditValues7&>(dialog);
        for (int i = 0; i < picker.lbFields->count(); ++i) {
            fields << picker.lbFields->item(i)->text();
        }
        return QDialog::Accepted;
    };
    QTest::mouseClick(form_->bbEditValue, Qt::LeftButton);
    QCOMPARE(fields, QStringList({"Amount", "CustNo", "OrderNo"}));
    QCOMPARE(Cell(*form_, 1, colValues), QString("orders.CustNo"));
    QVERIFY(form_->Document().Modified());
}

void FieldGridTest::pickerOkWithoutColumnKeepsTheValue() {
    OpenScenario("orders",
                 "[Table orders]\nFields=OrderNo,CustNo\n[Field orders.OrderNo]\n"
                 "FillMethod=0\n[Field orders.CustNo]\nFillMethod=7\n"
                 "FillValue=customers.CustNo\n");
    form_->sgFields->setFocus();
    form_->sgFields->setCurrentIndex(form_->sgFields->model()->index(1, colValues));
    answers_->answerDialog = [](QDialog& dialog) {
        auto& picker = dynamic_cast<TdlgEditValues7&>(dialog);
        // Picking another table clears the column selection.
        picker.cbTables->setCurrentIndex(picker.cbTables->findText("parts"));
        emit picker.cbTables->activated(picker.cbTables->currentIndex());
        return QDialog::Accepted;
    };
    QMetaObject::invokeMethod(form_->bbEditValue, &QPushButton::click, Qt::QueuedConnection);
    QTRY_COMPARE(answers_->errors, QStringList("List index out of bounds (-1)"));
    QCOMPARE(Cell(*form_, 1, colValues), QString("customers.CustNo"));
    QVERIFY(!form_->Document().Modified());
}

void FieldGridTest::updateExistingHidesTheRecordCount() {
    OpenScenario("parts");
    form_->cbTblFillMethod->setCurrentIndex(tfUpdateExisting);
    emit form_->cbTblFillMethod->activated(tfUpdateExisting);
    QVERIFY(form_->seRecCount->isHidden());
    QVERIFY(form_->lblRecCount->isHidden());
    QCOMPARE(form_->CurrentTable()->TableFillMethod(), tfUpdateExisting);
    QVERIFY(form_->Document().Modified());
    form_->cbTblFillMethod->setCurrentIndex(tfUpdateAndFill);
    emit form_->cbTblFillMethod->activated(tfUpdateAndFill);
    QVERIFY(form_->seRecCount->isVisible());
    QVERIFY(form_->lblRecCount->isVisible());
}

void FieldGridTest::recordCountsMarkTheScenarioChangedWhenEdited() {
    OpenScenario("parts,orders", "[Table orders]\nRecCount=5\n");
    QVERIFY(!form_->Document().Modified());
    // Another table shows its own count: no edit.
    form_->cbTables->setCurrentIndex(1);
    emit form_->cbTables->activated(1);
    QCOMPARE(form_->seRecCount->value(), 5);
    QVERIFY(!form_->Document().Modified());
    QVERIFY(!form_->miSaveScenario->isEnabled());

    form_->seRecCount->stepUp();
    QCOMPARE(form_->CurrentTable()->RecCount(), 6);
    QVERIFY(form_->Document().Modified());
    QVERIFY(form_->miSaveScenario->isEnabled());

    // An emptied count stores 0 until a number is typed again.
    form_->seRecCount->setFocus();
    form_->seRecCount->selectAll();
    QTest::keyClick(form_->seRecCount, Qt::Key_Delete);
    QCOMPARE(form_->CurrentTable()->RecCount(), 0);
    QTest::keyClicks(form_->seRecCount, "42");
    QCOMPARE(form_->CurrentTable()->RecCount(), 42);
}

void FieldGridTest::recordCountLeftIsTheCountHeld_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("leaveKey");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("held");
    QTest::newRow("emptied, Tab") << "" << int(Qt::Key_Tab) << "0" << 0;
    QTest::newRow("emptied, Shift+Tab") << "" << int(Qt::Key_Backtab) << "0" << 0;
    QTest::newRow("emptied, Enter") << "" << int(Qt::Key_Return) << "0" << 0;
    QTest::newRow("emptied, arrow up") << "" << int(Qt::Key_Up) << "1" << 1;
    QTest::newRow("lone minus, Tab") << "-" << int(Qt::Key_Tab) << "0" << 0;
    QTest::newRow("negative, Tab") << "-7" << int(Qt::Key_Tab) << "-7" << -7;
    QTest::newRow("number, Tab") << "42" << int(Qt::Key_Tab) << "42" << 42;
}

void FieldGridTest::recordCountLeftIsTheCountHeld() {
    QFETCH(QString, typed);
    QFETCH(int, leaveKey);
    QFETCH(QString, shown);
    QFETCH(int, held);
    OpenScenario("parts,orders", "[Table parts]\nRecCount=100\n");
    form_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    form_->seRecCount->setFocus();
    QTRY_VERIFY(form_->seRecCount->hasFocus());
    form_->seRecCount->selectAll();
    QTest::keyClick(form_->seRecCount, Qt::Key_Delete);
    QTest::keyClicks(form_->seRecCount, typed);
    QTest::keyClick(form_->seRecCount, Qt::Key(leaveKey));
    if (leaveKey == Qt::Key_Tab || leaveKey == Qt::Key_Backtab) {
        QTRY_VERIFY(!form_->seRecCount->hasFocus());
    }

    QCOMPARE(form_->seRecCount->text(), shown);
    QCOMPARE(form_->CurrentTable()->RecCount(), held);
    QCOMPARE(form_->seRecCount->Value(), held);
    QVERIFY(form_->Document().Modified());
}

void FieldGridTest::emptiedRecordCountFollowsItsTable() {
    OpenScenario("parts,orders", "[Table orders]\nRecCount=100\n");
    form_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    form_->seRecCount->setFocus();
    QTRY_VERIFY(form_->seRecCount->hasFocus());
    form_->seRecCount->selectAll();
    QTest::keyClick(form_->seRecCount, Qt::Key_Delete);

    // The next table shows its own count, the same number the emptied field showed before.
    form_->cbTables->setCurrentIndex(1);
    emit form_->cbTables->activated(1);
    QCOMPARE(form_->seRecCount->text(), QString("100"));
    QCOMPARE(form_->CurrentTable()->RecCount(), 100);
    form_->cbTables->setCurrentIndex(0);
    emit form_->cbTables->activated(0);
    QCOMPARE(form_->seRecCount->text(), QString("0"));
    QCOMPARE(form_->CurrentTable()->RecCount(), 0);
}

void FieldGridTest::keyboardOpensTheMethodListAndTheEditor() {
    OpenScenario("parts");
    SetMethod(1, fmRandomFromSet);
    form_->sgFields->setFocus();
    form_->sgFields->setCurrentIndex(form_->sgFields->model()->index(0, colFillMethod));
    QTest::keyClick(form_->sgFields, Qt::Key_F4);
    QTRY_VERIFY(form_->cbMethods->view()->isVisible());
    form_->cbMethods->hidePopup();

    form_->sgFields->setFocus();
    form_->sgFields->setCurrentIndex(form_->sgFields->model()->index(1, colValues));
    QTest::keyClick(form_->sgFields, Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(answers_->dialogs, QStringList("Edit Values"));
}

// The share and unique columns stay out of the way of scenarios that do not use them, show for
// one that does, and come and go from the columns menu with the values column filling the rest.
void FieldGridTest::optionalColumnsShowOnceAScenarioUsesThem() {
    OpenScenario("parts");
    TFieldGrid& grid = *form_->sgFields;
    QVERIFY(grid.isColumnHidden(colNullShare));
    QVERIFY(grid.isColumnHidden(colUnique));

    OpenScenario("parts",
                 "[Table parts]\nFields=NAME\n[Field parts.NAME]\nFillMethod=6\n"
                 "FillValue=5\nNullShare=20\n");
    QVERIFY(!grid.isColumnHidden(colNullShare));
    QVERIFY(grid.isColumnHidden(colUnique));
    QCOMPARE(Cell(*form_, 1, colNullShare), QString("20"));

    const QList<QAction*> actions = grid.ColumnsMenu().actions();
    QCOMPARE(actions.size(), 2);
    QCOMPARE(actions[0]->text(), QString("Nulls %"));
    QCOMPARE(actions[1]->text(), QString("Unique"));
    QVERIFY(actions[0]->isChecked());
    actions[1]->trigger();
    QVERIFY(!grid.isColumnHidden(colUnique));
    const auto shownWidths = [&grid] {
        int width = 0;
        for (int column = 0; column < kFieldGridColumns; ++column) {
            width += grid.isColumnHidden(column) ? 0 : grid.columnWidth(column);
        }
        return width;
    };
    QCOMPARE(shownWidths(), grid.viewport()->width());
    actions[0]->trigger();
    actions[1]->trigger();
    QVERIFY(grid.isColumnHidden(colNullShare));
    QVERIFY(grid.isColumnHidden(colUnique));
    QCOMPARE(shownWidths(), grid.viewport()->width());
    QCOMPARE(grid.columnWidth(colValues), grid.viewport()->width() -
                                              grid.columnWidth(colFieldName) -
                                              grid.columnWidth(colFillMethod));
}

void FieldGridTest::nullShareAndUniqueCellsEditTheSettings() {
    OpenScenario("parts");
    SetMethod(1, fmRandomString);
    TFieldGrid& grid = *form_->sgFields;
    QAbstractItemModel& model = *grid.model();
    for (QAction* action : grid.ColumnsMenu().actions()) {
        action->trigger();
    }
    const TFillField& id = form_->Document().Scenario().Tables().Items(0).Fields().Items(0);
    const TFillField& name = form_->Document().Scenario().Tables().Items(0).Fields().Items(1);
    // A column left unfilled takes neither.
    QVERIFY(!(model.flags(model.index(0, colNullShare)) & Qt::ItemIsEditable));
    QVERIFY(!(model.flags(model.index(0, colUnique)) & Qt::ItemIsUserCheckable));
    QVERIFY(!model.index(0, colUnique).data(Qt::CheckStateRole).isValid());

    const QModelIndex share = model.index(1, colNullShare);
    QVERIFY(model.setData(share, "150"));
    QCOMPARE(name.NullShare(), std::string());
    QCOMPARE(Cell(*form_, 1, colNullShare), QString("150"));
    QVERIFY(model.setData(share, "12.5"));
    QCOMPARE(name.NullShare(), std::string("12.5"));
    QVERIFY(form_->Document().Modified());

    // Space ticks the current unique cell, and again clears it.
    grid.setFocus();
    grid.setCurrentIndex(model.index(1, colUnique));
    QTest::keyClick(&grid, Qt::Key_Space);
    QVERIFY(name.Unique());
    QCOMPARE(model.index(1, colUnique).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
    const std::string saved = form_->Document().Scenario().SaveToText();
    QVERIFY(saved.find("FillValue=10\r\nNullShare=12.5\r\nUnique=1\r\n") != std::string::npos);
    QTest::keyClick(&grid, Qt::Key_Space);
    QVERIFY(!name.Unique());
    grid.setCurrentIndex(model.index(0, colUnique));
    QTest::keyClick(&grid, Qt::Key_Space);
    QVERIFY(!id.Unique());
}

}  // namespace rowsmith::test

ROWSMITH_UI_TEST_MAIN(FieldGridTest)

#include "field_grid_test.moc"
