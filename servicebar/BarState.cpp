#include "servicebar/BarState.h"

#include <algorithm>
#include <utility>

namespace servicebar {

BarState::BarState(BarContent content, const BarSettings& settings, Size bar, const MeasureText& measure)
    : m_content(std::move(content)),
      m_bar(bar),
      m_headerHeight(settings.headerHeight),
      m_slideStep(settings.slideStep) {
    const int32_t count = static_cast<int32_t>(m_content.size());
    m_open = std::clamp<int32_t>(settings.openFolderAtStart, 0, std::max<int32_t>(0, count - 1));
    Measure(measure);
    Refresh();
}

void BarState::Resize(Size bar, const MeasureText& measure) {
    m_bar = bar;
    Measure(measure);
    if (m_slide) {
        const int distance = SlideDistance(m_bar, static_cast<int>(m_content.size()), m_headerHeight);
        m_slide->offset = std::min(m_slide->offset, distance);
    }
    Refresh();
}

void BarState::Measure(const MeasureText& measure) {
    const int wrap = LabelWrapWidth(m_bar.width);
    m_labelSizes.clear();
    for (const BarFolder& folder : m_content) {
        std::vector<Size> sizes;
        for (const BarItem& item : folder.items) sizes.push_back(measure(item.label, wrap));
        m_labelSizes.push_back(std::move(sizes));
    }
}

void BarState::Refresh() {
    LayoutInput input;
    input.bar = m_bar;
    input.headerHeight = m_headerHeight;
    input.openFolder = m_open;
    input.firstItem = m_first;
    input.slide = m_slide;
    input.labelSizes = &m_labelSizes;
    m_view = ComputeView(input);
}

void BarState::Repaint(Reaction& r, Element e) const {
    const Rect rect = ElementRect(m_view, e);
    if (!rect.IsEmpty()) r.repaint.push_back(rect);
}

void BarState::SetHot(Element e, Reaction& r) {
    if (e == m_hot) return;
    Repaint(r, m_hot);
    m_hot = e;
    Repaint(r, m_hot);
}

void BarState::UpdateHover(Reaction& r) {
    if (m_pressed != kNothing) {
        // While the button is held only the pressed element reacts, and only
        // the look of a header or arrow depends on the pointer being over it.
        const bool over = m_pointer && HitTest(*m_pointer) == m_pressed;
        if (over != m_pressedOver && m_pressed.kind != ElementKind::Item) Repaint(r, m_pressed);
        m_pressedOver = over;
        return;
    }
    if (!m_pointer) {
        // Leaving keeps a just-clicked label quiet: the platform may report a
        // leave and a move back to the very same spot without any real motion.
        SetHot(kNothing, r);
        return;
    }
    Element e = HitTest(*m_pointer);
    if (e.kind != ElementKind::Header && e.kind != ElementKind::Item) e = kNothing;
    if (m_quietItem >= 0) {
        if (e == ItemElement(m_quietItem))
            e = kNothing;
        else
            m_quietItem = -1;
    }
    SetHot(e, r);
}

void BarState::CancelPress(Reaction& r) {
    if (m_pressed == kNothing) return;
    Repaint(r, m_pressed);
    m_pressed = kNothing;
    m_pressedOver = false;
    r.capture = CaptureRequest::Release;
}

Reaction BarState::Press(Point p) {
    Reaction r;
    m_pointer = p;
    CancelPress(r);
    const Element e = HitTest(p);
    // The pressed look replaces any hover highlight until the release.
    SetHot(kNothing, r);
    if (e == kNothing) return r;
    m_pressed = e;
    m_pressedOver = true;
    r.capture = CaptureRequest::Take;
    Repaint(r, e);
    return r;
}

Reaction BarState::DoublePress(Point p) {
    const Element e = HitTest(p);
    if (e.kind != ElementKind::Item) return Press(p);
    // The first click of the pair has raised the item click already; the
    // second press must not start another one.
    Reaction r;
    m_pointer = p;
    CancelPress(r);
    r.events.push_back(BarEvent{BarEventKind::ItemDoubleClicked, m_open, e.index});
    return r;
}

Reaction BarState::Move(Point p) {
    Reaction r;
    m_pointer = p;
    UpdateHover(r);
    return r;
}

Reaction BarState::Release(Point p) {
    Reaction r;
    m_pointer = p;
    const Element pressed = m_pressed;
    if (pressed == kNothing) {
        UpdateHover(r);
        return r;
    }
    const Element at = HitTest(p);
    Repaint(r, pressed);
    m_pressed = kNothing;
    m_pressedOver = false;
    r.capture = CaptureRequest::Release;

    switch (pressed.kind) {
    case ElementKind::Item:
        if (at == pressed) {
            ClickItem(pressed.index, r);
            m_quietItem = pressed.index;
        }
        break;
    case ElementKind::Header:
        // A header press opens whichever header the button comes up over.
        if (at.kind == ElementKind::Header) ClickHeader(at.index, r);
        break;
    case ElementKind::ScrollUp:
        if (at == pressed) Scroll(-1, r);
        break;
    case ElementKind::ScrollDown:
        if (at == pressed) Scroll(+1, r);
        break;
    case ElementKind::None:
        break;
    }
    UpdateHover(r);
    return r;
}

void BarState::ClickItem(int32_t item, Reaction& r) {
    // The label selected before goes back to its own colour.
    if (m_selected >= 0 && m_selected != item) Repaint(r, ItemElement(m_selected));
    m_selected = item;
    r.events.push_back(BarEvent{BarEventKind::ItemClicked, m_open, item});
}

void BarState::ClickHeader(int32_t folder, Reaction& r) {
    r.events.push_back(BarEvent{BarEventKind::FolderHeaderClicked, folder, -1});
    RequestFolder(folder, r);
}

bool BarState::ItemClickable(int32_t item) const {
    return m_view.itemsLive && !ElementRect(m_view, ItemElement(item)).IsEmpty();
}

Reaction BarState::ActivateItem(int32_t item) {
    Reaction r;
    if (!ItemClickable(item)) return r;
    Repaint(r, ItemElement(item));
    ClickItem(item, r);
    // Under the pointer, the label shows its selected colour as after a
    // click, until the pointer goes elsewhere.
    if (m_hot == ItemElement(item)) {
        SetHot(kNothing, r);
        m_quietItem = item;
    }
    return r;
}

Reaction BarState::ActivateHeader(int32_t folder) {
    Reaction r;
    if (folder < 0 || folder >= static_cast<int32_t>(m_content.size())) return r;
    ClickHeader(folder, r);
    UpdateHover(r);
    return r;
}

Reaction BarState::Leave() {
    Reaction r;
    m_pointer.reset();
    UpdateHover(r);
    return r;
}

Reaction BarState::CaptureLost() {
    Reaction r;
    if (m_pressed == kNothing) return r;
    Repaint(r, m_pressed);
    m_pressed = kNothing;
    m_pressedOver = false;
    UpdateHover(r);
    return r;
}

Reaction BarState::RightPress(Point p) {
    m_pointer = p;
    return Reaction{};
}

Reaction BarState::RightRelease(Point p) {
    Reaction r;
    m_pointer = p;
    const Element e = HitTest(p);
    if (e.kind == ElementKind::Header)
        r.events.push_back(BarEvent{BarEventKind::FolderHeaderRightClicked, e.index, -1});
    else if (e.kind == ElementKind::Item)
        r.events.push_back(BarEvent{BarEventKind::ItemRightClicked, m_open, e.index});
    return r;
}

Reaction BarState::SlideTick() {
    Reaction r;
    if (!m_slide) {
        r.slideTimer = TimerRequest::Stop;
        return r;
    }
    const int distance = SlideDistance(m_bar, static_cast<int>(m_content.size()), m_headerHeight);
    m_slide->offset = std::min(m_slide->offset + std::max(1, m_slideStep), distance);
    if (m_slide->offset >= distance) {
        FinishSlide(r);
    } else {
        r.repaint.push_back(SlideRegion());
        Refresh();
    }
    UpdateHover(r);
    return r;
}

void BarState::RequestFolder(int32_t folder, Reaction& r) {
    if (folder < 0 || folder >= static_cast<int32_t>(m_content.size())) return;
    if (m_slide) {
        if (m_slide->to == folder) return;
        // Land the running slide at once so that the next one starts from a still bar.
        FinishSlide(r);
    }
    if (folder == m_open) return;

    const int distance = SlideDistance(m_bar, static_cast<int>(m_content.size()), m_headerHeight);
    if (m_slideStep <= 0 || distance == 0) {
        m_slide = SlidePosition{m_open, folder, distance};
        FinishSlide(r);
        return;
    }
    // The old folder's items stop answering the mouse as soon as the slide starts.
    SetHot(kNothing, r);
    m_slide = SlidePosition{m_open, folder, 0};
    Refresh();
    r.repaint.push_back(SlideRegion());
    r.slideTimer = TimerRequest::Start;
}

void BarState::FinishSlide(Reaction& r) {
    m_open = m_slide->to;
    m_slide.reset();
    m_first = 0;
    m_selected = -1;
    m_quietItem = -1;
    m_hot = kNothing;
    Refresh();
    r.repaintAll = true;
    r.slideTimer = TimerRequest::Stop;
    r.events.push_back(BarEvent{BarEventKind::FolderOpened, m_open, -1});
}

void BarState::Scroll(int delta, Reaction& r) {
    const int32_t count = m_view.itemFolder >= 0
        ? static_cast<int32_t>(m_content[static_cast<size_t>(m_view.itemFolder)].items.size())
        : 0;
    int32_t first = m_first;
    if (delta < 0 && m_view.upArrow) first = std::max(0, m_first - 1);
    if (delta > 0 && m_view.downArrow) first = std::min(count - 1, m_first + 1);
    if (first == m_first) return;
    // Item boxes move, so a hovered item would now name the wrong label.
    SetHot(kNothing, r);
    m_first = first;
    Refresh();
    r.repaint.push_back(m_view.itemArea);
}

Rect BarState::SlideRegion() const {
    const int count = static_cast<int>(m_content.size());
    const int32_t low = std::min(m_slide->from, m_slide->to);
    const int32_t high = std::max(m_slide->from, m_slide->to);
    // The headers at `low` and after `high` never move, so everything that
    // does move stays between them.
    const int top = StillHeaderRect(m_bar, count, m_headerHeight, m_slide->from, low).bottom;
    const int bottom = high + 1 < count
        ? StillHeaderRect(m_bar, count, m_headerHeight, m_slide->from, high + 1).top
        : m_bar.height;
    return Rect{0, top, m_bar.width, bottom};
}

HeaderLook BarState::LookOfHeader(int32_t folder) const {
    if (m_pressed == HeaderElement(folder)) return m_pressedOver ? HeaderLook::Pressed : HeaderLook::Normal;
    if (m_hot == HeaderElement(folder)) return HeaderLook::Hover;
    return HeaderLook::Normal;
}

ItemLook BarState::LookOfItem(int32_t item) const {
    if (m_pressed == ItemElement(item)) return ItemLook::Pressed;
    if (m_hot == ItemElement(item)) return ItemLook::Hover;
    if (m_selected == item) return ItemLook::Selected;
    return ItemLook::Normal;
}

bool BarState::ArrowPressed(ElementKind arrow) const {
    return m_pressed.kind == arrow && m_pressedOver;
}

}  // namespace servicebar
