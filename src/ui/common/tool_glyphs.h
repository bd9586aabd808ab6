// The small pictures of the tool-bar buttons and the dialogs' picture buttons, drawn by the program
// itself, and the application icon. New and Show Data carry a picture of their own for the
// disabled look; the other buttons take the style's greyed rendering.
#pragma once

#include <QIcon>

namespace rowsmith {

QIcon NewScenarioGlyph();
QIcon OpenScenarioGlyph();
QIcon SaveScenarioGlyph();
QIcon FillUpGlyph();
QIcon ShowDataGlyph();
// The move buttons of the scenario editor.
QIcon MoveUpGlyph();
QIcon MoveDownGlyph();
// The icon of the window, the About box and the desktop entry.
QIcon ApplicationIcon();

}  // namespace rowsmith
