#pragma once
// Where the main window opens.

namespace launcher {

struct WindowPlacement {
    int x;
    int y;
    int width;
    int height;
};

// Centres a window of the given outer size on a screen of the given size.
// The halves truncate toward zero, so a window taller than the screen starts
// above it (800 x 480 gives y = -18, and so does a height of 479).
WindowPlacement CentredPlacement(int screenWidth, int screenHeight, int width, int height);

}  // namespace launcher
