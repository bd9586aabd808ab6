// The message boxes of the program: the yes/no question and the error box. Both run through
// RunModal.
#pragma once

#include <QString>

namespace rowsmith {

// A modal question with the given text, an empty title, Yes and No and the question-mark icon.
// True when the user answered Yes.
bool AskYesNo(const QString& text);

// The modal error box: the text as given, the application title as caption, the stop icon and
// one OK button.
void ShowErrorBox(const QString& text);

}  // namespace rowsmith
