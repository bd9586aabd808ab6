// The small pictures of the tool-bar buttons, the dialogs' picture buttons and the window icon,
// drawn by the program itself. New and Show Data carry a picture of their own for the disabled
// look; the other buttons take the style's greyed rendering.
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
QIcon ApplicationIcon();

}  // namespace rowsmith
