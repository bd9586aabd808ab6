// The value-set editor's library buttons: a library's values loaded in place of the lines, and
// the lines saved as a library in the user's folder, with what a library cannot hold refused.
#include <QInputDialog>
#include <QPlainTextEdit>
#include <QPushButton>
#include <filesystem>

#include "dialogs/dlg_edit_values2.h"
#include "fill/value_library.h"
#include "ui_test_support.h"
#include "user_libraries.h"

namespace rowsmith::test {

class DlgEditValues2Test : public QObject {
    Q_OBJECT

private slots:
    void loadFromLibraryReplacesTheLines();
    void saveAsLibraryWritesTheUsersFolder();
    void saveAsLibraryRefusesWhatALibraryCannotHold();
    void saveAsLibraryAsksBeforeReplacing();
};

void DlgEditValues2Test::loadFromLibraryReplacesTheLines() {
    const UserDataFolder data;
    data.WriteLibrary("pets", "# Pets\ncat\t3\n\ndog\n# more\nemu, large\n");
    ModalAnswers answers;
    TdlgEditValues2 editor;
    editor.SetValues({"old", "lines"});
    QVERIFY(!editor.btnLoadLibrary->accessibleName().isEmpty() ||
            !editor.btnLoadLibrary->text().isEmpty());

    // Cancelled, the lines stay.
    QTest::mouseClick(editor.btnLoadLibrary, Qt::LeftButton);
    QCOMPARE(answers.dialogs, QStringList({"Value Libraries"}));
    QCOMPARE(editor.memValues->toPlainText(), QString("old\nlines"));

    answers.answerDialog = [](QDialog& dialog) {
        return PickLibrary(dynamic_cast<TdlgLibraryPicker&>(dialog), "pets") ? QDialog::Accepted
                                                                             : QDialog::Rejected;
    };
    QTest::mouseClick(editor.btnLoadLibrary, Qt::LeftButton);
    QCOMPARE(answers.errors, QStringList());
    // Each value once, in the library's order; a set draws its lines evenly.
    QCOMPARE(editor.memValues->toPlainText(), QString("cat\ndog\nemu, large"));
    QCOMPARE(editor.ValueSetText(), std::string("cat,dog,\"emu, large\""));
}

void DlgEditValues2Test::saveAsLibraryWritesTheUsersFolder() {
    const UserDataFolder data;
    ModalAnswers answers;
    answers.answerDialog = [](QDialog& dialog) {
        dynamic_cast<QInputDialog&>(dialog).setTextValue("  paints ");
        return QDialog::Accepted;
    };
    TdlgEditValues2 editor;
    editor.memValues->setPlainText("red\ngreen\tleaf\n  blue\n");
    QTest::mouseClick(editor.btnSaveLibrary, Qt::LeftButton);
    QCOMPARE(answers.errors, QStringList());
    QCOMPARE(answers.dialogs, QStringList({"Save as Library"}));

    const std::string file = data.Libraries() + "/paints.txt";
    QCOMPARE(LibraryFinder().Find("paints", {}), file);
    const ValueLibrary library = ValueLibrary::Load(file, "paints");
    QCOMPARE(library.Description(), std::string("paints: values saved from the value-set editor"));
    QCOMPARE(library.Count(), std::size_t{3});
    QCOMPARE(library.Value(0), std::string_view("red"));
    QCOMPARE(library.Value(1), std::string_view("green\tleaf"));
    QCOMPARE(library.Value(2), std::string_view("  blue"));
    QVERIFY(!library.Weighted());
    // The memo is left as it was.
    QCOMPARE(editor.memValues->toPlainText(), QString("red\ngreen\tleaf\n  blue\n"));
}

void DlgEditValues2Test::saveAsLibraryRefusesWhatALibraryCannotHold() {
    const UserDataFolder data;
    ModalAnswers answers;
    QString name;
    answers.answerDialog = [&name](QDialog& dialog) {
        dynamic_cast<QInputDialog&>(dialog).setTextValue(name);
        return QDialog::Accepted;
    };
    TdlgEditValues2 editor;
    const struct {
        const char* lines;
        const char* name;
        const char* error;
    } cases[] = {
        {"a\nb", "", "A library needs a name"},
        {"a\nb", "  ", "A library needs a name"},
        {"a\nb", "../elsewhere", "A library name cannot hold \"/\""},
        {"", "x", "There are no values to save"},
        {"a\n\nb", "x", "Line 2 is empty: a library holds no empty values"},
        {"a\n   \nb", "x", "Line 2 is empty: a library holds no empty values"},
        {"a\n#b", "x", "Line 2 starts with \"#\": a library reads it as a comment"},
    };
    for (const auto& refused : cases) {
        answers.errors.clear();
        editor.memValues->setPlainText(refused.lines);
        name = refused.name;
        QTest::mouseClick(editor.btnSaveLibrary, Qt::LeftButton);
        QCOMPARE(answers.errors, QStringList({refused.error}));
    }
    // Lines are refused before a name is asked for.
    QCOMPARE(answers.dialogs.size(), 3);
    QVERIFY(!std::filesystem::exists(data.Libraries()) ||
            std::filesystem::is_empty(data.Libraries()));
}

void DlgEditValues2Test::saveAsLibraryAsksBeforeReplacing() {
    const UserDataFolder data;
    data.WriteLibrary("paints", "# Mine\nochre\n");
    ModalAnswers answers;
    answers.answerDialog = [](QDialog& dialog) {
        dynamic_cast<QInputDialog&>(dialog).setTextValue("paints");
        return QDialog::Accepted;
    };
    TdlgEditValues2 editor;
    editor.memValues->setPlainText("red");
    QTest::mouseClick(editor.btnSaveLibrary, Qt::LeftButton);
    QCOMPARE(answers.questions, QStringList({"Library \"paints\" already exists. Replace it?"}));
    QCOMPARE(ReadFile(data.Libraries() + "/paints.txt"), std::string("# Mine\nochre\n"));

    answers.answerYes = true;
    QTest::mouseClick(editor.btnSaveLibrary, Qt::LeftButton);
    QCOMPARE(ReadFile(data.Libraries() + "/paints.txt"),
             std::string("# paints: values saved from the value-set editor\nred\n"));
}

}  // namespace rowsmith::test

ROWSMITH_UI_TEST_MAIN(DlgEditValues2Test)
#include "dlg_edit_values2_test.moc"
