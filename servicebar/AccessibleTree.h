#pragma once
// What the bar tells assistive technology (screen readers): its headers and
// the items of the open folder as accessible children, each with the name,
// role, states and place the painting shows, and which notifications a change
// of them calls for.
//
// Children are numbered from 1 in the order the eye meets them: the headers
// down to the open folder's, that folder's items, then the remaining headers.
// Child 0 stands for the bar itself.

#include "servicebar/BarState.h"
#include "servicebar/Geometry.h"
#include "servicebar/Layout.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace servicebar {

constexpr int32_t kAccessibleSelf = 0;

enum class AccessibleRole { PushButton, ListItem };

struct AccessibleStates {
    bool expanded = false;    // a header: its folder is the open one
    bool collapsed = false;   // a header: any other folder
    bool selectable = false;  // an item
    bool selected = false;    // the item clicked last in the open folder
    bool hotTracked = false;  // drawn highlighted: under the pointer, or an item held pressed
    bool pressed = false;     // a header held pressed with the pointer over it
    bool unavailable = false; // an item while the folders slide: it does not answer clicks
    bool offscreen = false;   // an item scrolled out of the item area
};

bool operator==(const AccessibleStates& a, const AccessibleStates& b);
inline bool operator!=(const AccessibleStates& a, const AccessibleStates& b) { return !(a == b); }

struct AccessibleChild {
    Element element;           // a header (by folder) or an item of `folder` (by item)
    int32_t folder = -1;
    std::u16string_view name;  // the label, exactly as shown
    AccessibleRole role = AccessibleRole::PushButton;
    AccessibleStates states;
    Rect location;             // bar client coordinates; empty when not shown
    // What the default action does, as a verb to read out; empty when it does nothing now.
    std::u16string_view defaultAction;
};

// The verbs read out for the default actions.
constexpr std::u16string_view kOpenFolderAction = u"展开";
constexpr std::u16string_view kOpenItemAction = u"打开";

// The names point into the content of `state`, which lives as long as the bar.
std::vector<AccessibleChild> AccessibleChildren(const BarState& state);

// The child id of `element`, or kAccessibleSelf when it is no child.
int32_t AccessibleChildId(const std::vector<AccessibleChild>& children, Element element);
// The child at `id`, or nullptr.
const AccessibleChild* AccessibleChildAt(const std::vector<AccessibleChild>& children, int32_t id);
// What a point of the bar (client coordinates, inside the bar) hits, by the
// mouse's own hit test: a child id, or kAccessibleSelf for bare ground and
// the scroll arrows.
int32_t AccessibleHitTest(const BarState& state, const std::vector<AccessibleChild>& children, Point p);

// The default action of child `id`: exactly what a left click on it does.
// Nothing at all for an id that names no child or a child without an action.
Reaction DoAccessibleDefaultAction(BarState& state, int32_t id);

enum class AnnouncementKind {
    Reorder,      // the set of children changed (about the bar itself)
    StateChange,  // a child's states changed
    Selection,    // a child became the selected one
};

struct Announcement {
    AnnouncementKind kind = AnnouncementKind::StateChange;
    int32_t childId = kAccessibleSelf;
};

inline bool operator==(const Announcement& a, const Announcement& b) {
    return a.kind == b.kind && a.childId == b.childId;
}

// What to announce once the bar went from showing `before` to showing
// `after`, child ids as in `after`: a reorder first when the children are no
// longer the same, then, child by child, the selection and state changes of
// children that are in both. Nothing when nothing a reader sees changed.
std::vector<Announcement> AnnouncementsBetween(const std::vector<AccessibleChild>& before,
                                               const std::vector<AccessibleChild>& after);

}  // namespace servicebar
