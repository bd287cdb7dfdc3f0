#include "framework/MessageHooks.h"

#include <utility>
#include <vector>

namespace fw {

namespace {

struct ThreadHooks {
    std::vector<std::pair<int, MessageHook>> hooks;
    HHOOK filter = nullptr;
    MSG* pumped = nullptr; // the message a pump of ours is handling
    int nextCookie = 1;
};

thread_local ThreadHooks t_hooks;

bool RunHooks(MSG* msg) {
    // A copy: a hook may remove itself or add another while it runs.
    auto hooks = t_hooks.hooks;
    for (auto& entry : hooks)
        if (entry.second(msg)) return true;
    return false;
}

// The same message, possibly in another record: IsDialogMessageA filters a converted copy.
bool IsPumped(const MSG* msg) {
    const MSG* p = t_hooks.pumped;
    return p && (msg == p || (msg->hwnd == p->hwnd && msg->message == p->message && msg->wParam == p->wParam &&
                              msg->lParam == p->lParam && msg->time == p->time && msg->pt.x == p->pt.x &&
                              msg->pt.y == p->pt.y));
}

LRESULT CALLBACK FilterProc(int code, WPARAM wParam, LPARAM lParam) {
    // Negative codes belong to the next hook alone; a message our own pump already offered
    // comes back here when its pre-translation asks IsDialogMessage.
    auto* msg = reinterpret_cast<MSG*>(lParam);
    if (code >= 0 && msg && !IsPumped(msg) && RunHooks(msg)) return 1;
    return ::CallNextHookEx(t_hooks.filter, code, wParam, lParam);
}

} // namespace

int AddMessageHook(MessageHook hook) {
    int cookie = t_hooks.nextCookie++;
    t_hooks.hooks.emplace_back(cookie, std::move(hook));
    if (!t_hooks.filter)
        t_hooks.filter = ::SetWindowsHookExA(WH_MSGFILTER, FilterProc, nullptr, ::GetCurrentThreadId());
    return cookie;
}

void RemoveMessageHook(int cookie) {
    auto& hooks = t_hooks.hooks;
    for (auto it = hooks.begin(); it != hooks.end(); ++it) {
        if (it->first == cookie) {
            hooks.erase(it);
            break;
        }
    }
    if (hooks.empty() && t_hooks.filter) {
        ::UnhookWindowsHookEx(t_hooks.filter);
        t_hooks.filter = nullptr;
    }
}

bool OfferToMessageHooks(MSG* msg) {
    return !t_hooks.hooks.empty() && RunHooks(msg);
}

CPumpedMessage::CPumpedMessage(MSG* msg) : m_pPrevious(t_hooks.pumped) {
    t_hooks.pumped = msg;
}

CPumpedMessage::~CPumpedMessage() {
    t_hooks.pumped = m_pPrevious;
}

} // namespace fw
