// FitToScreen: keeps a window that is about to open within the screen it opens on, so that none of
// its edges or buttons lies off the screen at a large scale or on a small screen.
#pragma once

class QWidget;

namespace rowsmith {

// Shrinks `window` (its size as set, or the size it would take) to the room the screen it opens on
// leaves for it, its frame included; a window that fits keeps its size. Its parent's screen is
// that screen, else the one under the mouse pointer.
void FitToScreen(QWidget& window);

}  // namespace rowsmith
