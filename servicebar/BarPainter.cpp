#include "servicebar/BarPainter.h"

#include "servicebar/GdiHandles.h"

namespace servicebar {
namespace {

// The header's own artwork; header style 1 does not take these from the colour table.
constexpr COLORREF kHeaderFrame = RGB(92, 116, 148);
constexpr COLORREF kHeaderTop = RGB(252, 252, 253);
constexpr COLORREF kHeaderBottom = RGB(212, 220, 232);
constexpr COLORREF kHotBandTop = RGB(255, 214, 140);
constexpr COLORREF kHotBandBottom = RGB(244, 146, 36);
constexpr int kHotBandWidth = 2;

RECT ToRECT(const Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

// ExtTextOut's opaque fill needs no brush, so painting allocates nothing.
void Fill(HDC dc, int left, int top, int right, int bottom, COLORREF colour) {
    if (right <= left || bottom <= top) return;
    const RECT rc{left, top, right, bottom};
    SetBkColor(dc, colour);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
}

void Fill(HDC dc, const Rect& r, COLORREF colour) { Fill(dc, r.left, r.top, r.right, r.bottom, colour); }

COLORREF Blend(COLORREF from, COLORREF to, int step, int steps) {
    if (steps <= 0) return from;
    auto mix = [step, steps](int a, int b) { return a + (b - a) * step / steps; };
    return RGB(mix(GetRValue(from), GetRValue(to)), mix(GetGValue(from), GetGValue(to)),
               mix(GetBValue(from), GetBValue(to)));
}

void DrawHeader(HDC dc, const Rect& r, const std::wstring& label, HeaderLook look, COLORREF ground,
                COLORREF textColour) {
    // The corner pixels outside the rounded frame keep the bar's ground colour.
    Fill(dc, r, ground);
    if (r.Width() < 6 || r.Height() < 6) return;
    const int l = r.left;
    const int t = r.top;
    const int rt = r.right;
    const int b = r.bottom;

    const bool hot = look != HeaderLook::Normal;
    const int rows = b - t - 2;
    for (int y = t + 1; y < b - 1; ++y) {
        const int row = y - (t + 1);
        const bool cornerRow = y == t + 1 || y == b - 2;
        const int left = cornerRow ? l + 2 : l + 1;
        const int right = cornerRow ? rt - 2 : rt - 1;
        const COLORREF light = Blend(kHeaderTop, kHeaderBottom, row, rows - 1);
        if (!hot) {
            Fill(dc, left, y, right, y + 1, light);
            continue;
        }
        Fill(dc, left, y, right, y + 1, Blend(kHotBandTop, kHotBandBottom, row, rows - 1));
        if (y >= t + 1 + kHotBandWidth && y < b - 1 - kHotBandWidth)
            Fill(dc, l + 1 + kHotBandWidth, y, rt - 1 - kHotBandWidth, y + 1, light);
    }

    Fill(dc, l + 2, t, rt - 2, t + 1, kHeaderFrame);
    Fill(dc, l + 2, b - 1, rt - 2, b, kHeaderFrame);
    Fill(dc, l, t + 2, l + 1, b - 2, kHeaderFrame);
    Fill(dc, rt - 1, t + 2, rt, b - 2, kHeaderFrame);
    Fill(dc, l + 1, t + 1, l + 2, t + 2, kHeaderFrame);
    Fill(dc, rt - 2, t + 1, rt - 1, t + 2, kHeaderFrame);
    Fill(dc, l + 1, b - 2, l + 2, b - 1, kHeaderFrame);
    Fill(dc, rt - 2, b - 2, rt - 1, b - 1, kHeaderFrame);

    RECT rc = ToRECT(r);
    SetTextColor(dc, textColour);
    DrawTextW(dc, label.c_str(), static_cast<int>(label.size()), &rc,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void DrawArrow(HDC dc, const Rect& r, bool up, bool pressed, COLORREF ground, COLORREF ink) {
    Fill(dc, r, pressed ? ink : ground);
    Fill(dc, r.left, r.top, r.right, r.top + 1, ink);
    Fill(dc, r.left, r.bottom - 1, r.right, r.bottom, ink);
    Fill(dc, r.left, r.top, r.left + 1, r.bottom, ink);
    Fill(dc, r.right - 1, r.top, r.right, r.bottom, ink);
    const COLORREF mark = pressed ? ground : ink;
    const int centre = r.left + r.Width() / 2;
    const int rows = 4;
    const int top = r.top + (r.Height() - rows) / 2;
    for (int i = 0; i < rows; ++i) {
        const int half = up ? i : rows - 1 - i;
        Fill(dc, centre - half - 1, top + i, centre + half, top + i + 1, mark);
    }
}

COLORREF ItemTextColour(const BarColours& c, ItemLook look) {
    switch (look) {
    case ItemLook::Hover:
    case ItemLook::Pressed:
        return ToColorRef(c.crItemTextHoverColor);
    case ItemLook::Selected:
        return ToColorRef(c.crItemSelTextColor);
    case ItemLook::Normal:
        break;
    }
    return ToColorRef(c.crItemTextColor);
}

COLORREF HeaderTextColour(const BarColours& c, HeaderLook look, bool open) {
    if (look != HeaderLook::Normal) return ToColorRef(c.crFolderTextHoverColor);
    return ToColorRef(open ? c.crFolderSelTextColor : c.crFolderTextColor);
}

}  // namespace

COLORREF ToColorRef(Colour colour) {
    if (colour.isDefault) return GetSysColor(COLOR_BTNFACE);
    return RGB(colour.red, colour.green, colour.blue);
}

void PaintBar(HDC dc, const BarState& state, const PaintResources& res) {
    const BarColours& colours = *res.colours;
    const COLORREF ground = ToColorRef(colours.crBackGroundColor);
    const COLORREF border = ToColorRef(colours.crDkShadowBorder);
    const Size size = state.BarSize();
    const BarView& view = state.View();

    Fill(dc, 0, 0, size.width, size.height, ground);
    SetBkMode(dc, TRANSPARENT);

    {
        SelectedObject font(dc, res.folderFont);
        for (size_t i = 0; i < view.headers.size(); ++i) {
            const int32_t folder = static_cast<int32_t>(i);
            const HeaderLook look = state.LookOfHeader(folder);
            DrawHeader(dc, view.headers[i], (*res.folderLabels)[i], look, ground,
                       HeaderTextColour(colours, look, folder == state.OpenFolder()));
        }
    }

    if (view.itemFolder >= 0 && !view.itemArea.IsEmpty()) {
        SavedDcState saved(dc);
        IntersectClipRect(dc, view.itemArea.left, view.itemArea.top, view.itemArea.right, view.itemArea.bottom);
        SelectedObject font(dc, res.itemFont);
        const std::vector<std::wstring>& labels = (*res.itemLabels)[static_cast<size_t>(view.itemFolder)];
        for (const ItemBox& box : view.items) {
            if (box.textRect.top >= view.itemArea.bottom) break;
            const std::wstring& label = labels[static_cast<size_t>(box.item)];
            RECT rc = ToRECT(box.textRect);
            SetTextColor(dc, ItemTextColour(colours, state.LookOfItem(box.item)));
            DrawTextW(dc, label.c_str(), static_cast<int>(label.size()), &rc,
                      DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
        }
        if (view.upArrow)
            DrawArrow(dc, view.upArrowRect, true, state.ArrowPressed(ElementKind::ScrollUp), ground, border);
        if (view.downArrow)
            DrawArrow(dc, view.downArrowRect, false, state.ArrowPressed(ElementKind::ScrollDown), ground, border);
    }

    if (res.flatBorder) {
        for (const Rect& gap : view.gaps) {
            Fill(dc, gap.left, gap.top, gap.left + 1, gap.bottom, border);
            Fill(dc, gap.right - 1, gap.top, gap.right, gap.bottom, border);
            if (gap.bottom == size.height) Fill(dc, gap.left, gap.bottom - 1, gap.right, gap.bottom, border);
        }
    }
}

}  // namespace servicebar
