#include "framework/OleControl.h"

#include "framework/Dispatch.h"
#include "framework/OleDragDrop.h"

#include <olectl.h>

#include <cstring>

namespace {

constexpr char kContainerClass[] = "FwOleControlHost";

// A COM reference that is given back on every way out.
template <class T> class CRef {
  public:
    CRef() = default;
    ~CRef() {
        if (p) p->Release();
    }
    CRef(const CRef&) = delete;
    CRef& operator=(const CRef&) = delete;
    T** operator&() { return &p; }
    T* operator->() const { return p; }
    explicit operator bool() const { return p != nullptr; }
    T* Detach() {
        T* out = p;
        p = nullptr;
        return out;
    }
    T* p = nullptr;
};

// The count of one of the container's COM objects, which deletes itself at zero.
class CRefCount {
  public:
    ULONG Add() { return static_cast<ULONG>(::InterlockedIncrement(&m_count)); }
    template <class T> ULONG Drop(T* self) {
        LONG n = ::InterlockedDecrement(&m_count);
        if (n == 0) delete self;
        return static_cast<ULONG>(n);
    }

  private:
    LONG m_count = 1;
};

// A dispatch interface without type information: its members are known by id only.
class CPlainDispatch : public IDispatch {
  public:
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        if (count) *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** out) override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
};

void RegisterContainerClass() {
    static bool done = CWnd::RegisterWindowClass(kContainerClass, CS_DBLCLKS, nullptr,
                                                 ::LoadCursor(nullptr, IDC_ARROW), nullptr);
    (void)done;
}

} // namespace

// The site the control talks to: client site, in-place site and the ambient properties.
class COleControlWnd::CSite : public IOleClientSite, public IOleInPlaceSite, public CPlainDispatch {
  public:
    explicit CSite(COleControlWnd* owner) : m_owner(owner) {}
    virtual ~CSite() = default;
    COleControlWnd* m_owner;
    CRefCount m_refs;

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_IOleClientSite)
            *out = static_cast<IOleClientSite*>(this);
        else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite)
            *out = static_cast<IOleInPlaceSite*>(this);
        else if (iid == IID_IDispatch)
            *out = static_cast<IDispatch*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return m_refs.Add(); }
    STDMETHODIMP_(ULONG) Release() override { return m_refs.Drop(this); }

    // IOleClientSite
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** out) override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetContainer(IOleContainer** out) override {
        if (out) *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow
    STDMETHODIMP GetWindow(HWND* out) override {
        if (!out) return E_POINTER;
        *out = m_owner ? m_owner->m_hWnd : nullptr;
        return *out ? S_OK : E_FAIL;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override { return m_owner ? S_OK : S_FALSE; }
    STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, RECT* pos, RECT* clip,
                                  OLEINPLACEFRAMEINFO* info) override;
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
    STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
    STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
    STDMETHODIMP OnPosRectChange(LPCRECT rect) override {
        if (m_owner && m_owner->m_pInPlace && rect) m_owner->m_pInPlace->SetObjectRects(rect, rect);
        return S_OK;
    }

    // IDispatch: the ambient properties
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                        UINT*) override {
        if (!(flags & DISPATCH_PROPERTYGET) || !result) return DISP_E_MEMBERNOTFOUND;
        ::VariantInit(result);
        switch (id) {
        case DISPID_AMBIENT_USERMODE:
            result->vt = VT_BOOL;
            result->boolVal = VARIANT_TRUE;
            return S_OK;
        case DISPID_AMBIENT_SHOWGRABHANDLES:
        case DISPID_AMBIENT_SHOWHATCHING:
        case DISPID_AMBIENT_UIDEAD:
        case DISPID_AMBIENT_MESSAGEREFLECT:
            result->vt = VT_BOOL;
            result->boolVal = VARIANT_FALSE;
            return S_OK;
        case DISPID_AMBIENT_LOCALEID:
            result->vt = VT_I4;
            result->lVal = static_cast<LONG>(::GetUserDefaultLCID());
            return S_OK;
        default: return DISP_E_MEMBERNOTFOUND;
        }
    }
};

// The frame the control sees around itself: the top-level window; it offers no tool space
// and no menus.
class COleControlWnd::CFrame : public IOleInPlaceFrame {
  public:
    explicit CFrame(COleControlWnd* owner) : m_owner(owner) {}
    virtual ~CFrame() = default;
    COleControlWnd* m_owner;
    CRefCount m_refs;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid != IID_IUnknown && iid != IID_IOleWindow && iid != IID_IOleInPlaceUIWindow &&
            iid != IID_IOleInPlaceFrame)
            return E_NOINTERFACE;
        *out = static_cast<IOleInPlaceFrame*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return m_refs.Add(); }
    STDMETHODIMP_(ULONG) Release() override { return m_refs.Drop(this); }
    STDMETHODIMP GetWindow(HWND* out) override {
        if (!out) return E_POINTER;
        *out = m_owner && m_owner->m_hWnd ? ::GetAncestor(m_owner->m_hWnd, GA_ROOT) : nullptr;
        return *out ? S_OK : E_FAIL;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return E_NOTIMPL; }
    STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }
};

// The event sink: the control calls it through the events interface as a dispatch.
class COleControlWnd::CSink : public CPlainDispatch {
  public:
    CSink(COleControlWnd* owner, const IID& events) : m_owner(owner), m_events(events) {}
    virtual ~CSink() = default;
    COleControlWnd* m_owner;
    IID m_events;
    CRefCount m_refs;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid != IID_IUnknown && iid != IID_IDispatch && iid != m_events) return E_NOINTERFACE;
        *out = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return m_refs.Add(); }
    STDMETHODIMP_(ULONG) Release() override { return m_refs.Drop(this); }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                        UINT*) override {
        if (result) ::VariantInit(result);
        // Windows never let an exception out; neither does the control's call.
        try {
            if (m_owner && m_owner->m_hWnd) m_owner->OnControlEvent(id, params);
        } catch (...) {
        }
        return S_OK;
    }
};

STDMETHODIMP COleControlWnd::CSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc,
                                                     RECT* pos, RECT* clip, OLEINPLACEFRAMEINFO* info) {
    if (!frame || !doc || !pos || !clip || !info || !m_owner) return E_POINTER;
    *frame = m_owner->m_pFrame;
    (*frame)->AddRef();
    *doc = nullptr;
    ::GetClientRect(m_owner->m_hWnd, pos);
    *clip = *pos;
    info->cb = sizeof *info;
    info->fMDIApp = FALSE;
    info->hwndFrame = ::GetAncestor(m_owner->m_hWnd, GA_ROOT);
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
}

COleControlWnd::COleControlWnd() : m_pSite(new CSite(this)), m_pFrame(new CFrame(this)) {}

COleControlWnd::~COleControlWnd() {
    DestroyControl();
    m_pSite->m_owner = nullptr;
    m_pFrame->m_owner = nullptr;
    m_pSite->Release();
    m_pFrame->Release();
}

bool COleControlWnd::CreateControl(const CLSID& clsid, const IID* events, DWORD style, const RECT& rect,
                                   HWND parent, UINT id) {
    if (!AfxOleInit()) return false;
    RegisterContainerClass();
    if (!CreateEx(0, kContainerClass, "", style | WS_CHILD | WS_CLIPCHILDREN, rect, parent, id)) return false;
    CRef<IOleObject> object;
    if (FAILED(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                  reinterpret_cast<void**>(&object)))) {
        DestroyWindow();
        return false;
    }
    object->SetClientSite(m_pSite);
    CRef<IPersistStreamInit> persist;
    if (SUCCEEDED(object->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&persist))))
        persist->InitNew();
    ::OleSetContainedObject(object.p, TRUE);
    RECT area = GetClientRect();
    if (FAILED(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, m_pSite, 0, m_hWnd, &area))) {
        object->Close(OLECLOSE_NOSAVE);
        object->SetClientSite(nullptr);
        DestroyWindow();
        return false;
    }
    m_pObject = object.Detach();
    m_pObject->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&m_pInPlace));
    m_pObject->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&m_pDispatch));
    CRef<IConnectionPointContainer> points;
    if (events &&
        SUCCEEDED(
            m_pObject->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&points))) &&
        SUCCEEDED(points->FindConnectionPoint(*events, &m_pPoint))) {
        m_pSink = new CSink(this, *events);
        if (FAILED(m_pPoint->Advise(m_pSink, &m_dwCookie))) m_dwCookie = 0;
    }
    SizeControl();
    return true;
}

bool COleControlWnd::GetProperty(DISPID id, const char* argument, VARIANT* result) {
    if (!m_pDispatch) return false;
    CDispatchDriver driver;
    driver.AttachDispatch(m_pDispatch, false);
    try {
        CVariant text(argument);
        CVariant value = driver.Invoke(id, DISPATCH_PROPERTYGET, &text, 1);
        ::VariantClear(result);
        return SUCCEEDED(::VariantCopy(result, &value.v));
    } catch (const CDispatchException&) {
        return false;
    }
}

bool COleControlWnd::PutProperty(DISPID id, const char* value) {
    if (!m_pDispatch) return false;
    CDispatchDriver driver;
    driver.AttachDispatch(m_pDispatch, false);
    try {
        driver.SetProperty(id, CVariant(value));
        return true;
    } catch (const CDispatchException&) {
        return false;
    }
}

void COleControlWnd::DestroyControl() {
    if (m_pSink) m_pSink->m_owner = nullptr;
    if (m_pPoint) {
        if (m_dwCookie) m_pPoint->Unadvise(m_dwCookie);
        m_pPoint->Release();
        m_pPoint = nullptr;
        m_dwCookie = 0;
    }
    if (m_pSink) {
        m_pSink->Release();
        m_pSink = nullptr;
    }
    if (m_pDispatch) {
        m_pDispatch->Release();
        m_pDispatch = nullptr;
    }
    if (m_pInPlace) {
        m_pInPlace->InPlaceDeactivate();
        m_pInPlace->Release();
        m_pInPlace = nullptr;
    }
    if (m_pObject) {
        m_pObject->Close(OLECLOSE_NOSAVE);
        m_pObject->SetClientSite(nullptr);
        m_pObject->Release();
        m_pObject = nullptr;
    }
}

void COleControlWnd::SizeControl() {
    if (!m_pInPlace || !m_hWnd) return;
    RECT area = GetClientRect();
    m_pInPlace->SetObjectRects(&area, &area);
}

void COleControlWnd::FocusControl() {
    HWND inner = nullptr;
    if (m_pInPlace) m_pInPlace->GetWindow(&inner);
    if (!inner) inner = ::GetWindow(m_hWnd, GW_CHILD);
    ::SetFocus(inner ? inner : m_hWnd);
}

LRESULT COleControlWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_SIZE: SizeControl(); break;
    case WM_SETFOCUS:
        if (HWND inner = ::GetWindow(m_hWnd, GW_CHILD)) ::SetFocus(inner);
        return 0;
    case WM_DESTROY: DestroyControl(); break;
    default: break;
    }
    return CWnd::WindowProc(msg, wParam, lParam);
}

namespace fw {

const VARIANT* EventArg(const DISPPARAMS* params, unsigned index) {
    if (!params || index >= params->cArgs || !params->rgvarg) return nullptr;
    const VARIANT* v = &params->rgvarg[params->cArgs - 1 - index];
    while (v && v->vt == (VT_BYREF | VT_VARIANT))
        v = v->pvarVal;
    return v;
}

bool EventArgIsText(const DISPPARAMS* params, unsigned index) {
    const VARIANT* v = EventArg(params, index);
    return v && (v->vt == VT_BSTR || v->vt == (VT_BYREF | VT_BSTR));
}

CString EventArgText(const DISPPARAMS* params, unsigned index) {
    if (!EventArgIsText(params, index)) return CString();
    CVariant copy;
    if (FAILED(::VariantCopyInd(&copy.v, const_cast<VARIANT*>(EventArg(params, index))))) return CString();
    return copy.ToString();
}

long EventArgLong(const DISPPARAMS* params, unsigned index, long otherwise) {
    const VARIANT* v = EventArg(params, index);
    if (!v) return otherwise;
    CVariant copy;
    if (FAILED(::VariantChangeType(&copy.v, const_cast<VARIANT*>(v), 0, VT_I4))) return otherwise;
    return copy.v.lVal;
}

VARIANT_BOOL* EventArgBoolRef(const DISPPARAMS* params, unsigned index) {
    const VARIANT* v = EventArg(params, index);
    return v && v->vt == (VT_BYREF | VT_BOOL) ? v->pboolVal : nullptr;
}

IDispatch** EventArgDispatchRef(const DISPPARAMS* params, unsigned index) {
    const VARIANT* v = EventArg(params, index);
    return v && v->vt == (VT_BYREF | VT_DISPATCH) ? v->ppdispVal : nullptr;
}

long* EventArgLongRef(const DISPPARAMS* params, unsigned index) {
    const VARIANT* v = EventArg(params, index);
    return v && v->vt == (VT_BYREF | VT_I4) ? reinterpret_cast<long*>(v->plVal) : nullptr;
}

} // namespace fw

bool fw::IsOleControlHost(HWND window) {
    char name[64] = {};
    return window && ::GetClassNameA(window, name, sizeof name) > 0 && std::strcmp(name, kContainerClass) == 0;
}
