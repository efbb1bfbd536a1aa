#pragma once
// The service bar control: the accordion that fills the main window.

#include "servicebar/AccessibleTree.h"
#include "servicebar/BarAccessible.h"
#include "servicebar/BarPainter.h"
#include "servicebar/BarState.h"
#include "servicebar/ComRef.h"
#include "servicebar/GdiHandles.h"
#include "servicebar/Settings.h"
#include "servicebar/WideText.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

// Called once per completed item click, from the event loop, after the bar's
// own mouse handling has returned.
using ItemClickHandler = void (*)(int32_t folder, int32_t item);

class ServiceBar {
public:
    // The bar's window class, for finding the bar from outside (tests, benchmarks).
    static constexpr wchar_t kClassName[] = L"VelmoraServiceBar";
    // Posted by the bar to itself for each completed item click: wParam is the
    // folder index, lParam the item index. Dispatching it calls the bound handler.
    static constexpr UINT kItemClickMessage = WM_USER + 1;
    static constexpr UINT_PTR kSlideTimerId = 1;
    // The pause after each slide step.
    static constexpr UINT kSlidePauseMs = 20;

    // Creates the bar as a hidden child of `parent` that takes the focus with
    // Tab. Returns nullptr if the window cannot be created.
    static std::unique_ptr<ServiceBar> Create(HWND parent, int x, int y, int width, int height,
                                              int controlId);
    ~ServiceBar();
    ServiceBar(const ServiceBar&) = delete;
    ServiceBar& operator=(const ServiceBar&) = delete;

    HWND Hwnd() const { return m_hwnd; }
    void BindItemClick(ItemClickHandler handler) { m_onItemClick = handler; }

    // The bar's logical state, for tests that want to check what they see.
    const servicebar::BarState& State() const { return *m_state; }

    // The default action of accessible child `childId` (AccessibleTree):
    // what a click on that header or item does.
    void DoDefaultAction(int32_t childId);

private:
    ServiceBar() = default;
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);

    bool OnCreate();
    void OnDestroy();
    void OnSize();
    void OnPaint();
    void Paint(HDC target, const RECT& area);
    bool OnSetCursor();
    void OnMouseMove(servicebar::Point p);
    void OnLeftDown(servicebar::Point p, bool secondClick);
    // Makes sure the bar hears of the pointer leaving it.
    void WatchForLeave();
    void OnItemClickMessage(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetObject(WPARAM wParam, LPARAM lParam);
    void Announce();

    servicebar::MeasureText MakeMeasurer(HDC dc) const;
    void Apply(const servicebar::Reaction& reaction);
    bool CreateTooltip();
    void RelayToTooltip(UINT msg, WPARAM wParam, LPARAM lParam);
    void SyncTooltipTools();
    void RemoveTooltipTools();

    HWND m_hwnd = nullptr;
    ItemClickHandler m_onItemClick = nullptr;
    servicebar::BarSettings m_settings = servicebar::ServiceSettings();
    std::unique_ptr<servicebar::BarState> m_state;

    servicebar::FontHandle m_folderFont;
    servicebar::FontHandle m_itemFont;
    std::vector<servicebar::WideText> m_folderLabels;
    std::vector<std::vector<servicebar::WideText>> m_itemLabels;
    std::vector<servicebar::WideText> m_folderTips;
    std::vector<std::vector<servicebar::WideText>> m_itemTips;
    std::unique_ptr<servicebar::BackBuffer> m_backBuffer;
    servicebar::HeaderArt m_headerArt;

    servicebar::OwnedWindow m_tooltip;
    bool m_tooltipTried = false;
    std::vector<UINT_PTR> m_toolIds;
    // What the registered tools were laid out for; they follow every change of it.
    struct ToolLayoutKey {
        int32_t folder = -1;
        int32_t first = -1;
        bool sliding = false;
        int width = -1;
        int height = -1;
        bool operator==(const ToolLayoutKey& o) const {
            return folder == o.folder && first == o.first && sliding == o.sliding && width == o.width &&
                   height == o.height;
        }
    };
    ToolLayoutKey m_toolsKey;


    // Made at the first request of a screen reader; cut loose when the window goes.
    servicebar::ComRef<servicebar::BarAccessible> m_accessible;
    bool m_destroyed = false;
    // The children as assistive technology was last told about them.
    std::vector<servicebar::AccessibleChild> m_announced;
};
