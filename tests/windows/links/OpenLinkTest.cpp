// What openLink hands to the shell: the real window lookup runs, the shell's
// open service is replaced by a recorder so that no browser starts.

#include "links/LinkTable.h"
#include "links/ShellCalls.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr const wchar_t* kIeTitle = L"Microsoft Internet Explorer";

struct ShellExecuteCall {
    HWND m_owner;
    LPCSTR m_verb;
    LPCSTR m_file;
    LPCSTR m_parameters;
    LPCSTR m_directory;
    INT m_show;
};

// ShellCalls whose open service records each call instead of opening
// anything; the window lookup stays the real one.
class RecordingShell {
public:
    RecordingShell() {
        m_calls.m_shellExecute = [this](HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters,
                                        LPCSTR directory, INT show) {
            m_opened.push_back({owner, verb, file, parameters, directory, show});
            // What the real call returns for success; openLink must not care.
            return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(42));
        };
    }

    // The owner passed by one openLink, which must open exactly once.
    HWND OwnerOfOneOpen() {
        m_opened.clear();
        openLinkWith(m_calls, "http://www.velmora.example");
        EXPECT_EQ(m_opened.size(), 1u);
        return m_opened.empty() ? nullptr : m_opened.front().m_owner;
    }

    ShellCalls m_calls;
    std::vector<ShellExecuteCall> m_opened;
};

// A hidden window with the given title, destroyed with the object.
class TestWindow {
public:
    explicit TestWindow(const wchar_t* title, HWND parent = nullptr)
        : m_hwnd(CreateWindowExW(0, L"STATIC", title, parent ? WS_CHILD : WS_OVERLAPPED, 0, 0, 100,
                                 100, parent, nullptr, GetModuleHandleW(nullptr), nullptr)) {}
    ~TestWindow() {
        if (m_hwnd) {
            DestroyWindow(m_hwnd);
        }
    }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    HWND Hwnd() const { return m_hwnd; }

private:
    HWND m_hwnd;
};

class OpenLink : public testing::Test {
protected:
    void SetUp() override {
        // Every test assumes a desktop without a browser window of that name.
        ASSERT_EQ(FindWindowW(nullptr, kIeTitle), nullptr);
    }
    RecordingShell m_shell;
};

TEST_F(OpenLink, HasNoOwnerWhenNoWindowHasTheTitle) {
    EXPECT_EQ(m_shell.OwnerOfOneOpen(), nullptr);
}

TEST_F(OpenLink, OwnerIsTheWindowWhoseWholeTitleMatches) {
    TestWindow before(L"Microsoft Internet Explorer - page");
    TestWindow browser(kIeTitle);
    TestWindow after(L"Microsoft Internet Explorer - page");
    ASSERT_NE(browser.Hwnd(), nullptr);
    EXPECT_EQ(m_shell.OwnerOfOneOpen(), browser.Hwnd());
}

TEST_F(OpenLink, WindowWhoseTitleOnlyContainsTheWordsIsNoOwner) {
    const wchar_t* titles[] = {
        L"Microsoft Internet Explorer - page",
        L"page - Microsoft Internet Explorer",
        L"Microsoft Internet Explorer ",
        L"Microsoft Internet",
        L"Internet Explorer",
    };
    for (const wchar_t* title : titles) {
        TestWindow window(title);
        ASSERT_NE(window.Hwnd(), nullptr);
        EXPECT_EQ(m_shell.OwnerOfOneOpen(), nullptr) << testing::PrintToString(std::wstring(title));
    }
}

TEST_F(OpenLink, ChildWindowWithTheTitleIsNoOwner) {
    TestWindow parent(L"Velmora test parent");
    TestWindow child(kIeTitle, parent.Hwnd());
    ASSERT_NE(child.Hwnd(), nullptr);
    EXPECT_EQ(m_shell.OwnerOfOneOpen(), nullptr);
}

TEST_F(OpenLink, OwnerIsLookedUpAgainForEveryLink) {
    {
        TestWindow browser(kIeTitle);
        ASSERT_NE(browser.Hwnd(), nullptr);
        EXPECT_EQ(m_shell.OwnerOfOneOpen(), browser.Hwnd());
    }
    EXPECT_EQ(m_shell.OwnerOfOneOpen(), nullptr);
}

TEST_F(OpenLink, HandsEachLinkUnchangedToTheOpenVerb) {
    std::vector<const char*> links;
    for (const LinkRow& row : LinkTable) {
        links.push_back(row.m_link);
    }
    // Characters that any escaping or URL parsing would touch.
    links.push_back("http://a.example/p a?q=%20&r=1#x");
    for (const char* link : links) {
        SCOPED_TRACE(link);
        std::string before = link;
        m_shell.m_opened.clear();
        openLinkWith(m_shell.m_calls, link);
        ASSERT_EQ(m_shell.m_opened.size(), 1u);
        const ShellExecuteCall& call = m_shell.m_opened.front();
        ASSERT_NE(call.m_verb, nullptr);
        EXPECT_STREQ(call.m_verb, "open");
        EXPECT_EQ(call.m_file, link);
        EXPECT_EQ(std::string(link), before);
        EXPECT_EQ(call.m_parameters, nullptr);
        EXPECT_EQ(call.m_directory, nullptr);
        EXPECT_EQ(call.m_show, SW_SHOWNORMAL);
    }
}

TEST(OpenLinkOrder, LooksUpTheOwnerByTitleOnlyAndThenOpens) {
    const HWND kFoundWindow = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x1234));
    std::vector<std::string> events;
    ShellCalls calls;
    calls.m_findWindowEx = [&](HWND parent, HWND childAfter, LPCSTR className, LPCSTR windowName) {
        events.push_back("find");
        EXPECT_EQ(parent, nullptr);
        EXPECT_EQ(childAfter, nullptr);
        EXPECT_EQ(className, nullptr);
        EXPECT_STREQ(windowName, "Microsoft Internet Explorer");
        return kFoundWindow;
    };
    calls.m_shellExecute = [&](HWND owner, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT) {
        events.push_back("open");
        EXPECT_EQ(owner, kFoundWindow);
        // A failure (here "file not found") is not acted on.
        return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(SE_ERR_FNF));
    };
    openLinkWith(calls, "mailto:support@velmora.example");
    EXPECT_EQ(events, (std::vector<std::string>{"find", "open"}));
}

}  // namespace
