#include "servicebar/BarPainter.h"

#include "servicebar/GdiHandles.h"

#include <algorithm>
#include <utility>

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

// The header's frame and gradient, without its label.
void DrawHeaderArtwork(HDC dc, const Rect& r, bool hot, COLORREF ground) {
    // The corner pixels outside the rounded frame keep the bar's ground colour.
    Fill(dc, r, ground);
    if (r.Width() < 6 || r.Height() < 6) return;
    const int l = r.left;
    const int t = r.top;
    const int rt = r.right;
    const int b = r.bottom;

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
}

void DrawHeader(HDC dc, const Rect& r, const WideText& label, HeaderLook look, COLORREF ground,
                COLORREF textColour, const HeaderArt* art) {
    const bool hot = look != HeaderLook::Normal;
    if (!art || !art->Draw(dc, r, hot)) DrawHeaderArtwork(dc, r, hot, ground);
    RECT rc = ToRECT(r);
    SetTextColor(dc, textColour);
    DrawTextW(dc, label.Get(), label.Length(), &rc,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

// Only the part inside `clip` is drawn: the arrows belong to the item area.
void DrawArrow(HDC dc, const Rect& r, bool up, bool pressed, COLORREF ground, COLORREF ink, const Rect& clip) {
    auto fill = [&](int left, int top, int right, int bottom, COLORREF colour) {
        Fill(dc, Intersect(Rect{left, top, right, bottom}, clip), colour);
    };
    fill(r.left, r.top, r.right, r.bottom, pressed ? ink : ground);
    fill(r.left, r.top, r.right, r.top + 1, ink);
    fill(r.left, r.bottom - 1, r.right, r.bottom, ink);
    fill(r.left, r.top, r.left + 1, r.bottom, ink);
    fill(r.right - 1, r.top, r.right, r.bottom, ink);
    const COLORREF mark = pressed ? ground : ink;
    const int centre = r.left + r.Width() / 2;
    const int rows = 4;
    const int top = r.top + (r.Height() - rows) / 2;
    for (int i = 0; i < rows; ++i) {
        const int half = up ? i : rows - 1 - i;
        fill(centre - half - 1, top + i, centre + half, top + i + 1, mark);
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

bool HeaderArt::Prepare(HDC compatibleWith, Size size, COLORREF ground) {
    if (m_buffer && m_size.width == size.width && m_size.height == size.height && m_ground == ground) return true;
    m_buffer.reset();
    if (size.width <= 0 || size.height <= 0) return false;
    auto buffer = std::make_unique<BackBuffer>(compatibleWith, size.width, 2 * size.height);
    if (!buffer->IsValid()) return false;
    DrawHeaderArtwork(buffer->Dc(), Rect{0, 0, size.width, size.height}, false, ground);
    DrawHeaderArtwork(buffer->Dc(), Rect{0, size.height, size.width, 2 * size.height}, true, ground);
    m_buffer = std::move(buffer);
    m_size = size;
    m_ground = ground;
    return true;
}

bool HeaderArt::Draw(HDC dc, const Rect& r, bool hot) const {
    if (!m_buffer || r.Width() != m_size.width || r.Height() != m_size.height) return false;
    return BitBlt(dc, r.left, r.top, r.Width(), r.Height(), m_buffer->Dc(), 0, hot ? m_size.height : 0, SRCCOPY) !=
           FALSE;
}

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

    // Each pixel once: the ground only where no header lies (headers start at
    // the top and the gaps run between and below them), then the headers.
    if (view.headers.empty()) {
        Fill(dc, 0, 0, size.width, size.height, ground);
    } else {
        Fill(dc, 0, 0, size.width, view.headers.front().top, ground);
        for (const Rect& gap : view.gaps) Fill(dc, gap, ground);
    }
    SetBkMode(dc, TRANSPARENT);

    const HeaderArt* art = nullptr;
    if (res.headerArt && !view.headers.empty()) {
        const Rect& first = view.headers.front();
        if (res.headerArt->Prepare(dc, Size{first.Width(), first.Height()}, ground)) art = res.headerArt;
    }
    SelectedFont folderFont(dc, res.folderFont);
    for (size_t i = 0; i < view.headers.size(); ++i) {
        const int32_t folder = static_cast<int32_t>(i);
        const HeaderLook look = state.LookOfHeader(folder);
        DrawHeader(dc, view.headers[i], (*res.folderLabels)[i], look, ground,
                   HeaderTextColour(colours, look, folder == state.OpenFolder()), art);
    }

    if (view.itemFolder >= 0 && !view.itemArea.IsEmpty()) {
        SelectedFont itemFont(dc, res.itemFont);
        const std::vector<WideText>& labels = (*res.itemLabels)[static_cast<size_t>(view.itemFolder)];
        for (const ItemBox& box : view.items) {
            if (box.textRect.top >= view.itemArea.bottom) break;
            const WideText& label = labels[static_cast<size_t>(box.item)];
            // DrawText clips to its rectangle: a label that runs past the item
            // area is cut off there, without a clipping region to set and undo.
            RECT rc = ToRECT(box.textRect);
            rc.bottom = std::min(rc.bottom, static_cast<LONG>(view.itemArea.bottom));
            SetTextColor(dc, ItemTextColour(colours, state.LookOfItem(box.item)));
            DrawTextW(dc, label.Get(), label.Length(), &rc, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
        }
        if (view.upArrow)
            DrawArrow(dc, view.upArrowRect, true, state.ArrowPressed(ElementKind::ScrollUp), ground, border,
                      view.itemArea);
        if (view.downArrow)
            DrawArrow(dc, view.downArrowRect, false, state.ArrowPressed(ElementKind::ScrollDown), ground, border,
                      view.itemArea);
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
