// StatusProgress: the progress bar's range, also past the bar's int limit, and the busy cursor.
#include <QGuiApplication>
#include <QProgressBar>
#include <QTest>
#include <limits>

#include "main/status_panel.h"
#include "main/status_progress.h"
#include "ui_test_support.h"

namespace rowsmith::test {

class StatusProgressTest : public QObject {
    Q_OBJECT

private slots:
    void progressShowsThePart_data();
    void progressShowsThePart();
    void writingShowsTheBarUntilTheTableFinishes();
    void busyCursorIsRestored();
};

void StatusProgressTest::progressShowsThePart_data() {
    constexpr qint64 kIntMax = std::numeric_limits<int>::max();
    QTest::addColumn<qint64>("maximum");
    QTest::addColumn<qint64>("position");
    QTest::addColumn<double>("part");
    QTest::newRow("start") << qint64(100) << qint64(0) << 0.0;
    QTest::newRow("on the way") << qint64(100) << qint64(30) << 0.3;
    QTest::newRow("end") << qint64(100) << qint64(100) << 1.0;
    QTest::newRow("past the end") << qint64(100) << qint64(150) << 1.0;
    QTest::newRow("largest int range") << kIntMax << kIntMax / 2 << 0.5;
    QTest::newRow("beyond the int range") << qint64(5'000'000'000) << qint64(2'500'000'000) << 0.5;
    QTest::newRow("beyond the int range, end") << kIntMax + 1 << kIntMax + 1 << 1.0;
}

void StatusProgressTest::progressShowsThePart() {
    QFETCH(qint64, maximum);
    QFETCH(qint64, position);
    QFETCH(double, part);
    TStatusPanel panel;
    StatusProgress progress(panel);
    progress.WritingStarted(maximum);
    progress.RecordsWritten(position);
    const QProgressBar& bar = *panel.ProgressBar();
    QCOMPARE(bar.minimum(), 0);
    QVERIFY(bar.maximum() > 0);
    QVERIFY(qAbs(double(bar.value()) / bar.maximum() - part) < 1e-6);
}

void StatusProgressTest::writingShowsTheBarUntilTheTableFinishes() {
    TStatusPanel panel;
    StatusProgress progress(panel);
    progress.TableStarted("orders", TableWork::Fill);
    QCOMPARE(panel.Caption(), QString("orders"));
    QVERIFY(panel.ProgressBar()->isHidden());
    progress.WritingStarted(10);
    QVERIFY(!panel.ProgressBar()->isHidden());
    for (int written = 1; written <= 4; ++written) {
        progress.RecordsWritten(written);
    }
    QCOMPARE(panel.ProgressBar()->value(), 4);
    progress.TableFinished(true);
    QVERIFY(panel.ProgressBar()->isHidden());

    // An empty table's fill: range 0, nothing written; the next table starts from 0.
    progress.TableStarted("items", TableWork::Fill);
    progress.WritingStarted(0);
    QCOMPARE(panel.ProgressBar()->maximum(), 0);
    QCOMPARE(panel.ProgressBar()->value(), 0);
    progress.TableFinished(false);
    QVERIFY(panel.ProgressBar()->isHidden());
}

void StatusProgressTest::busyCursorIsRestored() {
    TStatusPanel panel;
    {
        StatusProgress progress(panel);
        progress.TableStarted("t", TableWork::Fill);
        progress.WritingStarted(5);
        QVERIFY(QGuiApplication::overrideCursor() != nullptr);
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        // Writing started twice holds one cursor, which the table's finish gives back.
        progress.WritingStarted(5);
        progress.TableFinished(true);
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);

        progress.WritingStarted(5);
    }
    // A listener that goes away while busy restores the cursor.
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);
}

}  // namespace rowsmith::test

ROWSMITH_UI_TEST_MAIN(StatusProgressTest)

#include "status_progress_test.moc"
