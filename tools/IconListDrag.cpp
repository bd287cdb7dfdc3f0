// Icons dragged out of the desktop and dropped onto it.
#include "tools/IconList.h"

#include "app/ProtocolLog.h"
#include "app/Session.h"
#include "tools/IconDropSource.h"
#include "tools/IconListLogic.h"

#include <commctrl.h>

#include <cstring>

void CIconList::OnBeginDrag(const NMLISTVIEW* info) {
    if (info->iItem < 0 || ::SendMessageA(m_hWnd, LVM_GETSELECTEDCOUNT, 0, 0) == 0) return;
    vorlan::TraceFunction("CIconList::OnBeginDrag");
    m_nDragItem = info->iItem;
    POINT corner{};
    HIMAGELIST image = reinterpret_cast<HIMAGELIST>(SendMessage(
        LVM_CREATEDRAGIMAGE, static_cast<WPARAM>(m_nDragItem), reinterpret_cast<LPARAM>(&corner)));
    m_ptDragHotSpot = POINT{info->ptAction.x - corner.x, info->ptAction.y - corner.y};
    if (image) ::ImageList_BeginDrag(image, 0, m_ptDragHotSpot.x, m_ptDragHotSpot.y);

    vorlan::IconDragRecord record =
        vorlan::BuildDesktopDragRecord(m_nDragItem, info->ptAction.x, info->ptAction.y, image != nullptr);
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, vorlan::kIconDragHeaderSize);
    if (void* bytes = block ? ::GlobalLock(block) : nullptr) {
        std::memcpy(bytes, &record, vorlan::kIconDragHeaderSize);
        ::GlobalUnlock(block);
        COleDataSource source;
        source.CacheGlobalData(static_cast<CLIPFORMAT>(m_cfIcon), block);
        CIconDropSource feedback;
        source.DoDragDrop(DROPEFFECT_MOVE, &feedback);
    } else if (block) {
        ::GlobalFree(block);
    }
    if (image) {
        ::ImageList_EndDrag();
        ::ImageList_Destroy(image);
    }
    m_nDragItem = -1;
}

void CIconList::MoveSelected(int dx, int dy) {
    for (int i = -1;
         (i = static_cast<int>(SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(i), LVNI_SELECTED))) >= 0;) {
        POINT at{};
        SendMessage(LVM_GETITEMPOSITION, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&at));
        at.x += dx;
        at.y += dy;
        SendMessage(LVM_SETITEMPOSITION32, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&at));
    }
}

bool CIconList::DropIconData(const void* data, size_t size, POINT at) {
    vorlan::IconDrop drop;
    // The format is registered for every program: what arrives is read within its block and
    // the drag-image field is never followed.
    if (!vorlan::ReadIconDrop(data, size, GetIconCount(), drop)) return false;
    if (drop.kind == vorlan::kIconDragDesktop) {
        MoveSelected(at.x - drop.x, at.y - drop.y);
        return true;
    }
    int image =
        drop.memo.empty()
            ? vorlan::kDefaultIconImage
            : vorlan::IconImageFromAnswer(TheSession().Execute(vorlan::MenuPictureLine(drop.memo)).str());
    return AddIcon(drop.text.c_str(), drop.memo.c_str(), "", image, at) >= 0;
}

DROPEFFECT CIconDropTarget::OnDragEnter(CWnd* wnd, COleDataObject* data, DWORD keyState, CPoint point) {
    m_pOwner->m_bDragImageShown = ::ImageList_DragEnter(m_pOwner->m_hWnd, point.x, point.y) != FALSE;
    return OnDragOver(wnd, data, keyState, point);
}

DROPEFFECT CIconDropTarget::OnDragOver(CWnd*, COleDataObject* data, DWORD keyState, CPoint point) {
    if (m_pOwner->m_bDragImageShown) ::ImageList_DragMove(point.x, point.y);
    if (!data->IsDataAvailable(static_cast<CLIPFORMAT>(m_pOwner->m_cfIcon))) return DROPEFFECT_NONE;
    return (keyState & MK_CONTROL) ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
}

void CIconDropTarget::OnDragLeave(CWnd*) {
    if (m_pOwner->m_bDragImageShown) ::ImageList_DragLeave(m_pOwner->m_hWnd);
    m_pOwner->m_bDragImageShown = false;
}

bool CIconDropTarget::OnDrop(CWnd* wnd, COleDataObject* data, DROPEFFECT, CPoint point) {
    OnDragLeave(wnd);
    HGLOBAL block = data->GetGlobalData(static_cast<CLIPFORMAT>(m_pOwner->m_cfIcon));
    if (!block) return false;
    bool taken = false;
    if (const void* bytes = ::GlobalLock(block)) {
        taken = m_pOwner->DropIconData(bytes, ::GlobalSize(block), point);
        ::GlobalUnlock(block);
    }
    ::GlobalFree(block);
    return taken;
}
