// The hook side of MessageWatch: runs on the program's user-interface thread.
#include <windows.h>
#include <windowsx.h>

#include "servicebar/ServiceBar.h"
#include "tests/windows/endtoend/MessageWatch.h"

using endtoend::MessageWatchBlock;

namespace {

MessageWatchBlock* Block() {
    // Mapped once and kept for the life of the process: the hook may run
    // until the watching side unhooks it.
    static MessageWatchBlock* block = [] {
        HANDLE mapping = OpenFileMappingW(FILE_MAP_WRITE, FALSE,
                                          endtoend::MessageWatchBlockName(GetCurrentProcessId()).c_str());
        return mapping ? static_cast<MessageWatchBlock*>(
                             MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(MessageWatchBlock)))
                       : nullptr;
    }();
    return block;
}

bool Watched(UINT message) {
    return message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK || message == WM_LBUTTONUP ||
           message == ServiceBar::kItemClickMessage;
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK MessageWatchHook(int code, WPARAM wParam, LPARAM lParam) {
    const MSG* msg = reinterpret_cast<const MSG*>(lParam);
    MessageWatchBlock* block = code == HC_ACTION && wParam == PM_REMOVE ? Block() : nullptr;
    if (block && reinterpret_cast<uint64_t>(msg->hwnd) == block->bar && Watched(msg->message) &&
        static_cast<size_t>(block->count) < endtoend::kWatchCapacity) {
        endtoend::WatchedMessage& m = block->messages[block->count];
        m.message = msg->message;
        if (msg->message == ServiceBar::kItemClickMessage) {
            m.a = static_cast<int32_t>(msg->wParam);
            m.b = static_cast<int32_t>(msg->lParam);
        } else {
            m.a = GET_X_LPARAM(msg->lParam);
            m.b = GET_Y_LPARAM(msg->lParam);
        }
        InterlockedIncrement(&block->count);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
