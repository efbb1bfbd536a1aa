#pragma once
// Owns one reference to a COM object: released exactly once, never copied.

#include <unknwn.h>

#include <utility>

namespace servicebar {

template <typename Interface>
class ComRef {
public:
    ComRef() = default;
    // Takes over a reference the caller already holds.
    explicit ComRef(Interface* adopted) : m_ptr(adopted) {}
    ~ComRef() { Reset(); }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ComRef(ComRef&& other) noexcept : m_ptr(std::exchange(other.m_ptr, nullptr)) {}
    ComRef& operator=(ComRef&& other) noexcept {
        if (this != &other) {
            Reset();
            m_ptr = std::exchange(other.m_ptr, nullptr);
        }
        return *this;
    }

    Interface* Get() const { return m_ptr; }
    Interface* operator->() const { return m_ptr; }
    explicit operator bool() const { return m_ptr != nullptr; }
    // For functions that hand out a new reference through an out parameter.
    Interface** Receive() {
        Reset();
        return &m_ptr;
    }
    void Reset() {
        if (m_ptr) std::exchange(m_ptr, nullptr)->Release();
    }

private:
    Interface* m_ptr = nullptr;
};

}  // namespace servicebar
