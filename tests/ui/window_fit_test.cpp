// Sizes that fit the text and the screen, run at 100 % and at 200 % (QT_SCALE_FACTOR=2) on a
// 1280x900 screen: method captions readable in full, the table fill method box as wide as its
// longest caption, every dialog and the help window within the screen, and the main window
// opening with its three grid columns unclipped, where it was left the time before.
#include <QComboBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QStyle>

#include "common/modal_run.h"
#include "dialogs/about_box.h"
#include "dialogs/dlg_check.h"
#include "dialogs/dlg_date_range.h"
#include "dialogs/dlg_draft.h"
#include "dialogs/dlg_edit_scen.h"
#include "dialogs/dlg_edit_values2.h"
#include "dialogs/dlg_edit_values7.h"
#include "dialogs/dlg_library_picker.h"
#include "dialogs/dlg_login.h"
#include "dialogs/dlg_pattern_editor.h"
#include "dialogs/dlg_show_data.h"
#include "dialogs/help_viewer.h"
#include "fill/generators/fill_method_registry.h"
#include "main/field_grid.h"
#include "main/status_panel.h"
#include "model/fill_methods.h"
#include "test_database.h"
#include "ui_test_support.h"

namespace rowsmith::test {

class WindowFitTest : public QObject {
    Q_OBJECT

private slots:
    void methodCaptionsCanBeReadInFull();
    void tableFillMethodFitsItsLongestCaption_data();
    void tableFillMethodFitsItsLongestCaption();
    void dialogsFitTheScreen();
    void mainWindowShowsAllColumnsAndKeepsItsPlace();

private:
    static QRect Room() { return QGuiApplication::primaryScreen()->availableGeometry(); }
    static bool Fits(const QWidget& window) {
        return window.width() <= Room().width() && window.height() <= Room().height();
    }
};

void WindowFitTest::methodCaptionsCanBeReadInFull() {
    TestDatabase database(TestEngine::SQLite);
    database.Execute("CREATE TABLE t (a INTEGER, b VARCHAR(10))");
    TMainForm form;
    ShowAndWait(form);
    form.Document().New(database.Alias(), {"t"});
    form.ShowScenario();
    const QFontMetrics metrics(form.sgFields->font());
    const int margins = 2 * (form.sgFields->style()->pixelMetric(QStyle::PM_FocusFrameHMargin,
                                                                 nullptr, form.sgFields) +
                             1);
    for (const FillMethodEntry& method : FillMethods()) {
        QVERIFY2(metrics.horizontalAdvance(method.caption) + margins <=
                     form.sgFields->columnWidth(colFillMethod),
                 method.caption);
    }
    // A caption is also the cell's tool tip and what a screen reader reads of it.
    form.FieldModel().setData(form.FieldModel().index(1, colFillMethod), fmRandomInteger);
    const QModelIndex cell = form.FieldModel().index(1, colFillMethod);
    QCOMPARE(cell.data(Qt::ToolTipRole).toString(), QString("Integer random value from range"));
    QCOMPARE(cell.data(Qt::AccessibleTextRole).toString(),
             QString("Integer random value from range"));
    QVERIFY(!form.FieldModel().index(1, colValues).data(Qt::ToolTipRole).isValid());
    form.Document().SetModified(false);
}

void WindowFitTest::tableFillMethodFitsItsLongestCaption_data() {
    QTest::addColumn<int>("points");
    QTest::newRow("desktop font") << 0;
    QTest::newRow("12 point") << 12;
}

void WindowFitTest::tableFillMethodFitsItsLongestCaption() {
    QFETCH(int, points);
    const QFont desktop = QApplication::font();
    if (points > 0) {
        QFont large = desktop;
        large.setPointSize(points);
        QApplication::setFont(large);
    }
    {
        TMainForm form;
        ShowAndWait(form);
        form.pnlMain->show();
        QCoreApplication::processEvents();
        QComboBox& box = *form.cbTblFillMethod;
        QCOMPARE(box.itemText(tfEmptyAndFill), QString("Emty table and fill"));
        // The box's own measure of the room its longest item takes.
        QVERIFY2(box.width() >= box.sizeHint().width(),
                 qPrintable(QString("%1 < %2").arg(box.width()).arg(box.sizeHint().width())));
        QVERIFY(box.width() >= 145);
    }
    QApplication::setFont(desktop);
}

void WindowFitTest::dialogsFitTheScreen() {
    TMainForm form;
    ShowAndWait(form);
    QStringList tooLarge;
    SetModalAnswer([&](QDialog& dialog) {
        if (!Fits(dialog)) {
            tooLarge << QString("%1 %2x%3")
                            .arg(dialog.windowTitle())
                            .arg(dialog.width())
                            .arg(dialog.height());
        }
        return int(QDialog::Rejected);
    });
    // A check list with long names and reasons wants more than the screen's width.
    TdlgCheck check(&form);
    const std::string longName(60, 'n');
    check.SetWarnings({{longName, longName, std::string(200, 'r')}});
    RunModal(check);
    TAboutBox about(&form);
    RunModal(about);
    TdlgEditScen scenario(&form);
    RunModal(scenario);
    TdlgEditValues2 values(&form);
    RunModal(values);
    TdlgShowData data(&form);
    RunModal(data);
    TdlgLogin login(&form);
    RunModal(login);
    TdlgEditValues7 master(&form);
    RunModal(master);
    TdlgDateRange dates(&form);
    RunModal(dates);
    TdlgDraft draft(&form);
    RunModal(draft);
    TdlgLibraryPicker libraries(LibraryFinder(), {}, &form);
    RunModal(libraries);
    const ValueSources noSources;
    TdlgPatternEditor pattern(noSources, "code", &form);
    pattern.SetPattern("{Name|lower|ascii}.{Other|lower|ascii}@{email-domains} ###-????.****");
    RunModal(pattern);
    SetModalAnswer({});
    QVERIFY2(tooLarge.isEmpty(), qPrintable(tooLarge.join(", ")));

    form.Contents1Click();
    QVERIFY(form.HelpViewer()->isVisible());
    QVERIFY2(
        Fits(*form.HelpViewer()),
        qPrintable(
            QString("%1x%2").arg(form.HelpViewer()->width()).arg(form.HelpViewer()->height())));
    form.HelpViewer()->close();
}

void WindowFitTest::mainWindowShowsAllColumnsAndKeepsItsPlace() {
    QRect left;
    {
        TMainForm form;
        ShowAndWait(form);
        form.pnlMain->show();
        QCoreApplication::processEvents();
        QVERIFY(Fits(form));
        const TFieldGrid& grid = *form.sgFields;
        // The last column takes the rest of the grid; at the opening size it is no narrower than
        // the design's.
        QCOMPARE(grid.columnWidth(colFieldName) + grid.columnWidth(colFillMethod) +
                     grid.columnWidth(colValues),
                 grid.viewport()->width());
        QVERIFY(grid.columnWidth(colValues) >= 198);
        // Moved down and right and made smaller: centred again, it would stand well off that place.
        form.setGeometry(form.geometry().adjusted(40, 30, 0, 0));
        QCoreApplication::processEvents();
        left = form.geometry();
        QVERIFY(form.close());
    }
    TMainForm again;
    ShowAndWait(again);
    QCOMPARE(again.size(), left.size());
    // The place is the window manager's to keep exactly; it comes back within the frame's size.
    QVERIFY2((again.geometry().topLeft() - left.topLeft()).manhattanLength() <= 16,
             qPrintable(QString("%1,%2 for %3,%4")
                            .arg(again.geometry().x())
                            .arg(again.geometry().y())
                            .arg(left.x())
                            .arg(left.y())));
}

}  // namespace rowsmith::test

ROWSMITH_UI_TEST_MAIN(WindowFitTest)
#include "window_fit_test.moc"
