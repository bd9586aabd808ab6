// rowsmith: the desktop program. Sets up the application, shows the main window and runs the
// event loop until the main window closes.
#include "main/application.h"
#include "main/main_form.h"
#include "text/conversions.h"

int main(int argc, char** argv) {
    rowsmith::TApplication application(argc, argv);
    rowsmith::InitDecimalSeparatorFromLocale();
    rowsmith::TMainForm mainForm;
    mainForm.show();
    return application.exec();
}
