#pragma once
// A label as the W calls take it: UTF-16 code units and a closing zero.
//
// Held in a vector rather than a std::wstring: the library's ready-made wide
// string code would bring its exception machinery into a program that has no
// use for it, and that alone would double the size of the .exe.

#include <string_view>
#include <vector>

namespace servicebar {

class WideText {
public:
    explicit WideText(std::u16string_view text) {
        static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide strings are UTF-16");
        m_units.reserve(text.size() + 1);
        for (char16_t unit : text) m_units.push_back(static_cast<wchar_t>(unit));
        m_units.push_back(L'\0');
    }

    const wchar_t* Get() const { return m_units.data(); }
    // In code units, without the closing zero.
    int Length() const { return static_cast<int>(m_units.size()) - 1; }

private:
    std::vector<wchar_t> m_units;
};

}  // namespace servicebar
