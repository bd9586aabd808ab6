// The library picker: which libraries it lists and how, a path value kept, and a library picked
// through the window and filled.
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>
#include <filesystem>
#include <set>

#include "dialogs/dlg_library_picker.h"
#include "main/field_grid.h"
#include "test_database.h"
#include "ui_test_support.h"
#include "user_libraries.h"

namespace rowsmith::test {

namespace {

void WriteLibrary(const std::string& folder, const std::string& name, const std::string& text) {
    std::filesystem::create_directories(folder);
    WriteFile(folder + "/" + name + ".txt", text);
}

QStringList Column(const QTreeWidget& list, int column) {
    QStringList texts;
    for (int i = 0; i < list.topLevelItemCount(); ++i) {
        texts << list.topLevelItem(i)->text(column);
    }
    return texts;
}

}  // namespace

class DlgLibraryPickerTest : public QObject {
    Q_OBJECT

private slots:
    void listsUserLibrariesFirstWithTheirValues();
    void keepsAPathValueSelectable();
    void libraryPickedInTheWindowFillsTheColumn();
};

void DlgLibraryPickerTest::listsUserLibrariesFirstWithTheirValues() {
    TempDir folders;
    const std::string user = folders.File("user");
    const std::string shipped = folders.File("shipped");
    WriteLibrary(shipped, "animals", "# Animals\nant\nbee\ncat\ndog\nelk\nfox\ngnu\n");
    WriteLibrary(shipped, "streets", "# Shipped streets\nHigh Street\n");
    WriteLibrary(user, "streets", "# My streets\nMill Lane\t3\nStation Road\n");
    WriteLibrary(user, "empty", "# Nothing yet\n\n");

    TdlgLibraryPicker picker(LibraryFinder(user, shipped));
    QCOMPARE(Column(*picker.lvLibraries, TdlgLibraryPicker::colName),
             QStringList({"empty", "streets", "animals"}));
    QCOMPARE(Column(*picker.lvLibraries, TdlgLibraryPicker::colFrom),
             QStringList({"user", "user", "shipped"}));
    QCOMPARE(Column(*picker.lvLibraries, TdlgLibraryPicker::colCount), QStringList({"", "2", "7"}));
    const QStringList first = Column(*picker.lvLibraries, TdlgLibraryPicker::colFirstValues);
    // A library that cannot serve is listed with the check's reason.
    QCOMPARE(first[0], QString("Library \"empty\" holds no values"));
    QCOMPARE(first[1], QString("Mill Lane, Station Road"));
    QCOMPARE(first[2], QString("ant, bee, cat, dog, elk"));

    QVERIFY(!picker.btnOK->isEnabled());
    picker.Preselect("streets");
    QVERIFY(picker.btnOK->isEnabled());
    QCOMPARE(picker.SelectedLibrary(), std::string("streets"));
    QCOMPARE(picker.SelectedFile(), user + "/streets.txt");
    QVERIFY(picker.lblDescription->text().startsWith("My streets\n"));
    QVERIFY(!picker.lvLibraries->accessibleName().isEmpty());
}

void DlgLibraryPickerTest::keepsAPathValueSelectable() {
    TempDir folders;
    WriteLibrary(folders.File("user"), "towns", "Ely\n");
    WriteLibrary(folders.File("scenarios/lists"), "own", "# Our own\nalpha\nbeta\n");

    TdlgLibraryPicker picker(LibraryFinder(folders.File("user"), {}), folders.File("scenarios"));
    picker.Preselect("lists/own.txt");
    QCOMPARE(Column(*picker.lvLibraries, TdlgLibraryPicker::colName),
             QStringList({"lists/own.txt", "towns"}));
    QCOMPARE(picker.lvLibraries->topLevelItem(0)->text(TdlgLibraryPicker::colCount), QString("2"));
    QCOMPARE(picker.lvLibraries->topLevelItem(0)->text(TdlgLibraryPicker::colFrom),
             QString("file"));
    QCOMPARE(picker.SelectedLibrary(), std::string("lists/own.txt"));
    QCOMPARE(picker.SelectedFile(), folders.File("scenarios/lists/own.txt"));

    // A name no folder holds selects nothing, and OK waits for a choice.
    TdlgLibraryPicker other(LibraryFinder(folders.File("user"), {}));
    other.Preselect("gone");
    QCOMPARE(other.SelectedLibrary(), std::string());
    QVERIFY(!other.btnOK->isEnabled());

    // Without libraries the picker says where it looked.
    TdlgLibraryPicker none(LibraryFinder(folders.File("nothing"), folders.File("none")));
    QCOMPARE(none.lvLibraries->topLevelItemCount(), 0);
    QCOMPARE(none.lblDescription->text(),
             QString::fromStdString("No libraries in " + folders.File("nothing") + " or " +
                                    folders.File("none")));
}

void DlgLibraryPickerTest::libraryPickedInTheWindowFillsTheColumn() {
    const UserDataFolder data;
    data.WriteLibrary("pets", "# Pets\ncat\ndog\nhamster\n");
    data.WriteLibrary("birds", "# Birds\nwren\n");
    TestDatabase database(TestEngine::SQLite);
    database.Execute("CREATE TABLE animals (id INTEGER PRIMARY KEY, kind VARCHAR(20))");
    const std::string path = database.Folder().File("animals.scn");
    WriteFile(path,
              "[Main]\nAliasName=Test\nTables=animals\n[Table animals]\nFieldMethod=0\n"
              "RecCount=30\nFields=id,kind\n[Field animals.id]\nFillMethod=5\n"
              "[Field animals.kind]\nFillMethod=9\nFillValue=birds\n");
    ModalAnswers answers;
    TMainForm form;
    ShowAndWait(form);
    form.OpenScenarioFile(QString::fromStdString(path));
    QCOMPARE(answers.errors, QStringList());

    form.sgFields->setFocus();
    form.sgFields->setCurrentIndex(form.sgFields->model()->index(1, colValues));
    QVERIFY(form.bbEditValue->isVisible());
    std::string shown;
    answers.answerDialog = [&](QDialog& dialog) {
        auto& picker = dynamic_cast<TdlgLibraryPicker&>(dialog);
        shown = picker.SelectedLibrary();
        return PickLibrary(picker, "pets") ? QDialog::Accepted : QDialog::Rejected;
    };
    QTest::mouseClick(form.bbEditValue, Qt::LeftButton);
    QCOMPARE(shown, std::string("birds"));
    QCOMPARE(form.sgFields->model()->index(1, colValues).data().toString(), QString("pets"));
    QVERIFY(form.Document().Modified());

    form.Document().Filler().SetFixedSeed(5);
    QTest::mouseClick(form.siFillUp, Qt::LeftButton);
    QCOMPARE(answers.errors, QStringList());
    std::set<std::string> kinds;
    for (const auto& row : database.Query("SELECT kind FROM animals")) {
        kinds.insert(row[0]);
    }
    QCOMPARE(database.QueryValue("SELECT COUNT(*) FROM animals"), std::string("30"));
    QVERIFY(kinds == (std::set<std::string>{"cat", "dog", "hamster"}));
}

}  // namespace rowsmith::test

ROWSMITH_UI_TEST_MAIN(DlgLibraryPickerTest)
#include "dlg_library_picker_test.moc"
