// The message boxes of the program: the yes/no question, the OK/Cancel confirmation, the
// information box and the error box. All run through RunModal.
#pragma once

#include <QString>
#include <string>

namespace rowsmith {

// A modal question with the given text, an empty title, Yes and No and the question-mark icon.
// True when the user answered Yes.
bool AskYesNo(const QString& text);

// A modal confirmation with the given text, an empty title, OK and Cancel and the question-mark
// icon. True when the user answered OK.
bool AskOkCancel(const QString& text);

// The modal information box: the text as given, the application title as caption, the
// information icon and one OK button.
void ShowInformation(const QString& text);

// The modal error box: the text as given, the application title as caption, the stop icon and
// one OK button.
void ShowErrorBox(const QString& text);

// Shows an error's message as the application's handler does: in the error box, with the
// trailing-point rule applied.
void ShowErrorMessage(const std::string& message);

}  // namespace rowsmith
