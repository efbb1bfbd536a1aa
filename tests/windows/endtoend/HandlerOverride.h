#pragma once
// Changes the desktop's handler for one kind of link (http, mailto) for the
// life of the object and puts the one it found back afterwards.

#include <string>

namespace endtoend {

class HandlerOverride {
public:
    // Takes the handler away, as if no program were set up for the scheme.
    static HandlerOverride Removed(const std::wstring& scheme);
    // Has the recorder lie still for `delayMs` before it records anything,
    // like a browser that takes seconds to come up.
    static HandlerOverride SlowToStart(const std::wstring& scheme, unsigned delayMs);

    HandlerOverride(HandlerOverride&& other) noexcept;
    HandlerOverride& operator=(HandlerOverride&&) = delete;
    HandlerOverride(const HandlerOverride&) = delete;
    HandlerOverride& operator=(const HandlerOverride&) = delete;
    ~HandlerOverride();

    // False if the registration could not be read or changed.
    bool Ok() const { return m_changed; }

private:
    explicit HandlerOverride(const std::wstring& scheme);

    std::wstring m_key;
    std::wstring m_command;
    bool m_saved = false;
    bool m_changed = false;
};

}  // namespace endtoend
