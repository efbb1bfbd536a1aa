#include "bench/PaintBench.h"

#include <windows.h>

#include <vector>

#include "bench/Clock.h"
#include "launcher/MainWindow.h"
#include "servicebar/BarPainter.h"
#include "servicebar/ServiceBar.h"
#include "servicebar/WideText.h"
#include "tests/windows/harness/OffScreen.h"

namespace bench {
namespace {

constexpr wchar_t kParentClass[] = L"VelmoraBenchParent";
constexpr int kWarmUp = 50;
constexpr int kRounds = 21;
constexpr int kPerRound = 200;

class Window {
public:
    explicit Window(HWND hwnd) : m_hwnd(hwnd) {}
    ~Window() {
        if (m_hwnd) DestroyWindow(m_hwnd);
    }
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    HWND Get() const { return m_hwnd; }

private:
    HWND m_hwnd;
};

// The floor: the bar's ground filled, then its folder labels and the open
// folder's item labels drawn where the bar draws them, in its font and colours.
class Floor {
public:
    explicit Floor(const servicebar::BarState& state) : m_state(state) {
        const servicebar::FontDescription& f = servicebar::ServiceSettings().folderFont;
        LOGFONTW lf{};
        lf.lfHeight = f.height;
        lf.lfWeight = f.weight;
        lf.lfCharSet = f.charSet;
        for (size_t i = 0; i < f.face.size() && i < LF_FACESIZE - 1; ++i)
            lf.lfFaceName[i] = static_cast<wchar_t>(f.face[i]);
        m_font = CreateFontIndirectW(&lf);
        for (const servicebar::BarFolder& folder : state.Content()) {
            m_folderLabels.emplace_back(folder.label);
            std::vector<servicebar::WideText> items;
            for (const servicebar::BarItem& item : folder.items) items.emplace_back(item.label);
            m_itemLabels.push_back(std::move(items));
        }
    }
    ~Floor() {
        if (m_font) DeleteObject(m_font);
    }
    Floor(const Floor&) = delete;
    Floor& operator=(const Floor&) = delete;

    bool IsValid() const { return m_font != nullptr; }

    void Paint(HDC dc, int width, int height) const {
        const servicebar::BarColours& colours = servicebar::ServiceSettings().colours;
        const servicebar::BarView& view = m_state.View();
        SelectObject(dc, GetStockObject(DC_BRUSH));
        SetDCBrushColor(dc, servicebar::ToColorRef(colours.crBackGroundColor));
        PatBlt(dc, 0, 0, width, height, PATCOPY);
        SetBkMode(dc, TRANSPARENT);
        HGDIOBJ previousFont = SelectObject(dc, m_font);
        SetTextColor(dc, servicebar::ToColorRef(colours.crFolderTextColor));
        for (size_t i = 0; i < view.headers.size(); ++i) {
            RECT rc = ToRect(view.headers[i]);
            DrawTextW(dc, m_folderLabels[i].Get(), m_folderLabels[i].Length(), &rc,
                      DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        }
        SetTextColor(dc, servicebar::ToColorRef(colours.crItemTextColor));
        const auto& labels = m_itemLabels[static_cast<size_t>(view.itemFolder)];
        for (const servicebar::ItemBox& box : view.items) {
            RECT rc = ToRect(box.textRect);
            const servicebar::WideText& label = labels[static_cast<size_t>(box.item)];
            DrawTextW(dc, label.Get(), label.Length(), &rc, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
        }
        SelectObject(dc, previousFont);
    }

private:
    static RECT ToRect(const servicebar::Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

    const servicebar::BarState& m_state;
    HFONT m_font = nullptr;
    std::vector<servicebar::WideText> m_folderLabels;
    std::vector<std::vector<servicebar::WideText>> m_itemLabels;
};

template <typename Paint>
double MicrosecondsPerRepaint(Paint&& paint, int count) {
    GdiFlush();
    const double start = NowMs();
    for (int i = 0; i < count; ++i) paint();
    GdiFlush();
    return (NowMs() - start) * 1000.0 / count;
}

}  // namespace

PaintFigures MeasurePaint() {
    PaintFigures figures;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &DefWindowProcW;
    wc.hInstance = instance;
    wc.lpszClassName = kParentClass;
    if (!RegisterClassExW(&wc)) return figures;

    constexpr int kWidth = launcher::MainWindow::kBarWidth;
    constexpr int kHeight = launcher::MainWindow::kBarHeight;
    // Never shown: WM_PRINTCLIENT paints a hidden control all the same.
    Window parent(CreateWindowExW(0, kParentClass, L"", WS_OVERLAPPED | WS_CAPTION, 0, 0,
                                  launcher::MainWindow::kWidth, launcher::MainWindow::kHeight, nullptr, nullptr,
                                  instance, nullptr));
    if (!parent.Get()) return figures;
    std::unique_ptr<ServiceBar> bar = ServiceBar::Create(parent.Get(), 0, 0, kWidth, kHeight, 1);
    harness::OffScreen target(kWidth, kHeight);
    if (!bar || !target.IsValid()) return figures;
    const Floor floor(bar->State());
    if (!floor.IsValid()) return figures;

    HDC dc = target.Dc();
    HWND barWindow = bar->Hwnd();
    auto paintBar = [&] { SendMessageW(barWindow, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT); };
    auto paintFloor = [&] { floor.Paint(dc, kWidth, kHeight); };

    MicrosecondsPerRepaint(paintBar, kWarmUp);
    MicrosecondsPerRepaint(paintFloor, kWarmUp);
    std::vector<double> barRounds;
    std::vector<double> floorRounds;
    // Rounds alternate, so that whatever else the machine does falls on both sides alike.
    for (int round = 0; round < kRounds; ++round) {
        barRounds.push_back(MicrosecondsPerRepaint(paintBar, kPerRound));
        floorRounds.push_back(MicrosecondsPerRepaint(paintFloor, kPerRound));
    }
    figures.ok = true;
    figures.repetitions = kRounds * kPerRound;
    figures.barUs = Summarise(barRounds);
    figures.floorUs = Summarise(floorRounds);
    return figures;
}

}  // namespace bench
