#include "frame/BaseMDITool.h"

#include "app/Session.h"
#include "app/VORLANApp.h"
#include "forms/FormKeysLogic.h"
#include "resources/MainFrameIds.h"
#include "resources/resource.h"

namespace {

constexpr int kNoTextMode = 2; // the main toolbar's record: buttons without text

vorlan::ToolbarLooks ToolbarSettings() {
    std::string record;
    if (!theApp.GetProfileBinary("Settings\\Windows\\", "ITBar", record)) return vorlan::ToolbarLooks{};
    return vorlan::ReadToolbarRecord(record.data(), record.size());
}

// The hot images only where the system draws them (the application's image-list rule).
void SetImages(CToolBarCtrl& bar, UINT normal, UINT hot, UINT disabled) {
    HIMAGELIST n = normal ? theApp.LoadImageList(normal, false) : nullptr;
    HIMAGELIST h = hot && theApp.IsThemeActive() ? theApp.LoadImageList(hot, false) : nullptr;
    HIMAGELIST d = disabled ? theApp.LoadImageList(disabled, false) : nullptr;
    bar.SetImageLists(n, h, d);
}

TBBUTTON Button(int image, UINT command, BYTE state, BYTE style, const char* text) {
    TBBUTTON b{};
    b.iBitmap = image;
    b.idCommand = static_cast<int>(command);
    b.fsState = state;
    b.fsStyle = style;
    b.iString = text ? reinterpret_cast<INT_PTR>(text) : -1; // -1: no text (0 would be string 0)
    return b;
}

TBBUTTON Separator() {
    TBBUTTON b{};
    b.fsStyle = BTNS_SEP;
    return b;
}

// A button's text: the tip of a "prompt\ntip" string, else the string.
CString ButtonText(UINT id) {
    CString s;
    s.LoadString(id);
    int nl = s.Find('\n');
    return nl >= 0 ? s.Mid(nl + 1) : s;
}

} // namespace

// ---- CBaseMDITool

CBaseMDITool::CBaseMDITool() {
    for (int& e : m_enable)
        e = -1;
}

int CBaseMDITool::GetEnable(int index) const {
    return index >= 0 && index < vorlan::kKeyCount ? m_enable[index] : 0;
}

void CBaseMDITool::SetEnable(int index, int value) {
    if (index >= 0 && index < vorlan::kKeyCount) m_enable[index] = value;
}

int CBaseMDITool::GetCheck(int index) const {
    return index >= 0 && index < vorlan::kKeyCount ? m_check[index] : 0;
}

int CBaseMDITool::Create(HWND parent, const std::vector<std::string>& keys, int count, int) {
    auto run = [](const std::string& code) { return TheSession().Execute(code.c_str()).str(); };
    if (!vorlan::AnyKeyImage(keys, count)) return 0;
    if (!CreateEx(WS_EX_TOOLWINDOW, fwbars::kToolStyle, fwbars::kToolExStyle, CRect(0, 0, 0, 0), parent, kId))
        return 0;
    vorlan::ToolbarLooks looks = ToolbarSettings();
    if (!looks.present || looks.largeIcons)
        SetImages(*this, IDB_FKEY_TOOL, IDB_FKEY_TOOL_HOT, 0);
    else
        SetImages(*this, IDB_MENUTREE, IDB_MENUTREE, 0);
    bool texts = looks.textMode != kNoTextMode;
    std::vector<vorlan::KeyMenuItem> items = vorlan::KeyToolButtons(keys, count, run);
    std::vector<TBBUTTON> buttons;
    for (const vorlan::KeyMenuItem& item : items)
        buttons.push_back(item.separator ? Separator()
                                         : Button(item.image, item.command, TBSTATE_ENABLED, BTNS_SHOWTEXT,
                                                  texts ? item.text.c_str() : nullptr));
    if (!buttons.empty()) AddButtons(buttons.data(), static_cast<int>(buttons.size()));
    SetButtonWidth(0, kMaxButtonWidth);
    SendMessage(TB_AUTOSIZE);
    return 1;
}

void CBaseMDITool::CheckFKeys() {
    CString answer = TheSession().Execute(vorlan::kFunkWalkLine);
    for (const vorlan::FunkEntry& e : vorlan::ParseFunkAnswer(answer.str())) {
        m_check[e.index] = e.checked;
        m_enable[e.index] = e.enabled ? 1 : 0;
        if (!m_hWnd || !e.command || CommandToIndex(e.command) < 0) continue;
        CheckButton(e.command, e.checked != 0);
        EnableButton(e.command, e.enabled);
    }
}

// ---- CBaseModalTool

int CBaseModalTool::Create(HWND parent, HWND frame, bool noWindow) {
    m_hFrame = frame;
    bool hidden = noWindow && TheSession().Execute(vorlan::kNoWindowLine) != "0";
    DWORD style = hidden ? WS_CHILD : fwbars::kToolStyle | TBSTYLE_LIST;
    if (!CreateEx(hidden ? 0 : WS_EX_TOOLWINDOW, style, fwbars::kToolExStyle, CRect(0, 0, 0, 0), parent, kId))
        return 0;
    SetImages(*this, IDB_MODAL_TOOL, IDB_MODAL_TOOL_HOT, IDB_MODAL_TOOL_DISABLED);
    BYTE unlessNoWindow = noWindow ? 0 : TBSTATE_ENABLED;
    CString close = ButtonText(IDS_CLOSE_BUTTON), f2 = ButtonText(IDS_F2_BUTTON),
            ok = ButtonText(IDS_OK_BUTTON), grid = ButtonText(IDS_BAR_PRINT), menu = ButtonText(ID_FORM_MENU);
    // The pictures are numbered as the main frame's button bar numbers them.
    TBBUTTON buttons[] = {
        Button(6, ID_FORM_CLOSE, unlessNoWindow, BTNS_BUTTON, close),
        Button(7, ID_FORM_F2, 0, BTNS_BUTTON, f2),
        Button(8, ID_FORM_OK, unlessNoWindow, BTNS_SHOWTEXT, ok),
        Separator(),
        Button(11, ID_GRID_PRINT, 0, BTNS_BUTTON, grid),
        Button(15, ID_FORM_MENU, 0, BTNS_WHOLEDROPDOWN | BTNS_SHOWTEXT, menu),
    };
    AddButtons(buttons, static_cast<int>(sizeof buttons / sizeof buttons[0]));
    SetButtonWidth(0, CBaseMDITool::kMaxButtonWidth);
    SendMessage(TB_AUTOSIZE);
    return 1;
}

LRESULT CBaseModalTool::ButtonDropDown(const NMTOOLBARA* info) {
    HWND target = m_hFrame ? m_hFrame : ::GetParent(m_hWnd);
    if (info && target) ::SendMessageA(target, WM_COMMAND, static_cast<WPARAM>(info->iItem), 0);
    return 0;
}
