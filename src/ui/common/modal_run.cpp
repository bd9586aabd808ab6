#include "common/modal_run.h"

#include <QDialog>
#include <utility>

namespace rowsmith {

namespace {

ModalAnswer& InstalledAnswer() {
    static ModalAnswer answer;
    return answer;
}

}  // namespace

int RunModal(QDialog& dialog) {
    if (const ModalAnswer& answer = InstalledAnswer()) {
        return answer(dialog);
    }
    return dialog.exec();
}

void SetModalAnswer(ModalAnswer answer) {
    InstalledAnswer() = std::move(answer);
}

}  // namespace rowsmith
