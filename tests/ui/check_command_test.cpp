// File > Check on a real SQLite alias: it checks the scenario as edited (saved or not), its list
// takes the user to a warning's table and column, and an error of the look reaches the error box.
// That it is enabled with Fill Up is part of main_form_test's command states.
#include <QComboBox>
#include <QGuiApplication>
#include <QPushButton>
#include <QTableWidget>
#include <filesystem>

#include "dialogs/dlg_check.h"
#include "main/field_grid.h"
#include "model/fill_methods.h"
#include "test_database.h"
#include "ui_test_support.h"

namespace rowsmith::test {

class CheckCommandTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void checksTheEditedScenarioAndGoesToTheChosenColumn();
    void lookThatFailsShowsTheError();

private:
    void OpenScenario(const std::string& tables);
    // Shows the scenario table at `index` as choosing it in cbTables does.
    void ChooseTable(int index);
    QString CurrentFieldName() const;

    std::unique_ptr<TestDatabase> database_;
    std::unique_ptr<TMainForm> form_;
    std::unique_ptr<ModalAnswers> answers_;
};

void CheckCommandTest::init() {
    database_ = std::make_unique<TestDatabase>(TestEngine::SQLite);
    database_->Execute("CREATE TABLE p (id INTEGER PRIMARY KEY, name VARCHAR(10))");
    database_->Execute("CREATE TABLE c (id INTEGER PRIMARY KEY, note TEXT, must INTEGER NOT NULL)");
    answers_ = std::make_unique<ModalAnswers>();
    form_ = std::make_unique<TMainForm>();
    ShowAndWait(*form_);
}

void CheckCommandTest::cleanup() {
    form_.reset();
    answers_.reset();
    database_.reset();
}

void CheckCommandTest::OpenScenario(const std::string& tables) {
    const std::string path = database_->Folder().File("check.scn");
    // A library beside the scenario, named by its path relative to the scenario's folder.
    std::filesystem::create_directory(database_->Folder().File("lists"));
    WriteFile(database_->Folder().File("lists/names.txt"), "Ann\nBo\n");
    WriteFile(path, "[Main]\nAliasName=Test\nTables=" + tables +
                        "\n[Table p]\nFields=name\n[Field p.name]\nFillMethod=" +
                        std::to_string(fmLibrary) +
                        "\nFillValue=lists/names.txt\n"
                        "[Table c]\nFields=must\n[Field c.must]\nFillMethod=1\nFillValue=7\n");
    form_->OpenScenarioFile(QString::fromStdString(path));
    QCOMPARE(answers_->errors, QStringList());
}

void CheckCommandTest::ChooseTable(int index) {
    form_->cbTables->setCurrentIndex(index);
    emit form_->cbTables->activated(index);
}

QString CheckCommandTest::CurrentFieldName() const {
    return form_->sgFields->currentIndex().siblingAtColumn(colFieldName).data().toString();
}

void CheckCommandTest::checksTheEditedScenarioAndGoesToTheChosenColumn() {
    TMainForm& form = *form_;
    OpenScenario("p,c");
    Trigger(form.miCheck);
    QCOMPARE(answers_->messages, QStringList("No problems found."));
    QCOMPARE(answers_->dialogs, QStringList());

    // Unsaved: c's NOT NULL column left unfilled, and p back on show.
    ChooseTable(1);
    const int must = form.CurrentTable()->FindField("must");
    form.sgFields->setCurrentIndex(form.FieldModel().index(must, colFillMethod));
    form.cbMethods->setCurrentIndex(fmDontFill);
    emit form.cbMethods->activated(fmDontFill);
    ChooseTable(0);
    QVERIFY(form.Document().Modified());
    QStringList listed;
    answers_->answerDialog = [&listed](QDialog& dialog) {
        auto& check = dynamic_cast<TdlgCheck&>(dialog);
        for (int column = 0; column < check.sgWarnings->columnCount(); ++column) {
            listed << check.sgWarnings->item(0, column)->text();
        }
        ShowAndWait(check);
        QTableWidget& list = *check.sgWarnings;
        const QRect row = list.visualRect(list.model()->index(0, TdlgCheck::colReason));
        // A double-click as the mouse makes it: a click, then the second press.
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, row.center());
        QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, row.center());
        return check.result();
    };
    Trigger(form.miCheck);
    QCOMPARE(answers_->dialogs, QStringList("Check scenario"));
    QCOMPARE(listed.mid(0, 2), QStringList({"c", "must"}));
    QVERIFY(listed[2].contains("NOT NULL"));
    QCOMPARE(form.cbTables->currentText(), QString("c"));
    QCOMPARE(CurrentFieldName(), QString("must"));
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);

    // Enter on the row goes there too; Close goes nowhere.
    for (const bool enter : {true, false}) {
        ChooseTable(0);
        answers_->answerDialog = [enter](QDialog& dialog) {
            auto& check = dynamic_cast<TdlgCheck&>(dialog);
            ShowAndWait(check);
            if (enter) {
                QTest::keyClick(check.sgWarnings, Qt::Key_Return);
            } else {
                QTest::mouseClick(check.btnClose, Qt::LeftButton);
            }
            return check.result();
        };
        Trigger(form.miCheck);
        QCOMPARE(form.cbTables->currentText(), QString(enter ? "c" : "p"));
    }

    // A warning about the whole table shows the table from its first row.
    form.GoToColumn("c", "");
    QCOMPARE(CurrentFieldName(), QString("id"));
    QCOMPARE(answers_->errors, QStringList());
}

void CheckCommandTest::lookThatFailsShowsTheError() {
    OpenScenario("p,gone");
    Trigger(form_->miCheck);
    QCOMPARE(answers_->errors.size(), 1);
    QVERIFY(answers_->errors[0].contains("gone"));
    QCOMPARE(answers_->dialogs, QStringList());
    QCOMPARE(answers_->messages, QStringList());
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);
}

}  // namespace rowsmith::test

ROWSMITH_UI_TEST_MAIN(CheckCommandTest)

#include "check_command_test.moc"
