// The application's error handler and the real modal boxes.
#include <QMessageBox>
#include <QTest>
#include <QToolButton>
#include <stdexcept>

#include "common/message_boxes.h"
#include "common/modal_run.h"
#include "text/errors.h"
#include "ui_test_support.h"

namespace rowsmith::test {

namespace {

enum ErrorKind { kException, kStdException, kAbort };

// What a modal message box showed, read while it is open, before it is answered with `answer`.
struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    Qt::TextFormat format = Qt::AutoText;
};

// Answers the next message boxes with `answer`, noting what they showed.
void AnswerBoxes(SeenBox& seen, QMessageBox::StandardButton answer) {
    SetModalAnswer([&seen, answer](QDialog& dialog) {
        auto& box = dynamic_cast<QMessageBox&>(dialog);
        seen = {box.windowTitle(), box.text(), box.icon(), box.standardButtons(), box.textFormat()};
        return int(answer);
    });
}

}  // namespace

class ApplicationTest : public QObject {
    Q_OBJECT

private slots:
    void errorInHandlerReachesTheBox_data();
    void errorInHandlerReachesTheBox();
    void errorBoxLooks();
    void questionBoxLooks();
    void windowsShowTheProgramIcon();
};

void ApplicationTest::errorInHandlerReachesTheBox_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("point added") << int(kException) << "Cannot create file /x/a.scn"
                                 << QStringList("Cannot create file /x/a.scn.");
    QTest::newRow("ends in a quotation mark")
        << int(kException) << "Wrong fill value. Table: \"T\". Field: \"F\""
        << QStringList("Wrong fill value. Table: \"T\". Field: \"F\"");
    QTest::newRow("ends in a point")
        << int(kException) << "Stream write error." << QStringList("Stream write error.");
    QTest::newRow("ends in a bracket") << int(kException) << "List index out of bounds (3)"
                                       << QStringList("List index out of bounds (3)");
    QTest::newRow("empty message") << int(kException) << "" << QStringList("");
    QTest::newRow("standard library error") << int(kStdException) << "boom" << QStringList("boom.");
    QTest::newRow("silent abort") << int(kAbort) << "" << QStringList();
}

void ApplicationTest::errorInHandlerReachesTheBox() {
    QFETCH(int, kind);
    QFETCH(QString, message);
    QFETCH(QStringList, shown);
    ModalAnswers answers;
    RecordingForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.Document().SetFileName("noname");
    form.UpdateCommands();
    form.fillUpAction = [kind, text = message.toStdString()] {
        switch (kind) {
            case kException:
                throw Exception(text);
            case kStdException:
                throw std::runtime_error(text);
            default:
                throw EAbort();
        }
    };

    QTest::mouseClick(form.siFillUp, Qt::LeftButton);
    QCOMPARE(answers.errors, shown);

    // The command ended; the window goes on working.
    form.fillUpAction = nullptr;
    QTest::mouseClick(form.siFillUp, Qt::LeftButton);
    QCOMPARE(form.calls, QStringList({"FillUp", "FillUp"}));
}

void ApplicationTest::errorBoxLooks() {
    SeenBox seen;
    AnswerBoxes(seen, QMessageBox::Ok);
    ShowErrorBox("Cannot open <table>.");
    SetModalAnswer({});
    QCOMPARE(seen.title, QString("Rowsmith"));
    QCOMPARE(seen.text, QString("Cannot open <table>."));
    // Names in messages are never read as markup.
    QCOMPARE(seen.format, Qt::PlainText);
    QCOMPARE(seen.icon, QMessageBox::Critical);
    QCOMPARE(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}

void ApplicationTest::questionBoxLooks() {
    SeenBox seen;
    AnswerBoxes(seen, QMessageBox::No);
    QVERIFY(!AskYesNo("Scenario was changed. Save changes?"));
    QCOMPARE(seen.title, QString());
    QCOMPARE(seen.icon, QMessageBox::Question);
    QCOMPARE(seen.buttons, QMessageBox::Yes | QMessageBox::No);

    AnswerBoxes(seen, QMessageBox::Yes);
    QVERIFY(AskYesNo("Scenario was changed. Save changes?"));
    SetModalAnswer({});
}

// The icon is the program's own picture in every theme size, from the title bar to the About box;
// without the compiled-in pictures it would be empty and the desktop would show a blank.
void ApplicationTest::windowsShowTheProgramIcon() {
    const QList<QSize> sizes = QApplication::windowIcon().availableSizes();
    for (int side : {16, 22, 24, 32, 48, 64, 128, 256}) {
        QVERIFY2(sizes.contains(QSize(side, side)), qPrintable(QString::number(side)));
    }
    TMainForm form;
    QCOMPARE(form.windowIcon().availableSizes(), sizes);
}

}  // namespace rowsmith::test

ROWSMITH_UI_TEST_MAIN(ApplicationTest)

#include "application_test.moc"
