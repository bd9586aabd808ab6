// The pattern editor: samples drawn again as the pattern is typed, the check's reason in their
// place for a pattern it refuses, other columns shown by a value their settings give, and a
// pattern typed in the editor through the window, filled and read back.
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QToolButton>
#include <filesystem>
#include <memory>

#include "dialogs/dlg_pattern_editor.h"
#include "fill/library_shelf.h"
#include "main/field_grid.h"
#include "model/ff_list.h"
#include "model/fill_methods.h"
#include "test_database.h"
#include "ui_test_support.h"
#include "user_libraries.h"

namespace rowsmith::test {

namespace {

// A table's columns and settings with a folder of libraries, as the check sees them.
class Table {
public:
    Table() {
        std::filesystem::create_directories(folder_.File("libraries"));
        WriteFile(folder_.File("libraries/pets.txt"), "# Pets\ncat\ndog\n");
        WriteFile(folder_.File("libraries/names.txt"), "# Names\nJos\xC3\xA9\nAna\n");
        shelf_ = std::make_unique<LibraryShelf>(LibraryFinder(folder_.File("libraries"), {}),
                                                folder_.Path());
        sources.libraries = shelf_.get();
    }

    void AddColumn(const std::string& name, std::int32_t method, const std::string& value) {
        auto setting = std::make_unique<TFillField>(name);
        setting->SetFillMethod(method);
        setting->SetFillValue(value);
        settings_.Add(std::move(setting));
        sources.columns.push_back(name);
        sources.sizes.push_back(0);
        sources.settings = &settings_;
    }

    ValueSources sources;

private:
    TempDir folder_;
    std::unique_ptr<LibraryShelf> shelf_;
    TFFList settings_;
};

QStringList Samples(const TdlgPatternEditor& editor) {
    QStringList samples;
    for (int i = 0; i < editor.lbSamples->count(); ++i) {
        samples << editor.lbSamples->item(i)->text();
    }
    return samples;
}

// Whether every sample has the shape: `#` a digit, `?` an upper-case letter, others themselves.
bool AllShaped(const QStringList& samples, const QString& shape) {
    for (const QString& sample : samples) {
        if (sample.size() != shape.size()) {
            return false;
        }
        for (int i = 0; i < shape.size(); ++i) {
            const QChar c = sample[i];
            const bool fits = shape[i] == u'#'   ? c.isDigit()
                              : shape[i] == u'?' ? c >= u'A' && c <= u'Z'
                                                 : c == shape[i];
            if (!fits) {
                return false;
            }
        }
    }
    return samples.size() == TdlgPatternEditor::kSamples;
}

}  // namespace

class DlgPatternEditorTest : public QObject {
    Q_OBJECT

private slots:
    void samplesFollowTheTyping();
    void refusedPatternShowsTheReason();
    void otherColumnsGiveTheirSettingsValues();
    void patternTypedInTheEditorFillsTheColumn();
};

void DlgPatternEditorTest::samplesFollowTheTyping() {
    Table table;
    table.AddColumn("code", fmPattern, "");
    TdlgPatternEditor editor(table.sources, "code");
    editor.SetSeed(42);
    ShowAndWait(editor);
    QCOMPARE(QApplication::focusWidget(), editor.edPattern);

    const QString typed = "ORD-##-?";
    for (int i = 0; i < typed.size(); ++i) {
        QTest::keyClick(editor.edPattern, typed[i].toLatin1());
        const QString shape = typed.left(i + 1);
        QVERIFY2(AllShaped(Samples(editor), shape), qPrintable(Samples(editor).join(" ")));
        QVERIFY(editor.btnOK->isEnabled());
    }
    // Five draws, not one text five times.
    QVERIFY(Samples(editor).removeDuplicates() < TdlgPatternEditor::kSamples - 1);

    QTest::keyClicks(editor.edPattern, " {pets|upper}");
    for (const QString& sample : Samples(editor)) {
        QVERIFY2(sample.endsWith(" CAT") || sample.endsWith(" DOG"), qPrintable(sample));
    }
    QCOMPARE(editor.Pattern(), std::string("ORD-##-? {pets|upper}"));
    QCOMPARE(editor.pgSamples->currentWidget(), editor.lbSamples);
    QVERIFY(editor.lblUnresolved->text().isEmpty());
}

void DlgPatternEditorTest::refusedPatternShowsTheReason() {
    Table table;
    table.AddColumn("first", fmLibrary, "names");
    table.AddColumn("login", fmPattern, "{mail|first}");
    table.AddColumn("mail", fmPattern, "");
    TdlgPatternEditor editor(table.sources, "mail");
    const struct {
        const char* pattern;
        const char* reason;
    } cases[] = {
        {"{pets", "the { at character 1 has no }"},
        {"x}", "the } at character 2 has no {"},
        {"{pets|shout}",
         "unknown modifier \"shout\" in {pets|shout}: lower, upper, ascii or first"},
        {"{nosuch}", "\"nosuch\" is no column of the table, and Library \"nosuch\" not found in "},
        {"{login}@x", "the columns refer to each other in a circle: mail -> login -> mail"},
        {"{Mail}", "the columns refer to each other in a circle: mail -> Mail"},
    };
    for (const auto& refused : cases) {
        editor.SetPattern(refused.pattern);
        QCOMPARE(editor.pgSamples->currentWidget(), editor.lblRefusal);
        QVERIFY2(editor.lblRefusal->text().startsWith(refused.reason),
                 qPrintable(editor.lblRefusal->text()));
        QVERIFY(!editor.btnOK->isEnabled());
        QCOMPARE(editor.lbSamples->count(), 0);
    }
    // Mended, the samples come back.
    editor.SetPattern("{first|lower|ascii}@example.net");
    QCOMPARE(editor.pgSamples->currentWidget(), editor.lbSamples);
    QVERIFY(editor.btnOK->isEnabled());
    for (const QString& sample : Samples(editor)) {
        QVERIFY2(sample == "jose@example.net" || sample == "ana@example.net", qPrintable(sample));
    }
}

void DlgPatternEditorTest::otherColumnsGiveTheirSettingsValues() {
    Table table;
    table.AddColumn("id", fmAutoIncrement, "1");
    table.AddColumn("first", fmLibrary, "names");
    table.AddColumn("nick", fmSingleValue, "Kit");
    table.AddColumn("tone", fmRandomFromSet, "Warm");
    table.AddColumn("handle", fmPattern, "{nick}-{first|first}");
    table.AddColumn("code", fmPattern, "");
    TdlgPatternEditor editor(table.sources, "code");
    // One record's column gives one value however often the pattern names it, also through
    // another column's pattern.
    editor.SetPattern("{FIRST|ascii}/{handle}/{tone}/{id}");
    const QStringList samples = Samples(editor);
    QCOMPARE(samples.size(), TdlgPatternEditor::kSamples);
    for (const QString& sample : samples) {
        QVERIFY2(sample == "Jose/Kit-J/Warm/[id]" || sample == "Ana/Kit-A/Warm/[id]",
                 qPrintable(sample));
    }
    QVERIFY(editor.lblUnresolved->text().startsWith("[id]: "));
    QVERIFY(editor.btnOK->isEnabled());
}

void DlgPatternEditorTest::patternTypedInTheEditorFillsTheColumn() {
    const UserDataFolder data;
    data.WriteLibrary("given", "# Given names\nOla\nIb\nMaren\n");
    TestDatabase database(TestEngine::SQLite);
    database.Execute(
        "CREATE TABLE people (id INTEGER PRIMARY KEY, first VARCHAR(20), email VARCHAR(60))");
    const std::string path = database.Folder().File("people.scn");
    WriteFile(path,
              "[Main]\nAliasName=Test\nTables=people\n[Table people]\nFieldMethod=0\n"
              "RecCount=25\nFields=id,first,email\n[Field people.id]\nFillMethod=5\n"
              "[Field people.first]\nFillMethod=9\nFillValue=given\n"
              "[Field people.email]\nFillMethod=10\nFillValue=\n");
    ModalAnswers answers;
    TMainForm form;
    ShowAndWait(form);
    form.OpenScenarioFile(QString::fromStdString(path));
    QCOMPARE(answers.errors, QStringList());

    form.sgFields->setFocus();
    form.sgFields->setCurrentIndex(form.sgFields->model()->index(2, colValues));
    QVERIFY(form.bbEditValue->isVisible());
    QStringList samples;
    answers.answerDialog = [&](QDialog& dialog) {
        auto& editor = dynamic_cast<TdlgPatternEditor&>(dialog);
        QTest::keyClicks(editor.edPattern, "{first|lower}.##@example.net");
        samples = Samples(editor);
        return QDialog::Accepted;
    };
    QTest::mouseClick(form.bbEditValue, Qt::LeftButton);
    QCOMPARE(samples.size(), TdlgPatternEditor::kSamples);
    for (const QString& sample : samples) {
        QVERIFY2(sample.contains(QRegularExpression("^(ola|ib|maren)\\.\\d\\d@example\\.net$")),
                 qPrintable(sample));
    }
    QCOMPARE(form.sgFields->model()->index(2, colValues).data().toString(),
             QString("{first|lower}.##@example.net"));
    QVERIFY(form.Document().Modified());

    form.Document().Filler().SetFixedSeed(9);
    QTest::mouseClick(form.siFillUp, Qt::LeftButton);
    QCOMPARE(answers.errors, QStringList());
    const auto rows = database.Query("SELECT first, email FROM people");
    QCOMPARE(rows.size(), std::size_t{25});
    for (const auto& row : rows) {
        const QString first = QString::fromStdString(row[0]).toLower();
        const QString email = QString::fromStdString(row[1]);
        QVERIFY2(email.contains(QRegularExpression("^" + first + "\\.\\d\\d@example\\.net$")),
                 qPrintable(email));
    }
}

}  // namespace rowsmith::test

ROWSMITH_UI_TEST_MAIN(DlgPatternEditorTest)
#include "dlg_pattern_editor_test.moc"
