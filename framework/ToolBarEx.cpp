#include "framework/ToolBarEx.h"

#include <commctrl.h>

#include <vector>

bool CToolBarEx::Create(HWND parent, DWORD, UINT id) {
    if (!parent) return false;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&icc);
    constexpr DWORD kBarStyles = TBSTYLE_FLAT | TBSTYLE_TRANSPARENT | TBSTYLE_TOOLTIPS; // 0x8900
    if (!CWnd::CreateEx(0, TOOLBARCLASSNAMEA, "", 0x56000022 | kBarStyles, CRect(0, 0, 0, 0), parent, id))
        return false;
    SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    return true;
}

bool CToolBarEx::LoadToolBar(HINSTANCE module, UINT id) {
    HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(kToolBarResourceType));
    HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
    const auto* words = loaded ? static_cast<const WORD*>(::LockResource(loaded)) : nullptr;
    DWORD bytes = found ? ::SizeofResource(module, found) : 0;
    if (!words || bytes < 4 * sizeof(WORD) || words[0] != 1) return false;
    const int width = words[1], height = words[2], count = words[3];
    if (width == 0 || height == 0 || bytes < (4u + count) * sizeof(WORD)) return false;
    HIMAGELIST images = ImageList_LoadImageA(module, MAKEINTRESOURCEA(id), width, 0, RGB(255, 0, 255),
                                             IMAGE_BITMAP, LR_CREATEDIBSECTION);
    if (!images) return false;
    SendMessage(TB_SETBITMAPSIZE, 0, MAKELPARAM(width, height));
    SetImageLists(images, nullptr, nullptr);
    std::vector<TBBUTTON> buttons(static_cast<size_t>(count));
    int image = 0;
    for (int i = 0; i < count; ++i) {
        TBBUTTON& b = buttons[static_cast<size_t>(i)];
        b = TBBUTTON{};
        b.idCommand = words[4 + i];
        b.fsState = TBSTATE_ENABLED;
        if (b.idCommand == 0) {
            b.fsStyle = BTNS_SEP;
        } else {
            b.fsStyle = BTNS_BUTTON;
            b.iBitmap = image++;
        }
    }
    return count == 0 || AddButtons(buttons.data(), count);
}
