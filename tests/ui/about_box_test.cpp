// The About box: the version this program file carries, the product line, the links opening their
// own captions through the desktop, and About in the Help menu showing the box. The test program is
// built with the version section, as rowsmith is.
#include <QDesktopServices>
#include <QGraphicsDropShadowEffect>
#include <QLabel>
#include <QPushButton>
#include <QUrl>

#include "dialogs/about_box.h"
#include "dialogs/link_label.h"
#include "ui_test_support.h"
#include "version/version_text.h"

namespace rowsmith::test {

// Stands in for the desktop's browser and mail program.
class UrlRecorder : public QObject {
    Q_OBJECT

public:
    QList<QUrl> opened;

public slots:
    void Open(const QUrl& url) { opened << url; }
};

class AboutBoxTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { LoadVersionInfo(); }
    void showsTheVersionOfTheProgramFile();
    void productLineAndLinks();
    void eachLinkOpensItsOwnCaption();
    void titleAndLinksTakeThePalettesColours();
    void aboutInTheHelpMenuShowsTheBox();
};

void AboutBoxTest::showsTheVersionOfTheProgramFile() {
    const QString expected =
        "Version " ROWSMITH_EXPECTED_VERSION " (Build " ROWSMITH_EXPECTED_BUILD ")";
    TAboutBox box;
    QCOMPARE(box.lblVersion->text(), expected);
    // The desktop program carries the same version as this test program.
    const VersionParts program = ReadVersionParts(ROWSMITH_PATH);
    QCOMPARE(
        QString("Version %1 (Build %2)")
            .arg(QString::fromStdString(program.version), QString::fromStdString(program.build)),
        expected);
}

void AboutBoxTest::productLineAndLinks() {
    TAboutBox box;
    QCOMPARE(box.windowTitle(), QString("About"));
    QCOMPARE(box.lblProduct->text(), QString("Rowsmith"));
    QVERIFY(box.lblProduct->font().bold());
    auto* shadow = qobject_cast<QGraphicsDropShadowEffect*>(box.lblProduct->graphicsEffect());
    QVERIFY(shadow != nullptr);
    QCOMPARE(shadow->offset(), QPointF(2, 2));
    QCOMPARE(box.lbWWW->text(), QString(ROWSMITH_HOMEPAGE));
    QVERIFY(QUrl(box.lbWWW->text()).scheme().startsWith("http"));
    QVERIFY(box.lbEMail->text().startsWith("mailto:"));
    QVERIFY(box.lbEMail->text().endsWith("example.org"));
    QVERIFY(!box.imgPicture->pixmap().isNull());
    for (QWidget* control :
         {static_cast<QWidget*>(box.lbWWW), static_cast<QWidget*>(box.lbEMail),
          static_cast<QWidget*>(box.btnOK), static_cast<QWidget*>(box.imgPicture)}) {
        QVERIFY2(!control->accessibleName().isEmpty(), qPrintable(control->objectName()));
    }
}

void AboutBoxTest::eachLinkOpensItsOwnCaption() {
    UrlRecorder desktop;
    for (const char* scheme : {"https", "mailto"}) {
        QDesktopServices::setUrlHandler(scheme, &desktop, "Open");
    }
    TAboutBox box;
    ShowAndWait(box);
    QTest::mouseClick(box.lbEMail, Qt::LeftButton);
    QTest::mouseClick(box.lbWWW, Qt::LeftButton);
    for (const char* scheme : {"https", "mailto"}) {
        QDesktopServices::unsetUrlHandler(scheme);
    }
    QCOMPARE(desktop.opened, QList<QUrl>({QUrl(box.lbEMail->text()), QUrl(box.lbWWW->text())}));
}

void AboutBoxTest::aboutInTheHelpMenuShowsTheBox() {
    TMainForm form;
    ModalAnswers answers;
    QString version;
    answers.answerDialog = [&](QDialog& dialog) {
        version = dynamic_cast<TAboutBox&>(dialog).lblVersion->text();
        return int(QDialog::Accepted);
    };
    Trigger(form.About1);
    QCOMPARE(answers.dialogs, QStringList("About"));
    QCOMPARE(version, "Version " + QString::fromStdString(VersionText()) + " (Build " +
                          QString::fromStdString(BuildText()) + ")");
    QVERIFY(answers.errors.isEmpty());
}

void AboutBoxTest::titleAndLinksTakeThePalettesColours() {
    // A dark palette of invented colours: the title is drawn in its highlight colour, the links
    // in its link colour, none in a fixed one.
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(30, 30, 30));
    dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
    dark.setColor(QPalette::Highlight, QColor(250, 180, 40));
    dark.setColor(QPalette::Link, QColor(120, 200, 250));
    TAboutBox box;
    box.setPalette(dark);
    const auto drawsIn = [](QWidget* control, const QColor& colour) {
        const QImage picture = control->grab().toImage();
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                if (picture.pixelColor(x, y) == colour) {
                    return true;
                }
            }
        }
        return false;
    };
    QVERIFY(drawsIn(box.lblProduct, dark.color(QPalette::Highlight)));
    QVERIFY(drawsIn(box.lbWWW, dark.color(QPalette::Link)));
    QVERIFY(drawsIn(box.lbEMail, dark.color(QPalette::Link)));
    QVERIFY(!drawsIn(box.lbWWW, QColor(Qt::blue)));
}

}  // namespace rowsmith::test

ROWSMITH_UI_TEST_MAIN(AboutBoxTest)
#include "about_box_test.moc"
