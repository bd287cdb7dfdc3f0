#include "framework/MessageWnd.h"

namespace {
constexpr const char* kClassName = "FwMessageOnly";
}

bool fw::CreateMessageOnly(CWnd& wnd, const char* title) {
    if (!CWnd::RegisterWindowClass(kClassName, 0, nullptr, nullptr, nullptr)) return false;
    RECT none{};
    return wnd.CreateEx(0, kClassName, title, 0, none, HWND_MESSAGE, 0);
}
