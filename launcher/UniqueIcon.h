#pragma once
// Owns one icon handle and destroys it when it goes.

#include <windows.h>

#include <utility>

namespace launcher {

class UniqueIcon {
public:
    UniqueIcon() = default;
    explicit UniqueIcon(HICON icon) : m_icon(icon) {}
    ~UniqueIcon() { Reset(); }
    UniqueIcon(UniqueIcon&& other) noexcept : m_icon(std::exchange(other.m_icon, nullptr)) {}
    UniqueIcon& operator=(UniqueIcon&& other) noexcept {
        if (this != &other) {
            Reset();
            m_icon = std::exchange(other.m_icon, nullptr);
        }
        return *this;
    }
    UniqueIcon(const UniqueIcon&) = delete;
    UniqueIcon& operator=(const UniqueIcon&) = delete;

    HICON Get() const { return m_icon; }
    explicit operator bool() const { return m_icon != nullptr; }
    void Reset() {
        if (m_icon) DestroyIcon(m_icon);
        m_icon = nullptr;
    }

private:
    HICON m_icon = nullptr;
};

}  // namespace launcher
