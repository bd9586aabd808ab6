// The login dialog: what it shows, its limits, and what OK and Cancel hand back.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "dialogs/dlg_login.h"
#include "ui_test_support.h"

namespace rowsmith::test {

namespace {

// Answers the login dialog: types the password and accepts, or cancels.
void AnswerLogin(ModalAnswers& answers, const QString& password, bool accept, QString* shownAlias,
                 QString* shownRefusal = nullptr) {
    answers.answerDialog = [=](QDialog& dialog) {
        auto& login = dynamic_cast<TdlgLogin&>(dialog);
        *shownAlias = login.lblDatabaseName->text();
        if (shownRefusal != nullptr) {
            *shownRefusal = login.lblRefused->isVisibleTo(&login) ? login.lblRefused->text() : "";
        }
        QTest::keyClicks(login.edPassword, password);
        return accept ? QDialog::Accepted : QDialog::Rejected;
    };
}

}  // namespace

class DlgLoginTest : public QObject {
    Q_OBJECT

private slots:
    void fieldsAreLimitedAndThePasswordMasked();
    void okHandsBackUserAndPassword();
    void cancelHandsBackNothing();
    void aRefusedPasswordIsSaidToBeRefused();
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
    ModalAnswers answers;
    QString shownAlias;
    AnswerLogin(answers, "s3cret", true, &shownAlias);
    std::string user = "scott";
    std::string password;
    QVERIFY(TdlgLogin::Execute({"Sales", "no password supplied", false}, user, password));
    QCOMPARE(shownAlias, QString("Sales"));
    QCOMPARE(QString::fromStdString(user), QString("scott"));
    QCOMPARE(QString::fromStdString(password), QString("s3cret"));
}

void DlgLoginTest::cancelHandsBackNothing() {
    ModalAnswers answers;
    QString shownAlias;
    AnswerLogin(answers, "typed", false, &shownAlias);
    std::string user = "scott";
    std::string password;
    QVERIFY(!TdlgLogin::Execute({"Sales", "no password supplied", false}, user, password));
    QCOMPARE(QString::fromStdString(password), QString());
}

void DlgLoginTest::aRefusedPasswordIsSaidToBeRefused() {
    ModalAnswers answers;
    QString shownAlias;
    QString shownRefusal = "not read";
    AnswerLogin(answers, "s3cret", true, &shownAlias, &shownRefusal);
    std::string user = "scott";
    std::string password;
    QVERIFY(TdlgLogin::Execute({"Sales", "no password supplied", false}, user, password));
    QCOMPARE(shownRefusal, QString());

    QVERIFY(TdlgLogin::Execute(
        {"Sales", "password authentication failed for user \"scott\"\n", true}, user, password));
    QCOMPARE(shownRefusal, QString("The password was refused: password authentication failed for "
                                   "user \"scott\""));
}

}  // namespace rowsmith::test

ROWSMITH_UI_TEST_MAIN(DlgLoginTest)

#include "dlg_login_test.moc"
