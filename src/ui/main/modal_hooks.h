// The modal boxes of the main window, the question box and the error box, and TModalHooks, a test
// seam through which the UI tests answer modal boxes and file dialogs without a person. The hooks
// are empty in the program, and an empty hook means the real box or dialog.
#pragma once

#include <QString>
#include <functional>
#include <optional>

namespace rowsmith {

class TFileDialog;

struct TModalHooks {
    // Answers AskYesNo: true for Yes.
    std::function<bool(const QString& text)> askYesNo;
    // Receives the text that the error box would show.
    std::function<void(const QString& text)> showError;
    // Answers a file dialog: the chosen name, or nothing for Cancel.
    std::function<std::optional<QString>(const TFileDialog& dialog)> chooseFile;
};

TModalHooks& ModalHooks();

// A modal question with the given text, an empty title, Yes and No and the question-mark icon.
// True when the user answered Yes.
bool AskYesNo(const QString& text);

// The modal error box: the text as given, the application title as caption, the stop icon and
// one OK button.
void ShowErrorBox(const QString& text);

}  // namespace rowsmith
