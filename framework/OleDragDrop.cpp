#include "framework/OleDragDrop.h"
#include "framework/Wnd.h"

#include <shlobj.h>

#include <cstring>
#include <utility>
#include <vector>

bool AfxOleInit() {
    // OleInitialize on the thread that runs the windows; the process ends with it.
    static const HRESULT result = ::OleInitialize(nullptr);
    return SUCCEEDED(result);
}

namespace {

HGLOBAL CopyGlobal(HGLOBAL source) {
    SIZE_T size = ::GlobalSize(source);
    HGLOBAL copy = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, size ? size : 1);
    if (!copy) return nullptr;
    const void* from = ::GlobalLock(source);
    void* to = ::GlobalLock(copy);
    if (from && to && size) std::memcpy(to, from, size);
    if (to) ::GlobalUnlock(copy);
    if (from) ::GlobalUnlock(source);
    if (!from || !to) {
        ::GlobalFree(copy);
        return nullptr;
    }
    return copy;
}

FORMATETC GlobalFormat(CLIPFORMAT format) {
    FORMATETC fe{};
    fe.cfFormat = format;
    fe.dwAspect = DVASPECT_CONTENT;
    fe.lindex = -1;
    fe.tymed = TYMED_HGLOBAL;
    return fe;
}

} // namespace

// ---- COleDataObject

void COleDataObject::Attach(IDataObject* object, bool autoRelease) {
    Release();
    m_lpDataObject = object;
    m_bAutoRelease = autoRelease;
}

IDataObject* COleDataObject::Detach() {
    IDataObject* object = m_lpDataObject;
    m_lpDataObject = nullptr;
    return object;
}

void COleDataObject::Release() {
    if (m_lpDataObject && m_bAutoRelease) m_lpDataObject->Release();
    m_lpDataObject = nullptr;
}

bool COleDataObject::IsDataAvailable(CLIPFORMAT format) const {
    if (!m_lpDataObject) return false;
    FORMATETC fe = GlobalFormat(format);
    return m_lpDataObject->QueryGetData(&fe) == S_OK;
}

HGLOBAL COleDataObject::GetGlobalData(CLIPFORMAT format) const {
    if (!m_lpDataObject) return nullptr;
    FORMATETC fe = GlobalFormat(format);
    STGMEDIUM medium{};
    if (FAILED(m_lpDataObject->GetData(&fe, &medium))) return nullptr;
    HGLOBAL result = nullptr;
    if (medium.tymed == TYMED_HGLOBAL && medium.hGlobal) result = CopyGlobal(medium.hGlobal);
    ::ReleaseStgMedium(&medium);
    return result;
}

bool COleDataObject::AttachClipboard() {
    IDataObject* object = nullptr;
    if (FAILED(::OleGetClipboard(&object)) || !object) return false;
    Attach(object);
    return true;
}

// ---- COleDropSource

COleDropSource::COleDropSource() {
    m_xDropSource.owner = this;
}

SCODE COleDropSource::QueryContinueDrag(BOOL escapePressed, DWORD keyState) {
    if (escapePressed) return DRAGDROP_S_CANCEL;
    if (!(keyState & (MK_LBUTTON | MK_RBUTTON))) return DRAGDROP_S_DROP;
    return S_OK;
}

SCODE COleDropSource::GiveFeedback(DROPEFFECT) {
    return DRAGDROP_S_USEDEFAULTCURSORS;
}

HRESULT STDMETHODCALLTYPE COleDropSource::XDropSource::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropSource)) {
        *out = static_cast<IDropSource*>(this);
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE COleDropSource::XDropSource::QueryContinueDrag(BOOL escape, DWORD keyState) {
    return owner->QueryContinueDrag(escape, keyState);
}

HRESULT STDMETHODCALLTYPE COleDropSource::XDropSource::GiveFeedback(DWORD effect) {
    return owner->GiveFeedback(effect);
}

// ---- COleDataSource

// Reference counted: a drop target may keep the data object a little longer than the drag.
class COleDataSource::DataObject final : public IDataObject {
  public:
    virtual ~DataObject() {
        for (auto& entry : m_entries)
            ::GlobalFree(entry.second);
    }
    void Cache(CLIPFORMAT format, HGLOBAL block) {
        for (auto& entry : m_entries) {
            if (entry.first == format) {
                ::GlobalFree(entry.second);
                entry.second = block;
                return;
            }
        }
        m_entries.emplace_back(format, block);
    }
    HGLOBAL Find(CLIPFORMAT format) const {
        for (const auto& entry : m_entries)
            if (entry.first == format) return entry.second;
        return nullptr;
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDataObject)) {
            *out = static_cast<IDataObject*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&m_refs)); }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG refs = ::InterlockedDecrement(&m_refs);
        if (refs == 0) delete this;
        return static_cast<ULONG>(refs);
    }
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (!format || !medium) return E_INVALIDARG;
        HRESULT check = QueryGetData(format);
        if (check != S_OK) return check;
        HGLOBAL copy = CopyGlobal(Find(format->cfFormat));
        if (!copy) return E_OUTOFMEMORY;
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = copy;
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
        if (!format) return E_INVALIDARG;
        if (!(format->tymed & TYMED_HGLOBAL)) return DV_E_TYMED;
        if (format->dwAspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
        return Find(format->cfFormat) ? S_OK : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        if (out) out->ptd = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (direction != DATADIR_GET) return E_NOTIMPL;
        std::vector<FORMATETC> formats;
        for (const auto& entry : m_entries)
            formats.push_back(GlobalFormat(entry.first));
        return ::SHCreateStdEnumFmtEtc(static_cast<UINT>(formats.size()), formats.data(), out);
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

  private:
    LONG m_refs = 1;
    std::vector<std::pair<CLIPFORMAT, HGLOBAL>> m_entries;
};

COleDataSource::COleDataSource() : m_pObject(new DataObject) {}

COleDataSource::~COleDataSource() {
    m_pObject->Release();
}

bool COleDataSource::CacheGlobalData(CLIPFORMAT format, HGLOBAL block) {
    if (!block) return false;
    if (!format) {
        ::GlobalFree(block);
        return false;
    }
    m_pObject->Cache(format, block);
    return true;
}

namespace {
fw::DragLoop g_dragLoop = nullptr;
}

DROPEFFECT COleDataSource::DoDragDrop(DROPEFFECT allowed, COleDropSource* source) {
    COleDropSource plain;
    COleDropSource* used = source ? source : &plain;
    if (g_dragLoop) return g_dragLoop(m_pObject, used, allowed);
    DWORD effect = DROPEFFECT_NONE;
    HRESULT hr = ::DoDragDrop(m_pObject, used->GetInterface(), allowed, &effect);
    return hr == DRAGDROP_S_DROP ? effect : DROPEFFECT_NONE;
}

bool COleDataSource::SetClipboard() {
    AfxOleInit();
    return SUCCEEDED(::OleSetClipboard(m_pObject));
}

IDataObject* COleDataSource::GetInterface() {
    return m_pObject;
}

// ---- COleDropTarget

COleDropTarget::COleDropTarget() {
    m_xDropTarget.owner = this;
}

COleDropTarget::~COleDropTarget() {
    // Not the virtual one: a derived part is already gone here.
    if (m_pRegisteredWnd) {
        if (m_pRegisteredWnd->IsWindow()) ::RevokeDragDrop(m_pRegisteredWnd->m_hWnd);
        m_pRegisteredWnd = nullptr;
    }
}

bool COleDropTarget::Register(CWnd* wnd) {
    if (!wnd || !wnd->IsWindow() || m_pRegisteredWnd) return false;
    AfxOleInit();
    if (FAILED(::RegisterDragDrop(wnd->m_hWnd, &m_xDropTarget))) return false;
    m_pRegisteredWnd = wnd;
    return true;
}

void COleDropTarget::Revoke() {
    if (!m_pRegisteredWnd) return;
    if (m_pRegisteredWnd->IsWindow()) ::RevokeDragDrop(m_pRegisteredWnd->m_hWnd);
    m_dataObject.Release();
    m_pRegisteredWnd = nullptr;
}

DROPEFFECT COleDropTarget::OnDragEnter(CWnd*, COleDataObject*, DWORD, CPoint) {
    return DROPEFFECT_NONE;
}

DROPEFFECT COleDropTarget::OnDragOver(CWnd*, COleDataObject*, DWORD, CPoint) {
    return DROPEFFECT_NONE;
}

bool COleDropTarget::OnDrop(CWnd*, COleDataObject*, DROPEFFECT, CPoint) {
    return false;
}

void COleDropTarget::OnDragLeave(CWnd*) {}

DROPEFFECT COleDropTarget::OnDragScroll(CWnd*, DWORD, CPoint) {
    return DROPEFFECT_NONE;
}

CPoint COleDropTarget::ToClient(POINTL point) const {
    POINT p{point.x, point.y};
    if (m_pRegisteredWnd) ::ScreenToClient(m_pRegisteredWnd->m_hWnd, &p);
    return CPoint(p);
}

DROPEFFECT COleDropTarget::Enter(IDataObject* object, DWORD keyState, POINTL point, DROPEFFECT allowed) {
    if (!m_pRegisteredWnd) return DROPEFFECT_NONE;
    if (object) object->AddRef();
    m_dataObject.Attach(object);
    DROPEFFECT effect = OnDragEnter(m_pRegisteredWnd, &m_dataObject, keyState, ToClient(point));
    return effect & (allowed | DROPEFFECT_SCROLL);
}

DROPEFFECT COleDropTarget::Over(DWORD keyState, POINTL point, DROPEFFECT allowed) {
    if (!m_pRegisteredWnd) return DROPEFFECT_NONE;
    CPoint p = ToClient(point);
    DROPEFFECT effect = OnDragScroll(m_pRegisteredWnd, keyState, p);
    if (!(effect & DROPEFFECT_SCROLL)) effect = OnDragOver(m_pRegisteredWnd, &m_dataObject, keyState, p);
    return effect & (allowed | DROPEFFECT_SCROLL);
}

DROPEFFECT COleDropTarget::Drop(IDataObject* object, DWORD keyState, POINTL point, DROPEFFECT allowed) {
    if (!m_pRegisteredWnd) return DROPEFFECT_NONE;
    if (object) object->AddRef();
    m_dataObject.Attach(object);
    CPoint p = ToClient(point);
    DROPEFFECT effect = OnDragOver(m_pRegisteredWnd, &m_dataObject, keyState, p) & allowed;
    if (effect == DROPEFFECT_NONE || !OnDrop(m_pRegisteredWnd, &m_dataObject, effect, p)) {
        // A refused drop ends like a drag that left: the target takes its feedback away.
        OnDragLeave(m_pRegisteredWnd);
        effect = DROPEFFECT_NONE;
    }
    m_dataObject.Release();
    return effect;
}

void COleDropTarget::Leave() {
    if (m_pRegisteredWnd) OnDragLeave(m_pRegisteredWnd);
    m_dataObject.Release();
}

HRESULT STDMETHODCALLTYPE COleDropTarget::XDropTarget::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropTarget)) {
        *out = static_cast<IDropTarget*>(this);
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE COleDropTarget::XDropTarget::DragEnter(IDataObject* object, DWORD keyState,
                                                                 POINTL point, DWORD* effect) {
    if (!effect) return E_INVALIDARG;
    *effect = owner->Enter(object, keyState, point, *effect);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE COleDropTarget::XDropTarget::DragOver(DWORD keyState, POINTL point, DWORD* effect) {
    if (!effect) return E_INVALIDARG;
    *effect = owner->Over(keyState, point, *effect);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE COleDropTarget::XDropTarget::DragLeave() {
    owner->Leave();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE COleDropTarget::XDropTarget::Drop(IDataObject* object, DWORD keyState, POINTL point,
                                                            DWORD* effect) {
    if (!effect) return E_INVALIDARG;
    *effect = owner->Drop(object, keyState, point, *effect);
    return S_OK;
}

namespace fw {

DROPEFFECT DropInProcess(COleDropTarget& target, IDataObject* data, POINT screen, DROPEFFECT allowed,
                         DWORD keys) {
    IDropTarget* drop = target.GetInterface();
    POINTL at{screen.x, screen.y};
    DWORD effect = allowed;
    if (FAILED(drop->DragEnter(data, MK_LBUTTON | keys, at, &effect))) return DROPEFFECT_NONE;
    effect = allowed;
    drop->DragOver(MK_LBUTTON | keys, at, &effect);
    if (effect == DROPEFFECT_NONE) {
        drop->DragLeave();
        return DROPEFFECT_NONE;
    }
    effect = allowed;
    if (FAILED(drop->Drop(data, keys, at, &effect))) return DROPEFFECT_NONE;
    return effect;
}

DragLoop SetDragLoop(DragLoop loop) {
    DragLoop previous = g_dragLoop;
    g_dragLoop = loop;
    return previous;
}

} // namespace fw
