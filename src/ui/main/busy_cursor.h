// TBusyCursor: shows the busy (hourglass) cursor over the whole application for as long as the
// guard lives, so that every way out of a long operation, errors included, restores the cursor.
#pragma once

namespace rowsmith {

class TBusyCursor {
public:
    TBusyCursor();
    ~TBusyCursor();

    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;
};

}  // namespace rowsmith
