// TFileDialog: the default extension, Cancel, and the filter in Qt's form.
#include <QTest>

#include "main/file_dialog.h"
#include "ui_test_support.h"

namespace rowsmith::test {

class FileDialogTest : public QObject {
    Q_OBJECT

private slots:
    void chosenName_data();
    void chosenName();
    void cancelKeepsTheFormerName();
    void qtFilter_data();
    void qtFilter();
};

void FileDialogTest::chosenName_data() {
    QTest::addColumn<bool>("save");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("fileName");
    QTest::newRow("save without extension") << true << "/data/plan"
                                            << "/data/plan.scn";
    QTest::newRow("save with the extension") << true << "/data/plan.scn"
                                             << "/data/plan.scn";
    QTest::newRow("save with another extension") << true << "/data/plan.txt"
                                                 << "/data/plan.txt";
    QTest::newRow("save, point in the folder only") << true << "/data.old/plan"
                                                    << "/data.old/plan.scn";
    QTest::newRow("save, name ending in a point") << true << "/data/plan."
                                                  << "/data/plan.";
    QTest::newRow("open without extension") << false << "/data/plan"
                                            << "/data/plan";
}

void FileDialogTest::chosenName() {
    QFETCH(bool, save);
    QFETCH(QString, typed);
    QFETCH(QString, fileName);
    ModalAnswers answers;
    answers.chosenFile = typed;
    const auto kind = save ? TFileDialog::Kind::Save : TFileDialog::Kind::Open;
    TFileDialog dialog(kind, "Rowsmith Scenario|*.scn", save ? "scn" : "");
    QVERIFY(dialog.Execute(nullptr));
    QCOMPARE(dialog.FileName(), fileName);
    QCOMPARE(answers.fileDialogs, QList<TFileDialog::Kind>({kind}));
}

void FileDialogTest::cancelKeepsTheFormerName() {
    ModalAnswers answers;
    TFileDialog dialog(TFileDialog::Kind::Save, "Rowsmith Scenario|*.scn", "scn");
    answers.chosenFile = "/data/first.scn";
    QVERIFY(dialog.Execute(nullptr));
    answers.chosenFile.reset();
    QVERIFY(!dialog.Execute(nullptr));
    QCOMPARE(dialog.FileName(), QString("/data/first.scn"));
}

void FileDialogTest::qtFilter_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("qtFilter");
    QTest::newRow("scenario") << "Rowsmith Scenario|*.scn"
                              << "Rowsmith Scenario (*.scn)";
    QTest::newRow("two filters, two patterns") << "Text|*.txt;*.csv|All files|*"
                                               << "Text (*.txt *.csv);;All files (*)";
}

void FileDialogTest::qtFilter() {
    QFETCH(QString, filter);
    QFETCH(QString, qtFilter);
    QCOMPARE(TFileDialog(TFileDialog::Kind::Open, filter).QtFilter(), qtFilter);
}

}  // namespace rowsmith::test

ROWSMITH_UI_TEST_MAIN(FileDialogTest)

#include "file_dialog_test.moc"
