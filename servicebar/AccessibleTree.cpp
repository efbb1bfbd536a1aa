#include "servicebar/AccessibleTree.h"

#include <algorithm>

namespace servicebar {

namespace {

AccessibleChild HeaderChild(const BarState& state, int32_t folder) {
    AccessibleChild child;
    child.element = HeaderElement(folder);
    child.folder = folder;
    child.name = state.Content()[static_cast<size_t>(folder)].label;
    child.role = AccessibleRole::PushButton;
    const bool open = folder == state.OpenFolder();
    child.states.expanded = open;
    child.states.collapsed = !open;
    const HeaderLook look = state.LookOfHeader(folder);
    child.states.hotTracked = look == HeaderLook::Hover;
    child.states.pressed = look == HeaderLook::Pressed;
    child.location = ElementRect(state.View(), child.element);
    // The open folder's header does nothing when clicked, unless a slide
    // away from it is under way: then a click brings it back.
    if (!open || state.Slide()) child.defaultAction = kOpenFolderAction;
    return child;
}

AccessibleChild ItemChild(const BarState& state, int32_t folder, int32_t item) {
    AccessibleChild child;
    child.element = ItemElement(item);
    child.folder = folder;
    child.name = state.Content()[static_cast<size_t>(folder)].items[static_cast<size_t>(item)].label;
    child.role = AccessibleRole::ListItem;
    const ItemLook look = state.LookOfItem(item);
    child.states.selectable = true;
    child.states.selected = state.SelectedItem() == item;
    // A held press draws the label in the hover colour too.
    child.states.hotTracked = look == ItemLook::Hover || look == ItemLook::Pressed;
    child.states.unavailable = !state.View().itemsLive;
    child.location = ElementRect(state.View(), child.element);
    child.states.offscreen = child.location.IsEmpty();
    if (state.ItemClickable(item)) child.defaultAction = kOpenItemAction;
    return child;
}

bool SameChild(const AccessibleChild& a, const AccessibleChild& b) {
    return a.element == b.element && a.folder == b.folder;
}

}  // namespace

bool operator==(const AccessibleStates& a, const AccessibleStates& b) {
    return a.expanded == b.expanded && a.collapsed == b.collapsed && a.selectable == b.selectable &&
           a.selected == b.selected && a.hotTracked == b.hotTracked && a.pressed == b.pressed &&
           a.unavailable == b.unavailable && a.offscreen == b.offscreen;
}

std::vector<AccessibleChild> AccessibleChildren(const BarState& state) {
    std::vector<AccessibleChild> children;
    const int32_t folders = static_cast<int32_t>(state.Content().size());
    // The folder whose items show: the open one, also while sliding away from it.
    const int32_t shown = state.View().itemFolder;
    for (int32_t folder = 0; folder < folders; ++folder) {
        children.push_back(HeaderChild(state, folder));
        if (folder != shown) continue;
        const int32_t items = static_cast<int32_t>(state.Content()[static_cast<size_t>(folder)].items.size());
        for (int32_t item = 0; item < items; ++item) children.push_back(ItemChild(state, folder, item));
    }
    return children;
}

int32_t AccessibleChildId(const std::vector<AccessibleChild>& children, Element element) {
    for (size_t i = 0; i < children.size(); ++i) {
        if (children[i].element == element) return static_cast<int32_t>(i) + 1;
    }
    return kAccessibleSelf;
}

const AccessibleChild* AccessibleChildAt(const std::vector<AccessibleChild>& children, int32_t id) {
    if (id < 1 || static_cast<size_t>(id) > children.size()) return nullptr;
    return &children[static_cast<size_t>(id) - 1];
}

int32_t AccessibleHitTest(const BarState& state, const std::vector<AccessibleChild>& children, Point p) {
    const Element hit = state.HitTest(p);
    if (hit.kind != ElementKind::Header && hit.kind != ElementKind::Item) return kAccessibleSelf;
    return AccessibleChildId(children, hit);
}

Reaction DoAccessibleDefaultAction(BarState& state, int32_t id) {
    const std::vector<AccessibleChild> children = AccessibleChildren(state);
    const AccessibleChild* child = AccessibleChildAt(children, id);
    if (!child || child->defaultAction.empty()) return Reaction{};
    if (child->element.kind == ElementKind::Header) return state.ActivateHeader(child->element.index);
    return state.ActivateItem(child->element.index);
}

std::vector<Announcement> AnnouncementsBetween(const std::vector<AccessibleChild>& before,
                                               const std::vector<AccessibleChild>& after) {
    std::vector<Announcement> out;
    const bool sameChildren = before.size() == after.size() &&
                              std::equal(before.begin(), before.end(), after.begin(), SameChild);
    if (!sameChildren) out.push_back(Announcement{AnnouncementKind::Reorder, kAccessibleSelf});
    for (size_t i = 0; i < after.size(); ++i) {
        const AccessibleChild& now = after[i];
        const auto was = std::find_if(before.begin(), before.end(),
                                      [&](const AccessibleChild& c) { return SameChild(c, now); });
        if (was == before.end()) continue;
        const int32_t id = static_cast<int32_t>(i) + 1;
        const bool becameSelected = now.states.selected && !was->states.selected;
        if (becameSelected) out.push_back(Announcement{AnnouncementKind::Selection, id});
        // The selection event covers the selected state turning on; anything
        // else that changed is a state change.
        AccessibleStates then = was->states;
        if (becameSelected) then.selected = true;
        if (then != now.states) out.push_back(Announcement{AnnouncementKind::StateChange, id});
    }
    return out;
}

}  // namespace servicebar
