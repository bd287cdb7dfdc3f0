#include "controls/HtmlDrawer.h"

class CHtmlDrawerState {};

CHtmlDrawer::CHtmlDrawer() : m_state(std::make_unique<CHtmlDrawerState>()) {}
CHtmlDrawer::~CHtmlDrawer() = default;

void CHtmlDrawer::SetStyleSheet(const char*) {}
void CHtmlDrawer::SetStyleEntry(const char*, const char*) {}
void CHtmlDrawer::SetEnabled(bool) {}
void CHtmlDrawer::SetDisabledColor(COLORREF) {}
void CHtmlDrawer::SetCallbackHover(HWND, UINT, LPARAM) {}
void CHtmlDrawer::SetCallbackHyperlink(HWND, UINT, LPARAM) {}
void CHtmlDrawer::SetCallbackHoverText(HWND, UINT, LPARAM) {}
LONG CHtmlDrawer::GetRegKey(HKEY, const char*, char* out) {
    if (out) out[0] = 0;
    return ERROR_FILE_NOT_FOUND;
}
void CHtmlDrawer::Prepare(HDC, const char*, SIZE* size) {
    if (size) *size = SIZE{0, 0};
}
void CHtmlDrawer::DrawPrepared(HDC, const RECT&) {}
int CHtmlDrawer::HitTest(POINT) const {
    return -1;
}
BOOL CHtmlDrawer::MouseOver(POINT) {
    return FALSE;
}
void CHtmlDrawer::Click(POINT) {}
void CHtmlDrawer::DrawBackgroundPicture(HDC, const RECT&, const char*) {}
void CHtmlDrawer::SetShell(IHtmlShell*) {}
