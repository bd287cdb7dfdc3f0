#include "framework/MessageHooks.h"

#include <utility>
#include <vector>

namespace fw {

namespace {

struct ThreadHooks {
    std::vector<std::pair<int, MessageHook>> hooks;
    HHOOK filter = nullptr;
};

// Plain pointers only: a thread-local object with a destructor would run it when any thread
// that ever pumped ends, and such destructors hang the end of the process here. The record
// lives while the thread has hooks.
thread_local ThreadHooks* t_hooks = nullptr;
thread_local MSG* t_pumped = nullptr; // the message a pump of ours is handling
LONG g_nextCookie = 0;

bool RunHooks(MSG* msg) {
    if (!t_hooks) return false;
    // A copy: a hook may remove itself or add another while it runs.
    auto hooks = t_hooks->hooks;
    for (auto& entry : hooks)
        if (entry.second(msg)) return true;
    return false;
}

// The same message, possibly in another record: IsDialogMessageA filters a converted copy.
bool IsPumped(const MSG* msg) {
    const MSG* p = t_pumped;
    return p && (msg == p || (msg->hwnd == p->hwnd && msg->message == p->message &&
                              msg->wParam == p->wParam && msg->lParam == p->lParam && msg->time == p->time &&
                              msg->pt.x == p->pt.x && msg->pt.y == p->pt.y));
}

LRESULT CALLBACK FilterProc(int code, WPARAM wParam, LPARAM lParam) {
    // Negative codes belong to the next hook alone; a message our own pump already offered
    // comes back here when its pre-translation asks IsDialogMessage.
    auto* msg = reinterpret_cast<MSG*>(lParam);
    if (code >= 0 && msg && !IsPumped(msg) && RunHooks(msg)) return 1;
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

int AddMessageHook(MessageHook hook) {
    if (!t_hooks) t_hooks = new ThreadHooks;
    // Cookies are unique in the process, so a stale one never removes another thread's hook.
    int cookie = static_cast<int>(::InterlockedIncrement(&g_nextCookie));
    t_hooks->hooks.emplace_back(cookie, std::move(hook));
    if (!t_hooks->filter)
        t_hooks->filter = ::SetWindowsHookExA(WH_MSGFILTER, FilterProc, nullptr, ::GetCurrentThreadId());
    return cookie;
}

void RemoveMessageHook(int cookie) {
    if (!t_hooks) return;
    auto& hooks = t_hooks->hooks;
    for (auto it = hooks.begin(); it != hooks.end(); ++it) {
        if (it->first == cookie) {
            hooks.erase(it);
            break;
        }
    }
    if (!hooks.empty()) return;
    if (t_hooks->filter) ::UnhookWindowsHookEx(t_hooks->filter);
    // A hook running now works on its own copy of the list.
    delete t_hooks;
    t_hooks = nullptr;
}

bool OfferToMessageHooks(MSG* msg) {
    return t_hooks && RunHooks(msg);
}

CPumpedMessage::CPumpedMessage(MSG* msg) : m_pPrevious(t_pumped) {
    t_pumped = msg;
}

CPumpedMessage::~CPumpedMessage() {
    t_pumped = m_pPrevious;
}

} // namespace fw
