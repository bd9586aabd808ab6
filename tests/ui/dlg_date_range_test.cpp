// The date range editor: what it shows for each column type, the text it gives back, its keyboard
// and names, and, through the window, a range set in it, filled and read back.
#include <QComboBox>
#include <QDateTimeEdit>
#include <QPushButton>
#include <QToolButton>

#include "dialogs/dlg_date_range.h"
#include "main/field_grid.h"
#include "model/fill_methods.h"
#include "test_database.h"
#include "ui_test_support.h"

namespace rowsmith::test {

class DlgDateRangeTest : public QObject {
    Q_OBJECT

private slots:
    void precisionFollowsTheColumn_data();
    void precisionFollowsTheColumn();
    void fixedBoundsRoundTrip();
    void relativeRangesDisableThePickers();
    void keyboardReachesEveryControlByName();
    void rangeSetInTheEditorFillsTheColumn();
};

void DlgDateRangeTest::precisionFollowsTheColumn_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("format");
    QTest::addColumn<bool>("calendar");
    QTest::addColumn<bool>("relative");
    QTest::newRow("date") << int(ftDate) << "yyyy-MM-dd" << true << true;
    QTest::newRow("time") << int(ftTime) << "HH:mm:ss" << false << false;
    QTest::newRow("date and time") << int(ftDateTime) << "yyyy-MM-dd HH:mm:ss" << true << true;
    QTest::newRow("text") << int(ftString) << "yyyy-MM-dd HH:mm:ss" << true << true;
}

void DlgDateRangeTest::precisionFollowsTheColumn() {
    QFETCH(int, type);
    QFETCH(QString, format);
    QFETCH(bool, calendar);
    QFETCH(bool, relative);
    TdlgDateRange editor;
    editor.SetColumnType(static_cast<TFieldType>(type));
    for (QDateTimeEdit* picker : {editor.dtFrom, editor.dtTo}) {
        QCOMPARE(picker->displayFormat(), format);
        QCOMPARE(picker->calendarPopup(), calendar);
    }
    QCOMPARE(editor.cbRelative->isEnabled(), relative);
}

void DlgDateRangeTest::fixedBoundsRoundTrip() {
    TdlgDateRange editor;
    editor.SetColumnType(ftDate);
    editor.SetRange("2024-12-31 - 2020-02-29");
    QCOMPARE(editor.dtFrom->date(), QDate(2024, 12, 31));
    QCOMPARE(editor.dtTo->date(), QDate(2020, 2, 29));
    QCOMPARE(editor.RangeText(), std::string("2024-12-31 - 2020-02-29"));

    editor.SetColumnType(ftTime);
    editor.SetRange("08:00 - 18:30:15");
    QCOMPARE(editor.RangeText(), std::string("08:00:00 - 18:30:15"));

    editor.SetColumnType(ftDateTime);
    editor.SetRange("2024-01-01T06:00:00 - 2024-01-02 07:08:09");
    QCOMPARE(editor.RangeText(), std::string("2024-01-01 06:00:00 - 2024-01-02 07:08:09"));
    // A text it cannot read leaves the pickers as they were.
    editor.SetRange("soon - later");
    QCOMPARE(editor.RangeText(), std::string("2024-01-01 06:00:00 - 2024-01-02 07:08:09"));
}

void DlgDateRangeTest::relativeRangesDisableThePickers() {
    TdlgDateRange editor;
    editor.SetColumnType(ftDate);
    editor.SetRange("today-30d - today");
    QCOMPARE(editor.RangeText(), std::string("today-30d - today"));
    QVERIFY(!editor.dtFrom->isEnabled());
    QVERIFY(!editor.dtTo->isEnabled());
    QVERIFY(editor.cbRelative->currentText().startsWith("The last 30 days"));
    // Every relative range offered is one the check takes.
    for (int i = 1; i < editor.cbRelative->count(); ++i) {
        editor.cbRelative->setCurrentIndex(i);
        const std::string text = editor.RangeText();
        QVERIFY2(QString::fromStdString(text).contains(" - "), text.c_str());
        QVERIFY(editor.cbRelative->itemText(i).contains(QString::fromStdString(text)));
    }
    editor.cbRelative->setCurrentIndex(0);
    QVERIFY(editor.dtFrom->isEnabled());
    QVERIFY(editor.dtTo->isEnabled());
}

void DlgDateRangeTest::keyboardReachesEveryControlByName() {
    TdlgDateRange editor;
    editor.SetColumnType(ftDate);
    editor.SetRange("2024-01-01 - 2024-01-31");
    ShowAndWait(editor);
    for (QWidget* control : std::initializer_list<QWidget*>{
             editor.cbRelative, editor.dtFrom, editor.dtTo, editor.btnOK, editor.btnCancel}) {
        QVERIFY(!control->accessibleName().isEmpty() ||
                !static_cast<QPushButton*>(control)->text().isEmpty());
    }
    editor.cbRelative->setFocus();
    QTest::keyClick(&editor, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), editor.dtFrom);
    // The day section under the cursor goes up by the arrow key.
    editor.dtFrom->setCurrentSection(QDateTimeEdit::DaySection);
    QTest::keyClick(editor.dtFrom, Qt::Key_Up);
    QCOMPARE(editor.dtFrom->date(), QDate(2024, 1, 2));
    QTest::keyClick(&editor, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), editor.dtTo);
    // The mnemonics of the labels reach the pickers too.
    QTest::keyClick(&editor, Qt::Key_F, Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget(), editor.dtFrom);
    QCOMPARE(editor.RangeText(), std::string("2024-01-02 - 2024-01-31"));
}

void DlgDateRangeTest::rangeSetInTheEditorFillsTheColumn() {
    TestDatabase database(TestEngine::SQLite);
    database.Execute("CREATE TABLE visits (id INTEGER PRIMARY KEY, day DATE, at DATETIME)");
    const std::string path = database.Folder().File("visits.scn");
    WriteFile(path,
              "[Main]\nAliasName=Test\nTables=visits\n[Table visits]\nFieldMethod=0\n"
              "RecCount=60\nFields=id,day,at\n[Field visits.id]\nFillMethod=5\n"
              "[Field visits.day]\nFillMethod=8\nFillValue=2020-01-01 - 2020-12-31\n"
              "[Field visits.at]\nFillMethod=0\n");
    ModalAnswers answers;
    TMainForm form;
    ShowAndWait(form);
    form.OpenScenarioFile(QString::fromStdString(path));
    QCOMPARE(answers.errors, QStringList());
    QCOMPARE(form.sgFields->model()->index(1, colFillMethod).data().toString(),
             QString("Date/time random value from range"));

    form.sgFields->setFocus();
    form.sgFields->setCurrentIndex(form.sgFields->model()->index(1, colValues));
    QVERIFY(form.bbEditValue->isVisible());
    QString shownFrom;
    answers.answerDialog = [&](QDialog& dialog) {
        auto& editor = dynamic_cast<TdlgDateRange&>(dialog);
        shownFrom = editor.dtFrom->text();
        editor.dtFrom->setDate(QDate(2023, 3, 30));
        editor.dtTo->setDate(QDate(2023, 4, 2));
        return QDialog::Accepted;
    };
    QTest::mouseClick(form.bbEditValue, Qt::LeftButton);
    QCOMPARE(shownFrom, QString("2020-01-01"));
    QCOMPARE(form.sgFields->model()->index(1, colValues).data().toString(),
             QString("2023-03-30 - 2023-04-02"));
    QVERIFY(form.Document().Modified());

    // Typing in the cell is checked as the other ranges are: a time range is no date range.
    form.sgFields->setCurrentIndex(form.sgFields->model()->index(1, colValues));
    const TFillField& day = form.Document().Scenario().Tables().Items(0).Fields().Items(1);
    QTest::keyClick(form.sgFields, '0');
    QTest::keyClicks(QApplication::focusWidget(), "8:00 - 09:00");
    QCOMPARE(day.FillValue(), std::string("2023-03-30 - 2023-04-02"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);

    form.Document().Filler().SetFixedSeed(3);
    QTest::mouseClick(form.siFillUp, Qt::LeftButton);
    QCOMPARE(answers.errors, QStringList());
    const auto days = database.Query("SELECT day, COUNT(*) FROM visits GROUP BY day ORDER BY day");
    const std::vector<std::vector<std::string>> counts{
        {"2023-03-30"}, {"2023-03-31"}, {"2023-04-01"}, {"2023-04-02"}};
    QCOMPARE(days.size(), counts.size());
    for (std::size_t i = 0; i < days.size(); ++i) {
        QCOMPARE(days[i][0], counts[i][0]);
    }
}

}  // namespace rowsmith::test

QTEST_MAIN(rowsmith::test::DlgDateRangeTest)
#include "dlg_date_range_test.moc"
