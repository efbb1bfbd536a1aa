#pragma once
// The window-level keys, decided before a key reaches the focused control.

namespace launcher {

enum class Key { Escape, Tab, Other };

struct Modifiers {
    bool ctrl = false;
    bool shift = false;
    bool alt = false;
};

enum class KeyAction {
    PassOn,         // deliver the key to the focused control
    Close,          // close the window, as its close button does
    FocusNext,      // move the focus forward in tab order; the key goes no further
    FocusPrevious,  // move the focus backward in tab order; the key goes no further
};

// Decides what a key-down does at window level.
KeyAction FilterKeyDown(Key key, Modifiers modifiers);

}  // namespace launcher
