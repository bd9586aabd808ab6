// The help viewer and the help pages: a missing help file is reported, every page has a title and
// its links lead to pages that exist, every fill method has its row in the methods page, and Help
// Contents looks for the help beside the program.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QTextBrowser>

#include "dialogs/help_viewer.h"
#include "fill/generators/fill_method_registry.h"
#include "ui_test_support.h"

namespace rowsmith::test {

namespace {

const QDir kHelpDir(ROWSMITH_HELP_SOURCE_DIR);

QStringList LocalLinks(const QString& page) {
    QFile file(kHelpDir.filePath(page));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QString html = QString::fromUtf8(file.readAll());
    QStringList links;
    static const QRegularExpression href(R"(href="([^"#]+)(#[^"]*)?")");
    for (const auto& match : href.globalMatch(html)) {
        if (!match.captured(1).contains(u':')) {
            links << match.captured(1);
        }
    }
    return links;
}

}  // namespace

class HelpViewerTest : public QObject {
    Q_OBJECT

private slots:
    void missingHelpFileIsReported();
    void pages_data();
    void pages();
    void contentsReachesEveryPage();
    void everyFillMethodHasItsRow();
    void contentsCommandLooksBesideTheProgram();
};

void HelpViewerTest::missingHelpFileIsReported() {
    THelpViewer viewer;
    viewer.ShowHelpFile("/nowhere/Rowsmith.html");
    QVERIFY2(viewer.Browser()->toPlainText().contains(
                 "Cannot find the help file /nowhere/Rowsmith.html."),
             qPrintable(viewer.Browser()->toPlainText()));
}

void HelpViewerTest::pages_data() {
    QTest::addColumn<QString>("page");
    const QStringList pages = kHelpDir.entryList({"*.html"}, QDir::Files);
    QVERIFY(pages.contains("Rowsmith.html"));
    for (const QString& page : pages) {
        QTest::newRow(qPrintable(page)) << page;
    }
}

void HelpViewerTest::pages() {
    QFETCH(QString, page);
    THelpViewer viewer;
    viewer.ShowHelpFile(kHelpDir.filePath(page));
    QVERIFY(!viewer.Browser()->documentTitle().isEmpty());
    for (const QString& link : LocalLinks(page)) {
        QVERIFY2(kHelpDir.exists(link), qPrintable(page + " links to missing " + link));
    }
}

void HelpViewerTest::contentsReachesEveryPage() {
    QSet<QString> reached{"Rowsmith.html"};
    QStringList toVisit{"Rowsmith.html"};
    while (!toVisit.isEmpty()) {
        for (const QString& link : LocalLinks(toVisit.takeFirst())) {
            if (!reached.contains(link)) {
                reached.insert(link);
                toVisit << link;
            }
        }
    }
    for (const QString& page : kHelpDir.entryList({"*.html"}, QDir::Files)) {
        QVERIFY2(reached.contains(page), qPrintable(page + " cannot be reached"));
    }
}

void HelpViewerTest::everyFillMethodHasItsRow() {
    QFile file(kHelpDir.filePath("fill_methods.html"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(file.readAll());
    for (const FillMethodEntry& method : FillMethods()) {
        QVERIFY2(html.contains(QString("<tr><td>%1</td>").arg(method.caption)), method.caption);
    }
}

void HelpViewerTest::contentsCommandLooksBesideTheProgram() {
    TMainForm form;
    form.Contents1->trigger();
    QVERIFY(form.HelpViewer() != nullptr);
    QVERIFY(form.HelpViewer()->isVisible());
    const QString helpFile =
        QDir(QCoreApplication::applicationDirPath()).filePath("help/Rowsmith.html");
    if (QFile::exists(helpFile)) {
        QCOMPARE(form.HelpViewer()->Browser()->documentTitle(), QString("Rowsmith Help"));
    } else {
        QVERIFY(form.HelpViewer()->Browser()->toPlainText().contains(helpFile));
    }
}

}  // namespace rowsmith::test

ROWSMITH_UI_TEST_MAIN(HelpViewerTest)

#include "help_viewer_test.moc"
