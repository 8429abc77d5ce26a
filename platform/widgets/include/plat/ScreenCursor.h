#pragma once
// The screen cursor of the whole application: one setting, not a stack.
// Setting the hourglass twice and the default once gives the default back,
// as the windows expect when they set and reset it around an operation.
namespace plat {

enum class ScreenCursor {
    Default,
    Hourglass, // busy: input is not taken
    AppStart,  // the arrow with the hourglass, while the program starts
};

void SetScreenCursor(ScreenCursor cursor);
ScreenCursor CurrentScreenCursor();

// Sets a cursor for a scope and puts the default back at its end.
class ScopedScreenCursor {
public:
    explicit ScopedScreenCursor(ScreenCursor cursor = ScreenCursor::Hourglass) { SetScreenCursor(cursor); }
    ~ScopedScreenCursor() { SetScreenCursor(ScreenCursor::Default); }
    ScopedScreenCursor(const ScopedScreenCursor&) = delete;
    ScopedScreenCursor& operator=(const ScopedScreenCursor&) = delete;
};

} // namespace plat
