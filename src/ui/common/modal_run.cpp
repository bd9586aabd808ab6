#include "common/modal_run.h"

#include <QDialog>
#include <utility>

#include "common/fit_to_screen.h"

namespace rowsmith {

namespace {

ModalAnswer& InstalledAnswer() {
    static ModalAnswer answer;
    return answer;
}

}  // namespace

int RunModal(QDialog& dialog) {
    FitToScreen(dialog);
    if (const ModalAnswer& answer = InstalledAnswer()) {
        return answer(dialog);
    }
    return dialog.exec();
}

void SetModalAnswer(ModalAnswer answer) {
    InstalledAnswer() = std::move(answer);
}

}  // namespace rowsmith
