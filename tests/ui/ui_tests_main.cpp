// Runs every UI test class inside the program's own application object, so that its error
// handler is the one under test.
#include "main/application.h"
#include "ui_test_support.h"

int main(int argc, char** argv) {
    rowsmith::TApplication application(argc, argv);
    // The tests close windows one after the other; that must not end the application.
    application.setQuitOnLastWindowClosed(false);
    using namespace rowsmith::test;
    int failed = 0;
    for (auto* run : {RunApplicationTests, RunDlgLoginTests, RunFileDialogTests, RunFillUpTests,
                      RunHelpViewerTests, RunHintTests, RunMainFormTests, RunStatusProgressTests}) {
        failed += run(argc, argv);
    }
    return failed == 0 ? 0 : 1;
}
