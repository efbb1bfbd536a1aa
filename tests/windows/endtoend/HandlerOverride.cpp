#include "tests/windows/endtoend/HandlerOverride.h"

#include <windows.h>

#include <utility>

namespace endtoend {

namespace {
bool WriteCommand(const std::wstring& key, const std::wstring& command) {
    HKEY handle = nullptr;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr) !=
        ERROR_SUCCESS) {
        return false;
    }
    const bool written = RegSetValueExW(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                                        static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    RegCloseKey(handle);
    return written;
}
}  // namespace

HandlerOverride::HandlerOverride(const std::wstring& scheme) : m_key(scheme + L"\\shell\\open\\command") {
    wchar_t command[1024] = {};
    DWORD size = sizeof command;
    m_saved = RegGetValueW(HKEY_CLASSES_ROOT, m_key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, command, &size) ==
              ERROR_SUCCESS;
    m_command = command;
}

HandlerOverride HandlerOverride::Removed(const std::wstring& scheme) {
    HandlerOverride o(scheme);
    o.m_changed = o.m_saved && RegDeleteTreeW(HKEY_CLASSES_ROOT, o.m_key.c_str()) == ERROR_SUCCESS;
    return o;
}

HandlerOverride HandlerOverride::SlowToStart(const std::wstring& scheme, unsigned delayMs) {
    HandlerOverride o(scheme);
    // The registered command is "…\recorder.exe" "%1": the option goes between.
    const size_t text = o.m_command.rfind(L"\"%1\"");
    if (o.m_saved && text != std::wstring::npos) {
        std::wstring slow = o.m_command;
        slow.insert(text, L"--start-delay-ms " + std::to_wstring(delayMs) + L" ");
        o.m_changed = WriteCommand(o.m_key, slow);
    }
    return o;
}

HandlerOverride::HandlerOverride(HandlerOverride&& other) noexcept
    : m_key(std::move(other.m_key)),
      m_command(std::move(other.m_command)),
      m_saved(other.m_saved),
      m_changed(std::exchange(other.m_changed, false)) {}

HandlerOverride::~HandlerOverride() {
    if (m_changed) WriteCommand(m_key, m_command);
}

}  // namespace endtoend
