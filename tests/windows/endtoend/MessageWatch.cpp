#include "tests/windows/endtoend/MessageWatch.h"

namespace endtoend {

MessageWatch::MessageWatch(HWND bar) {
    DWORD pid = 0;
    const DWORD thread = GetWindowThreadProcessId(bar, &pid);
    if (!thread) return;
    m_mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(MessageWatchBlock),
                                   MessageWatchBlockName(pid).c_str());
    if (!m_mapping) return;
    m_block = static_cast<MessageWatchBlock*>(MapViewOfFile(m_mapping, FILE_MAP_WRITE, 0, 0, sizeof(MessageWatchBlock)));
    if (!m_block) return;
    m_block->count = 0;
    m_block->bar = reinterpret_cast<uint64_t>(bar);
    wchar_t self[MAX_PATH] = {};
    const std::wstring exe(self, GetModuleFileNameW(nullptr, self, MAX_PATH));
    m_library = LoadLibraryW((exe.substr(0, exe.find_last_of(L'\\') + 1) + kMessageWatchFileName).c_str());
    if (!m_library) return;
    // Through the generic function type, which GCC accepts as a cast between any two.
    const auto hook = reinterpret_cast<HOOKPROC>(
        reinterpret_cast<void (*)()>(GetProcAddress(m_library, kMessageWatchHookName)));
    if (hook) m_hook = SetWindowsHookExW(WH_GETMESSAGE, hook, m_library, thread);
}

MessageWatch::~MessageWatch() {
    if (m_hook) UnhookWindowsHookEx(m_hook);
    if (m_library) FreeLibrary(m_library);
    if (m_block) UnmapViewOfFile(m_block);
    if (m_mapping) CloseHandle(m_mapping);
}

std::vector<WatchedMessage> MessageWatch::Messages() const {
    if (!m_block) return {};
    const size_t n = std::min<size_t>(static_cast<size_t>(m_block->count), kWatchCapacity);
    return std::vector<WatchedMessage>(m_block->messages, m_block->messages + n);
}

}  // namespace endtoend
