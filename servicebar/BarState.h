#pragma once
// The bar's behaviour: every mouse input and slide tick goes in, what to
// repaint, which events to raise and what to do with the capture and the slide
// timer come out.

#include "servicebar/Content.h"
#include "servicebar/Geometry.h"
#include "servicebar/Layout.h"
#include "servicebar/Settings.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace servicebar {

// The control's own event numbers. Only ItemClicked is ever bound.
enum class BarEventKind {
    ItemClicked = 0,
    FolderOpened = 1,
    FolderHeaderClicked = 5,
    FolderHeaderRightClicked = 6,
    ItemRightClicked = 7,
    ItemDoubleClicked = 8,
};

struct BarEvent {
    BarEventKind kind = BarEventKind::ItemClicked;
    int32_t folder = -1;
    int32_t item = -1;  // -1 for the folder events
};

inline bool operator==(const BarEvent& a, const BarEvent& b) {
    return a.kind == b.kind && a.folder == b.folder && a.item == b.item;
}

enum class CaptureRequest { Keep, Take, Release };
enum class TimerRequest { Keep, Start, Stop };

struct Reaction {
    std::vector<Rect> repaint;
    bool repaintAll = false;
    std::vector<BarEvent> events;
    CaptureRequest capture = CaptureRequest::Keep;
    TimerRequest slideTimer = TimerRequest::Keep;
};

enum class HeaderLook { Normal, Hover, Pressed };
enum class ItemLook { Normal, Hover, Pressed, Selected };

class BarState {
public:
    BarState(BarContent content, const BarSettings& settings, Size bar, const MeasureText& measure);

    // Measures the labels again for the new width; a slide in progress goes on.
    void Resize(Size bar, const MeasureText& measure);

    Reaction Press(Point p);
    // The second press of a double-click.
    Reaction DoublePress(Point p);
    Reaction Move(Point p);
    Reaction Release(Point p);
    Reaction Leave();
    // Someone else took the mouse while a press was held: the press is dropped.
    Reaction CaptureLost();
    Reaction RightPress(Point p);
    Reaction RightRelease(Point p);
    Reaction SlideTick();

    // What a completed left click on `item` of the open folder does, for
    // callers that click without the mouse (assistive technology). Nothing
    // happens where the mouse could not click that item now: while the
    // folders slide, or when the item is scrolled out of sight.
    Reaction ActivateItem(int32_t item);
    // What a left click on `folder`'s header does.
    Reaction ActivateHeader(int32_t folder);
    // True when a click at the item's label would reach it now.
    bool ItemClickable(int32_t item) const;

    const BarContent& Content() const { return m_content; }
    Size BarSize() const { return m_bar; }
    int SlideStep() const { return m_slideStep; }
    int32_t OpenFolder() const { return m_open; }
    int32_t SelectedItem() const { return m_selected; }  // -1: none
    int32_t FirstItem() const { return m_first; }
    Element Hot() const { return m_hot; }
    Element Pressed() const { return m_pressed; }
    bool PressedUnderPointer() const { return m_pressed != kNothing && m_pressedOver; }
    const std::optional<SlidePosition>& Slide() const { return m_slide; }
    const BarView& View() const { return m_view; }
    const std::vector<std::vector<Size>>& LabelSizes() const { return m_labelSizes; }

    Element HitTest(Point p) const { return servicebar::HitTest(m_view, p); }
    HeaderLook LookOfHeader(int32_t folder) const;
    ItemLook LookOfItem(int32_t item) const;
    bool ArrowPressed(ElementKind arrow) const;

private:
    void Measure(const MeasureText& measure);
    void Refresh();
    void Repaint(Reaction& r, Element e) const;
    void SetHot(Element e, Reaction& r);
    void UpdateHover(Reaction& r);
    void CancelPress(Reaction& r);
    void ClickItem(int32_t item, Reaction& r);
    void ClickHeader(int32_t folder, Reaction& r);
    void RequestFolder(int32_t folder, Reaction& r);
    void FinishSlide(Reaction& r);
    void Scroll(int delta, Reaction& r);
    Rect SlideRegion() const;

    BarContent m_content;
    std::vector<std::vector<Size>> m_labelSizes;
    Size m_bar;
    int m_headerHeight = 0;
    int m_slideStep = 0;

    int32_t m_open = 0;
    int32_t m_selected = -1;
    int32_t m_first = 0;
    Element m_hot;
    // The item just clicked stays in its selected colour until the pointer
    // is seen over something else.
    int32_t m_quietItem = -1;
    Element m_pressed;
    bool m_pressedOver = false;
    std::optional<Point> m_pointer;
    std::optional<SlidePosition> m_slide;
    BarView m_view;
};

}  // namespace servicebar
