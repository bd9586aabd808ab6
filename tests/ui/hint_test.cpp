// Hint texts: the short and long parts.
#include <QLabel>
#include <QTest>

#include "common/hint_text.h"
#include "ui_test_support.h"

namespace rowsmith::test {

class HintTest : public QObject {
    Q_OBJECT

private slots:
    void parts_data();
    void parts();
};

void HintTest::parts_data() {
    QTest::addColumn<QString>("hint");
    QTest::addColumn<QString>("shortPart");
    QTest::addColumn<QString>("longPart");
    QTest::newRow("short only") << "New scenario|"
                                << "New scenario"
                                << "";
    QTest::newRow("no bar: both") << "Exit program"
                                  << "Exit program"
                                  << "Exit program";
    QTest::newRow("blank long part") << "Fill Up all tables in scenario| "
                                     << "Fill Up all tables in scenario"
                                     << " ";
    QTest::newRow("long only") << "|Shown below"
                               << ""
                               << "Shown below";
    QTest::newRow("empty") << ""
                           << ""
                           << "";
    QTest::newRow("first bar splits") << "a|b|c"
                                      << "a"
                                      << "b|c";
}

void HintTest::parts() {
    QFETCH(QString, hint);
    QFETCH(QString, shortPart);
    QFETCH(QString, longPart);
    QCOMPARE(ShortHint(hint), shortPart);
    QCOMPARE(LongHint(hint), longPart);

    QLabel control;
    SetHint(&control, hint);
    QCOMPARE(control.toolTip(), shortPart);
    QCOMPARE(control.statusTip(), longPart);
}

}  // namespace rowsmith::test

ROWSMITH_UI_TEST_MAIN(HintTest)

#include "hint_test.moc"
