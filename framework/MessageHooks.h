#pragma once
// Message hooks of a thread: a hook is offered every message that one of the thread's pumps
// takes from the queue, before pre-translation, and may keep it. Our own loops offer their
// messages themselves; the system's modal loops (dialog and message boxes, menus) reach the
// hooks through a message-filter hook that is installed while the thread has any.

#include <windows.h>

#include <functional>

namespace fw {

using MessageHook = std::function<bool(MSG* msg)>;

// Adds a hook for the calling thread; the result names it for RemoveMessageHook (never 0).
int AddMessageHook(MessageHook hook);
void RemoveMessageHook(int cookie);

// The pumps' side: true when a hook kept the message (it must then be neither translated
// nor dispatched). A pump marks the message with CPumpedMessage until it has dispatched it,
// so that IsDialogMessage in its pre-translation does not offer it a second time.
bool OfferToMessageHooks(MSG* msg);

// Marks the message a pump is handling from its offer to its dispatch.
class CPumpedMessage {
  public:
    explicit CPumpedMessage(MSG* msg);
    ~CPumpedMessage();
    CPumpedMessage(const CPumpedMessage&) = delete;
    CPumpedMessage& operator=(const CPumpedMessage&) = delete;

  private:
    MSG* m_pPrevious;
};

} // namespace fw
