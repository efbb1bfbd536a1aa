#include "links/Dispatch.h"

#include "links/ItemClick.h"
#include "links/ShellCalls.h"

void onServiceItemClicked(int32_t folder, int32_t item) {
    DispatchItemClick(folder, item, [](const char* link) { openLink(link); });
}

void openLink(const char* link) {
    openLinkWith(ShellCalls{}, link);
}

void openLinkWith(const ShellCalls& calls, const char* link) {
    // An Internet Explorer window that is already open becomes the owner of
    // anything the desktop shows about the link, so such a message appears
    // over the browser instead of behind it. The title must match as a whole;
    // the ANSI calls are deliberate, the link is plain ASCII.
    HWND owner = calls.m_findWindowEx(nullptr, nullptr, nullptr, "Microsoft Internet Explorer");
    // Whatever the desktop makes of the link is its own business: a link it
    // cannot open is not reported.
    calls.m_shellExecute(owner, "open", link, nullptr, nullptr, SW_SHOWNORMAL);
}
