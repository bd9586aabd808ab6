// RunModal: the one way the program shows a modal dialog. Message boxes, file dialogs, the login
// and every dialog of its own go through it, so that a test answers any of them the same way: with
// an answer installed, the dialog is handed to it, set up but not shown, and the dialog's result
// is what the answer returns. Without one, the dialog runs as usual.
#pragma once

#include <functional>

class QDialog;

namespace rowsmith {

// Plays the user's part in a dialog (reading it, setting its controls) and gives its result,
// QDialog::Accepted, QDialog::Rejected or a button code.
using ModalAnswer = std::function<int(QDialog& dialog)>;

// Shows `dialog` modally, sized to fit the screen it opens on, and gives its result.
int RunModal(QDialog& dialog);

// Installs the answer of every following modal dialog; an empty answer gives the real dialogs.
void SetModalAnswer(ModalAnswer answer);

}  // namespace rowsmith
