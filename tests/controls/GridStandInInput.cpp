// Stand-ins for the grid's input and drag-and-drop members while a tree has no
// controls/GridCtrlInput.cpp: every message goes to the default procedure, nothing is
// edited, dragged or copied. Built into the grid's tests and benchmark only, and only then.
#include "controls/GridCtrl.h"

#define GRID_DEFAULT(name, msg) \
    LRESULT CGridCtrl::name(WPARAM w, LPARAM l) { return CWnd::WindowProc(msg, w, l); }
GRID_DEFAULT(OnHScroll, WM_HSCROLL)
GRID_DEFAULT(OnVScroll, WM_VSCROLL)
GRID_DEFAULT(OnLButtonDown, WM_LBUTTONDOWN)
GRID_DEFAULT(OnLButtonUp, WM_LBUTTONUP)
GRID_DEFAULT(OnLButtonDblClk, WM_LBUTTONDBLCLK)
GRID_DEFAULT(OnRButtonDown, WM_RBUTTONDOWN)
GRID_DEFAULT(OnRButtonUp, WM_RBUTTONUP)
GRID_DEFAULT(OnMButtonDown, WM_MBUTTONDOWN)
GRID_DEFAULT(OnMouseMove, WM_MOUSEMOVE)
GRID_DEFAULT(OnMouseWheel, WM_MOUSEWHEEL)
GRID_DEFAULT(OnSetCursor, WM_SETCURSOR)
GRID_DEFAULT(OnCaptureChanged, WM_CAPTURECHANGED)
GRID_DEFAULT(OnCancelMode, WM_CANCELMODE)
GRID_DEFAULT(OnKeyDown, WM_KEYDOWN)
GRID_DEFAULT(OnChar, WM_CHAR)
GRID_DEFAULT(OnGetDlgCode, WM_GETDLGCODE)
GRID_DEFAULT(OnTimer, WM_TIMER)
GRID_DEFAULT(OnSetFocus, WM_SETFOCUS)
GRID_DEFAULT(OnKillFocus, WM_KILLFOCUS)
GRID_DEFAULT(OnEnable, WM_ENABLE)
GRID_DEFAULT(OnNcActivate, WM_NCACTIVATE)
GRID_DEFAULT(OnCtlColor, WM_CTLCOLOREDIT)
GRID_DEFAULT(OnSettingChange, WM_SETTINGCHANGE)
GRID_DEFAULT(OnCommand, WM_COMMAND)
GRID_DEFAULT(OnNotify, WM_NOTIFY)
#undef GRID_DEFAULT

bool CGridCtrl::PreTranslateMessage(MSG*) { return false; }
bool CGridCtrl::EditCellAt(int, int, UINT, const CPoint*, LONG) { return false; }
bool CGridCtrl::RegisterDropTarget() { return true; }
void CGridCtrl::RevokeDropTarget() {}
COleDataSource* CGridCtrl::CreateDragData() { return nullptr; }
bool CGridCtrl::PasteData(int, int, COleDataObject*) { return false; }
void CGridCtrl::OnEditCut() {}
void CGridCtrl::OnEditCopy() {}
void CGridCtrl::OnEditPaste() {}
void CGridCtrl::OnEditSelectAll() {}
HIMAGELIST CGridCtrl::CreateDragImage(CSize*) { return nullptr; }
void CGridCtrl::CopyMetafileToClipboard() {}
