// The DICOM viewer control's double for the tests, never installed: an in-process control
// registered in the test's Wine prefix under the control's class id. It activates in place in
// its container's window and answers two dispatch members: 260 (get, with a path) answers 0
// for a file with "DICM" at offset 128, else 1; 259 (put, a path) shows the file's name in its
// window. Every call is appended to the file that DICOM_DOUBLE_LOG names.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include "tests/com/InprocServer.h"

#include <fstream>
#include <string>
#include <vector>

namespace {

const CLSID kClassId = {0x9A2C58CF, 0x4A4B, 0x48BF, {0xB3, 0xC9, 0x07, 0x56, 0xF0, 0xF2, 0xFA, 0x9B}};
constexpr char kClsidKey[] = "Software\\Classes\\CLSID\\{9A2C58CF-4A4B-48BF-B3C9-0756F0F2FA9B}";
constexpr char kViewClass[] = "DicomDoubleView";
constexpr DISPID kCanShow = 260;
constexpr DISPID kShow = 259;

HINSTANCE g_module = nullptr;
LONG g_objects = 0;

std::string Narrow(const wchar_t* w) {
    if (!w) return std::string();
    int n = ::WideCharToMultiByte(CP_ACP, 0, w, -1, nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<size_t>(n > 0 ? n : 1), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, w, -1, &s[0], n, nullptr, nullptr);
    s.resize(s.size() ? s.size() - 1 : 0);
    return s;
}

void Log(const std::string& line) {
    char file[MAX_PATH] = {};
    if (!::GetEnvironmentVariableA("DICOM_DOUBLE_LOG", file, sizeof file) || !*file) return;
    std::ofstream out(file, std::ios::app | std::ios::binary);
    out << line << "\n";
}

bool IsDicom(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    char magic[4] = {};
    in.seekg(128);
    return in.read(magic, 4) && std::string(magic, 4) == "DICM";
}

// The one text argument of a call; false when there is none.
bool TextArgument(const DISPPARAMS* params, std::string& text) {
    if (!params || params->cArgs != 1) return false;
    VARIANT v;
    ::VariantInit(&v);
    if (FAILED(::VariantChangeType(&v, &params->rgvarg[0], 0, VT_BSTR))) return false;
    text = Narrow(v.bstrVal);
    ::VariantClear(&v);
    return true;
}

LRESULT CALLBACK ViewProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(hwnd, &ps);
        RECT client;
        ::GetClientRect(hwnd, &client);
        ::FillRect(dc, &client, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        char name[MAX_PATH] = {};
        ::GetWindowTextA(hwnd, name, sizeof name);
        ::SetTextColor(dc, RGB(255, 255, 255));
        ::SetBkMode(dc, TRANSPARENT);
        ::DrawTextA(dc, name, -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        ::EndPaint(hwnd, &ps);
        return 0;
    }
    return ::DefWindowProcA(hwnd, msg, wParam, lParam);
}

class CControl : public IOleObject, public IOleInPlaceObject, public IDispatch {
  public:
    CControl() { ::InterlockedIncrement(&g_objects); }
    virtual ~CControl() {
        if (m_site) m_site->Release();
        ::InterlockedDecrement(&g_objects);
    }
    LONG m_refs = 1;
    IOleClientSite* m_site = nullptr;
    HWND m_view = nullptr;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_IOleObject)
            *out = static_cast<IOleObject*>(this);
        else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceObject)
            *out = static_cast<IOleInPlaceObject*>(this);
        else if (iid == IID_IDispatch)
            *out = static_cast<IDispatch*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&m_refs)); }
    STDMETHODIMP_(ULONG) Release() override {
        LONG n = ::InterlockedDecrement(&m_refs);
        if (n == 0) delete this;
        return static_cast<ULONG>(n);
    }
    // IOleObject
    STDMETHODIMP SetClientSite(IOleClientSite* site) override {
        if (site) site->AddRef();
        if (m_site) m_site->Release();
        m_site = site;
        return S_OK;
    }
    STDMETHODIMP GetClientSite(IOleClientSite** out) override {
        *out = m_site;
        if (m_site) m_site->AddRef();
        return S_OK;
    }
    STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP Close(DWORD) override { return InPlaceDeactivate(); }
    STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
    STDMETHODIMP DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND, LPCRECT) override;
    STDMETHODIMP EnumVerbs(IEnumOLEVERB**) override { return E_NOTIMPL; }
    STDMETHODIMP Update() override { return S_OK; }
    STDMETHODIMP IsUpToDate() override { return S_OK; }
    STDMETHODIMP GetUserClassID(CLSID* id) override {
        *id = kClassId;
        return S_OK;
    }
    STDMETHODIMP GetUserType(DWORD, LPOLESTR*) override { return E_NOTIMPL; }
    STDMETHODIMP SetExtent(DWORD, SIZEL*) override { return S_OK; }
    STDMETHODIMP GetExtent(DWORD, SIZEL*) override { return E_NOTIMPL; }
    STDMETHODIMP Advise(IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP Unadvise(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP EnumAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
    STDMETHODIMP GetMiscStatus(DWORD, DWORD* status) override {
        *status = OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_SETCLIENTSITEFIRST;
        return S_OK;
    }
    STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }
    // IOleInPlaceObject
    STDMETHODIMP GetWindow(HWND* out) override {
        *out = m_view;
        return m_view ? S_OK : E_FAIL;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP InPlaceDeactivate() override {
        if (!m_view) return S_OK;
        ::DestroyWindow(m_view);
        m_view = nullptr;
        IOleInPlaceSite* inPlace = nullptr;
        if (m_site &&
            SUCCEEDED(m_site->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&inPlace)))) {
            inPlace->OnInPlaceDeactivate();
            inPlace->Release();
        }
        return S_OK;
    }
    STDMETHODIMP UIDeactivate() override { return S_OK; }
    STDMETHODIMP SetObjectRects(LPCRECT pos, LPCRECT) override {
        if (m_view && pos)
            ::MoveWindow(m_view, pos->left, pos->top, pos->right - pos->left, pos->bottom - pos->top, TRUE);
        return S_OK;
    }
    STDMETHODIMP ReactivateAndUndo() override { return E_NOTIMPL; }
    // IDispatch
    STDMETHODIMP GetTypeInfoCount(UINT* n) override {
        *n = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                        UINT*) override;
};

STDMETHODIMP CControl::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND, LPCRECT) {
    if (verb != OLEIVERB_INPLACEACTIVATE && verb != OLEIVERB_SHOW && verb != OLEIVERB_UIACTIVATE)
        return E_NOTIMPL;
    if (m_view) return S_OK;
    if (!site) site = m_site;
    IOleInPlaceSite* inPlace = nullptr;
    if (!site || FAILED(site->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&inPlace))))
        return E_FAIL;
    HWND parent = nullptr;
    IOleInPlaceFrame* frame = nullptr;
    IOleInPlaceUIWindow* doc = nullptr;
    RECT pos{}, clip{};
    OLEINPLACEFRAMEINFO info{};
    info.cb = sizeof info;
    bool ok = inPlace->CanInPlaceActivate() == S_OK && SUCCEEDED(inPlace->GetWindow(&parent)) &&
              SUCCEEDED(inPlace->GetWindowContext(&frame, &doc, &pos, &clip, &info));
    if (frame) frame->Release();
    if (doc) doc->Release();
    if (ok) {
        inPlace->OnInPlaceActivate();
        m_view =
            ::CreateWindowExA(0, kViewClass, "", WS_CHILD | WS_VISIBLE, pos.left, pos.top,
                              pos.right - pos.left, pos.bottom - pos.top, parent, nullptr, g_module, nullptr);
    }
    inPlace->Release();
    Log("activated");
    return ok && m_view ? S_OK : E_FAIL;
}

STDMETHODIMP CControl::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                              EXCEPINFO*, UINT*) {
    std::string path;
    if (id == kCanShow && (flags & DISPATCH_PROPERTYGET)) {
        if (!TextArgument(params, path)) return DISP_E_BADPARAMCOUNT;
        long answer = IsDicom(path) ? 0 : 1;
        Log("get 260 " + path + " -> " + std::to_string(answer));
        if (result) {
            ::VariantInit(result);
            result->vt = VT_I4;
            result->lVal = answer;
        }
        return S_OK;
    }
    if (id == kShow && (flags & DISPATCH_PROPERTYPUT)) {
        if (!TextArgument(params, path)) return DISP_E_BADPARAMCOUNT;
        Log("put 259 " + path);
        if (m_view) {
            size_t slash = path.find_last_of("\\/");
            ::SetWindowTextA(m_view, path.substr(slash == std::string::npos ? 0 : slash + 1).c_str());
            ::InvalidateRect(m_view, nullptr, TRUE);
        }
        return S_OK;
    }
    Log("unknown " + std::to_string(id));
    return DISP_E_MEMBERNOTFOUND;
}

HRESULT CreateControl(REFIID iid, void** out) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = ViewProc;
    wc.hInstance = g_module;
    wc.lpszClassName = kViewClass;
    ::RegisterClassA(&wc);
    auto* control = new CControl;
    HRESULT hr = control->QueryInterface(iid, out);
    control->Release();
    Log("created");
    return hr;
}

inproc::CFactory g_factory(&CreateControl);

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) g_module = module;
    return TRUE;
}

extern "C" HRESULT WINAPI DoubleGetClassObject(REFCLSID id, REFIID iid, void** out) {
    if (id != kClassId) return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(iid, out);
}

extern "C" HRESULT WINAPI DoubleCanUnloadNow() {
    return g_objects == 0 ? S_OK : S_FALSE;
}

extern "C" HRESULT WINAPI DoubleRegisterServer() {
    return inproc::RegisterServer(g_module, kClsidKey);
}

extern "C" HRESULT WINAPI DoubleUnregisterServer() {
    std::string sub = std::string(kClsidKey) + "\\InprocServer32";
    ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, sub.c_str());
    ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kClsidKey);
    return S_OK;
}
