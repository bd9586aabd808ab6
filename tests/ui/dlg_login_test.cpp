// The login dialog: what it shows, its limits, and what OK and Cancel hand back.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include "dialogs/dlg_login.h"
#include "ui_test_support.h"

namespace rowsmith::test {

namespace {

// Answers the next modal login dialog: types the password and accepts, or cancels.
void AnswerLogin(const QString& password, bool accept, QString* shownAlias) {
    QTimer::singleShot(0, [=] {
        auto* dialog = qobject_cast<TdlgLogin*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        *shownAlias = dialog->lblDatabaseName->text();
        QTest::keyClicks(dialog->edPassword, password);
        accept ? dialog->accept() : dialog->reject();
    });
}

}  // namespace

class DlgLoginTest : public QObject {
    Q_OBJECT

  private slots:
    void fieldsAreLimitedAndThePasswordMasked();
    void okHandsBackUserAndPassword();
    void cancelHandsBackNothing();
};

void DlgLoginTest::fieldsAreLimitedAndThePasswordMasked() {
    TdlgLogin dialog;
    QCOMPARE(dialog.windowTitle(), QString("Database Login"));
    QCOMPARE(dialog.edPassword->echoMode(), QLineEdit::Password);
    QTest::keyClicks(dialog.edUserName, QString(40, 'u'));
    QTest::keyClicks(dialog.edPassword, QString(40, 'p'));
    QCOMPARE(dialog.edUserName->text().size(), 31);
    QCOMPARE(dialog.edPassword->text().size(), 31);
}

void DlgLoginTest::okHandsBackUserAndPassword() {
    QString shownAlias;
    AnswerLogin("s3cret", true, &shownAlias);
    std::string user = "scott";
    std::string password;
    QVERIFY(TdlgLogin::Execute("Sales", user, password));
    QCOMPARE(shownAlias, QString("Sales"));
    QCOMPARE(QString::fromStdString(user), QString("scott"));
    QCOMPARE(QString::fromStdString(password), QString("s3cret"));
}

void DlgLoginTest::cancelHandsBackNothing() {
    QString shownAlias;
    AnswerLogin("typed", false, &shownAlias);
    std::string user = "scott";
    std::string password;
    QVERIFY(!TdlgLogin::Execute("Sales", user, password));
    QCOMPARE(QString::fromStdString(password), QString());
}

int RunDlgLoginTests(int argc, char** argv) {
    DlgLoginTest test;
    return QTest::qExec(&test, argc, argv);
}

}  // namespace rowsmith::test

#include "dlg_login_test.moc"
