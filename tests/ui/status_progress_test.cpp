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
    void stepsCountFromThePosition();
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
    progress.SetProgressRange(maximum);
    progress.SetProgressPosition(position);
    const QProgressBar& bar = *panel.ProgressBar();
    QCOMPARE(bar.minimum(), 0);
    QVERIFY(bar.maximum() > 0);
    QVERIFY(qAbs(double(bar.value()) / bar.maximum() - part) < 1e-6);
}

void StatusProgressTest::stepsCountFromThePosition() {
    TStatusPanel panel;
    StatusProgress progress(panel);
    progress.SetProgressRange(10);
    progress.SetProgressPosition(0);
    for (int pass = 0; pass < 4; ++pass) {
        progress.StepProgress();
    }
    QCOMPARE(panel.ProgressBar()->value(), 4);

    // An empty table's fill: range 0, nothing to step.
    progress.SetProgressRange(0);
    progress.SetProgressPosition(0);
    QCOMPARE(panel.ProgressBar()->maximum(), 0);
    QCOMPARE(panel.ProgressBar()->value(), 0);
}

void StatusProgressTest::busyCursorIsRestored() {
    TStatusPanel panel;
    {
        StatusProgress progress(panel);
        progress.SetBusy(true);
        QVERIFY(QGuiApplication::overrideCursor() != nullptr);
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        // Asking twice holds one cursor, which one SetBusy(false) gives back.
        progress.SetBusy(true);
        progress.SetBusy(false);
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);

        progress.SetBusy(true);
    }
    // A listener that goes away while busy restores the cursor.
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);
}

}  // namespace rowsmith::test

ROWSMITH_UI_TEST_MAIN(StatusProgressTest)

#include "status_progress_test.moc"
