#pragma once
// Real mouse input, as a user's hand would give it, through SendInput.

#include <windows.h>

namespace bench {

// Moves the pointer to a screen position and waits until it is there.
void MoveCursorTo(POINT screen);
void LeftDown();
void LeftUp();

}  // namespace bench
