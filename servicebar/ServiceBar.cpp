#include "servicebar/ServiceBar.h"

#include "servicebar/BarPainter.h"
#include "servicebar/Content.h"

#include <commctrl.h>
#include <windowsx.h>

#include <string_view>
#include <utility>

using namespace servicebar;

namespace {

Point PointFromLParam(LPARAM lParam) { return Point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

RECT ToRECT(const Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

HFONT CreateBarFont(const FontDescription& font) {
    LOGFONTW lf{};
    lf.lfHeight = font.height;
    lf.lfWeight = font.weight;
    lf.lfItalic = font.italic ? TRUE : FALSE;
    lf.lfUnderline = font.underline ? TRUE : FALSE;
    lf.lfStrikeOut = font.strikeOut ? TRUE : FALSE;
    lf.lfCharSet = font.charSet;
    const size_t length = font.face.size() < LF_FACESIZE - 1 ? font.face.size() : LF_FACESIZE - 1;
    for (size_t i = 0; i < length; ++i) lf.lfFaceName[i] = static_cast<wchar_t>(font.face[i]);
    return CreateFontIndirectW(&lf);
}

// Tool ids: folders from 1, items of the shown folder from 1001.
constexpr UINT_PTR kFolderToolBase = 1;
constexpr UINT_PTR kItemToolBase = 1001;

TTTOOLINFOW ToolInfo(HWND owner, UINT_PTR id) {
    TTTOOLINFOW ti{};
    // The version-5 size keeps the tooltip working without a common-controls 6 manifest.
    ti.cbSize = TTTOOLINFOW_V2_SIZE;
    // No TTF_SUBCLASS: the bar relays its mouse messages itself (RelayToTooltip).
    ti.uFlags = 0;
    ti.hwnd = owner;
    ti.uId = id;
    return ti;
}

}  // namespace

std::unique_ptr<ServiceBar> ServiceBar::Create(HWND parent, int x, int y, int width, int height,
                                               int controlId) {
    HINSTANCE instance = GetModuleHandleW(nullptr);

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (!GetClassInfoExW(instance, kClassName, &wc)) {
        wc = WNDCLASSEXW{};
        wc.cbSize = sizeof wc;
        // Double-clicks arrive as such, so the second press of one cannot pass for a new click.
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = &ServiceBar::WndProc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kClassName;
        if (!RegisterClassExW(&wc)) return nullptr;
    }
    std::unique_ptr<ServiceBar> bar(new ServiceBar);
    HWND hwnd = CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_TABSTOP, x, y, width, height, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)), instance, bar.get());
    if (!hwnd) return nullptr;
    return bar;
}

ServiceBar::~ServiceBar() {
    // The window must not outlive the object its procedure points at.
    if (m_hwnd) DestroyWindow(m_hwnd);
}

LRESULT CALLBACK ServiceBar::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<ServiceBar*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->m_hwnd = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<ServiceBar*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->m_hwnd = nullptr;
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    return self->HandleMessage(msg, wParam, lParam);
}

LRESULT ServiceBar::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CREATE) return OnCreate() ? 0 : -1;
    if (!m_state) return DefWindowProcW(m_hwnd, msg, wParam, lParam);
    if (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) RelayToTooltip(msg, wParam, lParam);

    switch (msg) {
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_SIZE:
        OnSize();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_PRINTCLIENT: {
        RECT client;
        GetClientRect(m_hwnd, &client);
        Paint(reinterpret_cast<HDC>(wParam), client);
        return 0;
    }
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(wParam) == m_hwnd && LOWORD(lParam) == HTCLIENT && OnSetCursor()) return TRUE;
        break;
    case WM_MOUSEMOVE:
        OnMouseMove(PointFromLParam(lParam));
        return 0;
    case WM_MOUSELEAVE:
        Apply(m_state->Leave());
        return 0;
    case WM_LBUTTONDOWN:
        OnLeftDown(PointFromLParam(lParam), false);
        return 0;
    case WM_LBUTTONDBLCLK:
        OnLeftDown(PointFromLParam(lParam), true);
        return 0;
    case WM_LBUTTONUP:
        Apply(m_state->Release(PointFromLParam(lParam)));
        WatchForLeave();
        return 0;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != m_hwnd) Apply(m_state->CaptureLost());
        return 0;
    case WM_RBUTTONDOWN:
        Apply(m_state->RightPress(PointFromLParam(lParam)));
        return 0;
    case WM_RBUTTONUP:
        // Handled here so that no WM_CONTEXTMENU follows: the bar has no menu.
        Apply(m_state->RightRelease(PointFromLParam(lParam)));
        return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        // Keys do nothing to the bar; they only take a showing tooltip away.
        if (m_tooltip.Get()) SendMessageW(m_tooltip.Get(), TTM_POP, 0, 0);
        break;
    case WM_TIMER:
        if (wParam == kSlideTimerId) {
            Apply(m_state->SlideTick());
            return 0;
        }
        break;
    case kItemClickMessage:
        OnItemClickMessage(wParam, lParam);
        return 0;
    case WM_GETOBJECT:
        return OnGetObject(wParam, lParam);
    default:
        break;
    }
    return DefWindowProcW(m_hwnd, msg, wParam, lParam);
}

MeasureText ServiceBar::MakeMeasurer(HDC dc) const {
    return [dc](std::u16string_view text, int wrapWidth) {
        const WideText wide(text);
        RECT rc{0, 0, wrapWidth, 0};
        DrawTextW(dc, wide.Get(), wide.Length(), &rc, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        return Size{rc.right - rc.left, rc.bottom - rc.top};
    };
}

bool ServiceBar::OnCreate() {
    m_folderFont.Reset(CreateBarFont(m_settings.folderFont));
    m_itemFont.Reset(CreateBarFont(m_settings.itemFont));
    if (!m_folderFont || !m_itemFont) return false;

    BarContent content = ServiceContent();
    for (const BarFolder& folder : content) {
        m_folderLabels.emplace_back(folder.label);
        m_folderTips.emplace_back(folder.tip);
        std::vector<WideText> items;
        std::vector<WideText> tips;
        for (const BarItem& item : folder.items) {
            items.emplace_back(item.label);
            tips.emplace_back(item.tip);
        }
        m_itemLabels.push_back(std::move(items));
        m_itemTips.push_back(std::move(tips));
    }

    RECT client;
    GetClientRect(m_hwnd, &client);
    {
        MemoryDc dc(nullptr);
        if (!dc) return false;
        // Labels are measured in the font they are drawn in.
        SelectedObject font(dc.Get(), m_itemFont.Get());
        m_state = std::make_unique<BarState>(std::move(content), m_settings, Size{client.right, client.bottom},
                                             MakeMeasurer(dc.Get()));
    }

    m_announced = AccessibleChildren(*m_state);
    // The tooltip comes with the first mouse message (RelayToTooltip).
    return true;
}

bool ServiceBar::CreateTooltip() {
    // Once only: without the common controls the bar simply shows no tips.
    if (m_tooltipTried) return m_tooltip.Get() != nullptr;
    m_tooltipTried = true;
    // The common controls are loaded here, at the first hover, not at start:
    // nothing of the first frame needs them, and they are the largest DLL the
    // program uses.
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    m_tooltip.Reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hwnd, nullptr,
                                    GetModuleHandleW(nullptr), nullptr));
    if (!m_tooltip.Get()) return false;
    SyncTooltipTools();
    return true;
}

void ServiceBar::OnDestroy() {
    // A slide may still be running; its ticks must not reach a window being torn down.
    KillTimer(m_hwnd, kSlideTimerId);
    RemoveTooltipTools();
    m_tooltip.Reset();
    // Screen readers may hold the object longer than the window lives.
    m_destroyed = true;
    if (m_accessible) m_accessible->Disconnect();
    m_accessible.Reset();
}

void ServiceBar::OnSize() {
    RECT client;
    GetClientRect(m_hwnd, &client);
    const Size size{client.right, client.bottom};
    if (size.width == m_state->BarSize().width && size.height == m_state->BarSize().height) return;
    MemoryDc dc(nullptr);
    if (!dc) return;
    SelectedObject font(dc.Get(), m_itemFont.Get());
    m_state->Resize(size, MakeMeasurer(dc.Get()));
    m_backBuffer.reset();
    InvalidateRect(m_hwnd, nullptr, FALSE);
    SyncTooltipTools();
    Announce();
}

void ServiceBar::OnPaint() {
    PaintScope ps(m_hwnd);
    Paint(ps.Dc(), ps.Area());
}

void ServiceBar::Paint(HDC target, const RECT& area) {
    RECT client;
    GetClientRect(m_hwnd, &client);
    if (client.right <= 0 || client.bottom <= 0) return;

    PaintResources res;
    res.folderFont = m_folderFont.Get();
    res.itemFont = m_itemFont.Get();
    res.folderLabels = &m_folderLabels;
    res.itemLabels = &m_itemLabels;
    res.colours = &m_settings.colours;
    res.flatBorder = m_settings.flatBorder;
    res.headerArt = &m_headerArt;

    if (!m_backBuffer || m_backBuffer->Width() != client.right || m_backBuffer->Height() != client.bottom) {
        WindowDc screen(m_hwnd);
        // The folder font stays in the buffer: the headers are drawn in it at every paint.
        m_backBuffer = std::make_unique<BackBuffer>(screen.Get(), client.right, client.bottom, m_folderFont.Get());
    }
    if (!m_backBuffer->IsValid()) {
        // Without memory for the buffer, drawing straight to the target still shows the bar.
        m_backBuffer.reset();
        PaintBar(target, *m_state, res);
        return;
    }
    PaintBar(m_backBuffer->Dc(), *m_state, res);
    BitBlt(target, area.left, area.top, area.right - area.left, area.bottom - area.top, m_backBuffer->Dc(),
           area.left, area.top, SRCCOPY);
}

bool ServiceBar::OnSetCursor() {
    POINT pt;
    if (!GetCursorPos(&pt) || !ScreenToClient(m_hwnd, &pt)) return false;
    const bool overHeader = m_state->HitTest(Point{pt.x, pt.y}).kind == ElementKind::Header;
    SetCursor(LoadCursorW(nullptr, overHeader ? IDC_HAND : IDC_ARROW));
    return true;
}

void ServiceBar::OnMouseMove(Point p) {
    Apply(m_state->Move(p));
    WatchForLeave();
}

namespace {
bool LeaveWatched(HWND hwnd) {
    TRACKMOUSEEVENT query{sizeof query, TME_QUERY, nullptr, 0};
    return TrackMouseEvent(&query) && (query.dwFlags & TME_LEAVE) && query.hwndTrack == hwnd;
}
}  // namespace

void ServiceBar::WatchForLeave() {
    // Asked each time rather than remembered: the watch is the thread's, not
    // the window's, and can end without a word to the bar.
    if (LeaveWatched(m_hwnd)) return;
    TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, m_hwnd, 0};
    TrackMouseEvent(&tme);
    if (LeaveWatched(m_hwnd) || GetCapture() == m_hwnd) return;
    // The pointer has already moved on from the bar since this message was
    // sent: Windows then posts the leave at once, Wine starts no watch and
    // says nothing, and the last highlight would stay for good.
    Apply(m_state->Leave());
}

void ServiceBar::OnLeftDown(Point p, bool secondClick) {
    if (GetFocus() != m_hwnd) SetFocus(m_hwnd);
    Apply(secondClick ? m_state->DoublePress(p) : m_state->Press(p));
}

void ServiceBar::OnItemClickMessage(WPARAM wParam, LPARAM lParam) {
    const ItemClickHandler handler = m_onItemClick;
    // The handler may do anything, even end the program: nothing of `this` is used after it.
    if (handler) handler(static_cast<int32_t>(wParam), static_cast<int32_t>(lParam));
}

void ServiceBar::Apply(const Reaction& reaction) {
    if (reaction.repaintAll) {
        InvalidateRect(m_hwnd, nullptr, FALSE);
    } else {
        for (const Rect& r : reaction.repaint) {
            const RECT rc = ToRECT(r);
            InvalidateRect(m_hwnd, &rc, FALSE);
        }
    }

    switch (reaction.slideTimer) {
    case TimerRequest::Start:
        SetTimer(m_hwnd, kSlideTimerId, kSlidePauseMs, nullptr);
        break;
    case TimerRequest::Stop:
        KillTimer(m_hwnd, kSlideTimerId);
        break;
    case TimerRequest::Keep:
        break;
    }

    for (const BarEvent& event : reaction.events) {
        // The click reaches its handler through the event loop, never from inside mouse handling.
        if (event.kind == BarEventKind::ItemClicked) {
            PostMessageW(m_hwnd, kItemClickMessage, static_cast<WPARAM>(event.folder),
                         static_cast<LPARAM>(event.item));
        }
    }

    SyncTooltipTools();
    // The state has changed by now, so a reader that asks on hearing of the
    // change learns the new state.
    Announce();

    // Last, because giving the capture up sends WM_CAPTURECHANGED straight back here.
    switch (reaction.capture) {
    case CaptureRequest::Take:
        SetCapture(m_hwnd);
        break;
    case CaptureRequest::Release:
        if (GetCapture() == m_hwnd) ReleaseCapture();
        break;
    case CaptureRequest::Keep:
        break;
    }
}

void ServiceBar::DoDefaultAction(int32_t childId) { Apply(DoAccessibleDefaultAction(*m_state, childId)); }

LRESULT ServiceBar::OnGetObject(WPARAM wParam, LPARAM lParam) {
    // Only the client area is the bar's own; the window object, caret and
    // the rest stay the system's. The id arrives as a 32-bit value, sign
    // extended or not depending on the sender.
    if (static_cast<LONG>(static_cast<DWORD>(lParam)) != OBJID_CLIENT || m_destroyed)
        return DefWindowProcW(m_hwnd, WM_GETOBJECT, wParam, lParam);
    if (!m_accessible) m_accessible = ComRef<BarAccessible>(BarAccessible::Create(*this));
    if (!m_accessible) return DefWindowProcW(m_hwnd, WM_GETOBJECT, wParam, lParam);
    return LresultFromObject(__uuidof(IAccessible), wParam, static_cast<IAccessible*>(m_accessible.Get()));
}

void ServiceBar::Announce() {
    std::vector<AccessibleChild> now = AccessibleChildren(*m_state);
    for (const Announcement& a : AnnouncementsBetween(m_announced, now)) {
        DWORD event = EVENT_OBJECT_STATECHANGE;
        if (a.kind == AnnouncementKind::Reorder) event = EVENT_OBJECT_REORDER;
        if (a.kind == AnnouncementKind::Selection) event = EVENT_OBJECT_SELECTION;
        NotifyWinEvent(event, m_hwnd, OBJID_CLIENT, a.childId);
    }
    m_announced = std::move(now);
}

void ServiceBar::RelayToTooltip(UINT msg, WPARAM wParam, LPARAM lParam) {
    // The tooltip sees the pointer through these relays. Letting it subclass
    // the bar instead (TTF_SUBCLASS) would put the common controls' subclass
    // procedure in front of every message the bar gets, paint and timer
    // included, and that costs more than painting the whole bar on Wine,
    // where it looks the subclass up through the server each time.
    if (!CreateTooltip()) return;
    const DWORD pos = GetMessagePos();
    MSG relayed{m_hwnd, msg, wParam, lParam, static_cast<DWORD>(GetMessageTime()),
                POINT{GET_X_LPARAM(pos), GET_Y_LPARAM(pos)}};
    SendMessageW(m_tooltip.Get(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

void ServiceBar::RemoveTooltipTools() {
    if (!m_tooltip.Get()) return;
    for (UINT_PTR id : m_toolIds) {
        TTTOOLINFOW ti = ToolInfo(m_hwnd, id);
        SendMessageW(m_tooltip.Get(), TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    }
    m_toolIds.clear();
}

void ServiceBar::SyncTooltipTools() {
    if (!m_tooltip.Get()) return;
    const BarView& view = m_state->View();
    const Size size = m_state->BarSize();
    const ToolLayoutKey key{view.itemFolder, m_state->FirstItem(), m_state->Slide().has_value(), size.width,
                            size.height};
    if (key == m_toolsKey) return;
    m_toolsKey = key;
    RemoveTooltipTools();
    // Headers move while sliding; the tools come back once the bar is still.
    if (key.sliding) return;

    auto add = [this](UINT_PTR id, const Rect& r, const WideText& text) {
        if (r.IsEmpty()) return;
        TTTOOLINFOW ti = ToolInfo(m_hwnd, id);
        ti.rect = ToRECT(r);
        // The tooltip keeps its own copy of the text.
        ti.lpszText = const_cast<wchar_t*>(text.Get());
        if (SendMessageW(m_tooltip.Get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti))) m_toolIds.push_back(id);
    };
    for (size_t i = 0; i < view.headers.size(); ++i) add(kFolderToolBase + i, view.headers[i], m_folderTips[i]);
    if (view.itemFolder < 0) return;
    const std::vector<WideText>& tips = m_itemTips[static_cast<size_t>(view.itemFolder)];
    for (const ItemBox& box : view.items) {
        add(kItemToolBase + static_cast<UINT_PTR>(box.item), Intersect(box.label, view.itemArea),
            tips[static_cast<size_t>(box.item)]);
    }
}
