#pragma once
// What the bar of the program under test really received: its left-button
// messages and its item-click events, in the order its thread took them from
// the queue. A message hook (messagewatch.dll, next to the test program) runs
// inside that thread and writes them into a block this side maps.

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace endtoend {

struct WatchedMessage {
    UINT message;
    // Client coordinates for the mouse messages; folder and item for the
    // item-click event.
    int32_t a;
    int32_t b;
};

inline constexpr size_t kWatchCapacity = 1 << 16;

struct MessageWatchBlock {
    volatile LONG count;
    uint64_t bar;
    WatchedMessage messages[kWatchCapacity];
};

inline constexpr wchar_t kMessageWatchFileName[] = L"messagewatch.dll";
inline constexpr char kMessageWatchHookName[] = "MessageWatchHook";

inline std::wstring MessageWatchBlockName(DWORD processId) {
    return L"VelmoraMessageWatch-" + std::to_wstring(processId);
}

// Watches `bar` for the life of the object.
class MessageWatch {
public:
    explicit MessageWatch(HWND bar);
    ~MessageWatch();
    MessageWatch(const MessageWatch&) = delete;
    MessageWatch& operator=(const MessageWatch&) = delete;

    bool Ok() const { return m_hook != nullptr; }
    std::vector<WatchedMessage> Messages() const;

private:
    HANDLE m_mapping = nullptr;
    MessageWatchBlock* m_block = nullptr;
    HMODULE m_library = nullptr;
    HHOOK m_hook = nullptr;
};

}  // namespace endtoend
