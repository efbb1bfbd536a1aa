#include "launcher/KeyFilter.h"

namespace launcher {

KeyAction FilterKeyDown(Key key, Modifiers modifiers) {
    const bool none = !modifiers.ctrl && !modifiers.shift && !modifiers.alt;
    switch (key) {
    case Key::Escape:
        return none ? KeyAction::Close : KeyAction::PassOn;
    case Key::Tab:
        if (none) return KeyAction::FocusNext;
        if (modifiers.shift && !modifiers.ctrl && !modifiers.alt) return KeyAction::FocusPrevious;
        return KeyAction::PassOn;
    case Key::Other:
        break;
    }
    return KeyAction::PassOn;
}

}  // namespace launcher
