#include "launcher/KeyFilter.h"

#include <gtest/gtest.h>

namespace launcher {
namespace {

struct KeyCase {
    Key key;
    Modifiers modifiers;
    KeyAction expected;
};

class KeyFilterTest : public testing::TestWithParam<KeyCase> {};

TEST_P(KeyFilterTest, DecidesAtWindowLevel) {
    const KeyCase& c = GetParam();
    EXPECT_EQ(FilterKeyDown(c.key, c.modifiers), c.expected);
}

constexpr Modifiers kNone{};
constexpr Modifiers kCtrl{true, false, false};
constexpr Modifiers kShift{false, true, false};
constexpr Modifiers kAlt{false, false, true};
constexpr Modifiers kCtrlShift{true, true, false};
constexpr Modifiers kShiftAlt{false, true, true};

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyFilterTest,
    testing::Values(KeyCase{Key::Escape, kNone, KeyAction::Close}, KeyCase{Key::Escape, kCtrl, KeyAction::PassOn},
                    KeyCase{Key::Escape, kShift, KeyAction::PassOn}, KeyCase{Key::Escape, kAlt, KeyAction::PassOn},
                    KeyCase{Key::Tab, kNone, KeyAction::FocusNext}, KeyCase{Key::Tab, kShift, KeyAction::FocusPrevious},
                    KeyCase{Key::Tab, kCtrl, KeyAction::PassOn}, KeyCase{Key::Tab, kAlt, KeyAction::PassOn},
                    KeyCase{Key::Tab, kCtrlShift, KeyAction::PassOn}, KeyCase{Key::Tab, kShiftAlt, KeyAction::PassOn},
                    KeyCase{Key::Other, kNone, KeyAction::PassOn}, KeyCase{Key::Other, kShift, KeyAction::PassOn}));

}  // namespace
}  // namespace launcher
