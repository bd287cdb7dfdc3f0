// The web browser control's double for the tests, never installed: an in-process control
// registered in the test's Wine prefix under the control's class id (Wine's own control
// cannot show pages here). It activates in place in its container's window, answers the
// members the program calls through dispatch, and fires the control's events. Its "pages"
// are small scripts: navigating to a file fires BeforeNavigate2 and NavigateComplete2 and then
// the events the file's lines name (see RunLine). What the program asked of it is appended to
// the file that BROWSER_DOUBLE_LOG names.
#include <windows.h>
#include <exdispid.h>
#include <ocidl.h>
#include <olectl.h>

#include "tests/com/InprocServer.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

const CLSID kClassId = {0x8856F961, 0x340A, 0x11D0, {0xA9, 0x6B, 0x00, 0xC0, 0x4F, 0xD7, 0x05, 0xA2}};
const IID kEvents = {0x34A715A0, 0x6587, 0x11D0, {0x92, 0x4A, 0x00, 0x20, 0xAF, 0xC7, 0xAC, 0x4D}};
constexpr char kClsidKey[] = "Software\\Classes\\CLSID\\{8856F961-340A-11D0-A96B-00C04FD705A2}";
constexpr char kViewClass[] = "BrowserDoubleView";
constexpr UINT kRunNavigation = WM_APP + 1;

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

BSTR Wide(const std::string& s) {
    int n = ::MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, nullptr, 0);
    std::vector<wchar_t> w(static_cast<size_t>(n > 0 ? n : 1), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, w.data(), n);
    return ::SysAllocString(w.data());
}

void Log(const std::string& line) {
    char file[MAX_PATH] = {};
    if (!::GetEnvironmentVariableA("BROWSER_DOUBLE_LOG", file, sizeof file) || !*file) return;
    std::ofstream out(file, std::ios::app | std::ios::binary);
    out << line << "\n";
}

// The arguments of one event in their declared order; texts and referenced values live here
// until the event has been fired.
class EventArgs {
  public:
    EventArgs() { m_inner.reserve(16); }
    ~EventArgs() {
        for (VARIANT& v : m_inner)
            ::VariantClear(&v);
        for (VARIANT& v : m_args)
            if (!(v.vt & VT_BYREF)) ::VariantClear(&v);
    }
    EventArgs& Text(const std::string& s) {
        VARIANT v;
        ::VariantInit(&v);
        v.vt = VT_BSTR;
        v.bstrVal = Wide(s);
        m_args.push_back(v);
        return *this;
    }
    EventArgs& Long(long n) {
        VARIANT v;
        ::VariantInit(&v);
        v.vt = VT_I4;
        v.lVal = n;
        m_args.push_back(v);
        return *this;
    }
    EventArgs& Bool(bool b) {
        VARIANT v;
        ::VariantInit(&v);
        v.vt = VT_BOOL;
        v.boolVal = b ? VARIANT_TRUE : VARIANT_FALSE;
        m_args.push_back(v);
        return *this;
    }
    EventArgs& Dispatch(IDispatch* d) {
        VARIANT v;
        ::VariantInit(&v);
        v.vt = VT_DISPATCH;
        v.pdispVal = d;
        if (d) d->AddRef();
        m_args.push_back(v);
        return *this;
    }
    // A VARIANT passed by reference, as the control passes URLs and target names.
    EventArgs& RefText(const std::string& s) {
        VARIANT inner;
        ::VariantInit(&inner);
        inner.vt = VT_BSTR;
        inner.bstrVal = Wide(s);
        return RefInner(inner);
    }
    EventArgs& RefEmpty() {
        VARIANT inner;
        ::VariantInit(&inner);
        return RefInner(inner);
    }
    EventArgs& RefBool(VARIANT_BOOL* b) { return Ref(VT_BOOL, b); }
    EventArgs& RefLong(long* n) { return Ref(VT_I4, n); }
    EventArgs& RefDispatch(IDispatch** d) { return Ref(VT_DISPATCH, d); }

    DISPPARAMS Params() {
        m_reversed.assign(m_args.rbegin(), m_args.rend());
        return DISPPARAMS{m_reversed.data(), nullptr, static_cast<UINT>(m_reversed.size()), 0};
    }

  private:
    EventArgs& RefInner(const VARIANT& inner) {
        m_inner.push_back(inner);
        VARIANT v;
        ::VariantInit(&v);
        v.vt = VT_BYREF | VT_VARIANT;
        v.pvarVal = &m_inner.back();
        m_args.push_back(v);
        return *this;
    }
    EventArgs& Ref(VARTYPE type, void* at) {
        VARIANT v;
        ::VariantInit(&v);
        v.vt = VT_BYREF | type;
        v.byref = at;
        m_args.push_back(v);
        return *this;
    }
    std::vector<VARIANT> m_inner, m_args, m_reversed;
};

class CPoint;

class CBrowser : public IOleObject,
                 public IOleInPlaceObject,
                 public IConnectionPointContainer,
                 public IDispatch {
  public:
    CBrowser();
    virtual ~CBrowser();
    LONG m_refs = 1;
    IOleClientSite* m_site = nullptr;
    CPoint* m_point;
    HWND m_view = nullptr;
    std::string m_url, m_name, m_pending;
    bool m_busy = false;

    void Fire(DISPID id, EventArgs& args);
    void RunNavigation();
    void RunLine(const std::string& line);
    // BeforeNavigate2 as a page link with a target; true when the container cancelled it.
    bool BeforeNavigate(const std::string& url, const std::string& target);

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&m_refs)); }
    STDMETHODIMP_(ULONG) Release() override {
        LONG n = ::InterlockedDecrement(&m_refs);
        if (n == 0) delete this;
        return static_cast<ULONG>(n);
    }
    // IOleObject
    STDMETHODIMP SetClientSite(IOleClientSite* site) override {
        if (m_site) m_site->Release();
        m_site = site;
        if (m_site) m_site->AddRef();
        return S_OK;
    }
    STDMETHODIMP GetClientSite(IOleClientSite** out) override {
        *out = m_site;
        if (m_site) m_site->AddRef();
        return S_OK;
    }
    STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP Close(DWORD) override {
        InPlaceDeactivate();
        return S_OK;
    }
    STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
    STDMETHODIMP DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent, LPCRECT rect) override;
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
        *status = OLEMISC_SETCLIENTSITEFIRST | OLEMISC_INSIDEOUT | OLEMISC_ACTIVATEWHENVISIBLE;
        return S_OK;
    }
    STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }
    // IOleWindow, IOleInPlaceObject
    STDMETHODIMP GetWindow(HWND* out) override {
        *out = m_view;
        return m_view ? S_OK : E_FAIL;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP InPlaceDeactivate() override;
    STDMETHODIMP UIDeactivate() override { return S_OK; }
    STDMETHODIMP SetObjectRects(LPCRECT pos, LPCRECT) override {
        if (m_view && pos)
            ::MoveWindow(m_view, pos->left, pos->top, pos->right - pos->left, pos->bottom - pos->top, TRUE);
        return S_OK;
    }
    STDMETHODIMP ReactivateAndUndo() override { return E_NOTIMPL; }
    // IConnectionPointContainer
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
    STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** out) override;
    // IDispatch: the members of the control
    STDMETHODIMP GetTypeInfoCount(UINT* n) override {
        *n = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                        UINT*) override;
};

// The one connection point, for the events interface; it holds the sinks.
class CPoint : public IConnectionPoint {
  public:
    explicit CPoint(CBrowser* owner) : m_owner(owner) {}
    virtual ~CPoint() = default;
    CBrowser* m_owner;
    std::vector<IDispatch*> m_sinks;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (iid != IID_IUnknown && iid != IID_IConnectionPoint) {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        *out = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return m_owner->AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return m_owner->Release(); }
    STDMETHODIMP GetConnectionInterface(IID* iid) override {
        *iid = kEvents;
        return S_OK;
    }
    STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** out) override {
        *out = m_owner;
        m_owner->AddRef();
        return S_OK;
    }
    STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override {
        IDispatch* d = nullptr;
        if (!sink || FAILED(sink->QueryInterface(kEvents, reinterpret_cast<void**>(&d))))
            return CONNECT_E_CANNOTCONNECT;
        m_sinks.push_back(d);
        *cookie = static_cast<DWORD>(m_sinks.size());
        return S_OK;
    }
    STDMETHODIMP Unadvise(DWORD cookie) override {
        if (cookie == 0 || cookie > m_sinks.size() || !m_sinks[cookie - 1]) return CONNECT_E_NOCONNECTION;
        m_sinks[cookie - 1]->Release();
        m_sinks[cookie - 1] = nullptr;
        Log("Unadvise");
        return S_OK;
    }
    STDMETHODIMP EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }
};

LRESULT CALLBACK ViewProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == kRunNavigation) {
        auto* browser = reinterpret_cast<CBrowser*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (browser) {
            browser->AddRef();
            browser->RunNavigation();
            browser->Release();
        }
        return 0;
    }
    return ::DefWindowProcA(hwnd, msg, wParam, lParam);
}

CBrowser::CBrowser() : m_point(new CPoint(this)) {
    ::InterlockedIncrement(&g_objects);
}

CBrowser::~CBrowser() {
    for (IDispatch* d : m_point->m_sinks)
        if (d) d->Release();
    delete m_point;
    if (m_site) m_site->Release();
    ::InterlockedDecrement(&g_objects);
}

STDMETHODIMP CBrowser::QueryInterface(REFIID iid, void** out) {
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IOleObject)
        *out = static_cast<IOleObject*>(this);
    else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceObject)
        *out = static_cast<IOleInPlaceObject*>(this);
    else if (iid == IID_IConnectionPointContainer)
        *out = static_cast<IConnectionPointContainer*>(this);
    else if (iid == IID_IDispatch)
        *out = static_cast<IDispatch*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP CBrowser::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND, LPCRECT) {
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
            ::CreateWindowExA(0, kViewClass, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, pos.left, pos.top,
                              pos.right - pos.left, pos.bottom - pos.top, parent, nullptr, g_module, nullptr);
        ::SetWindowLongPtrA(m_view, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    inPlace->Release();
    // What the container answers of its ambient properties.
    IDispatch* ambient = nullptr;
    if (SUCCEEDED(site->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&ambient)))) {
        VARIANT mode;
        ::VariantInit(&mode);
        DISPPARAMS none{nullptr, nullptr, 0, 0};
        HRESULT hr = ambient->Invoke(DISPID_AMBIENT_USERMODE, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &mode,
                                     nullptr, nullptr);
        Log("UserMode " + std::to_string(SUCCEEDED(hr) && mode.vt == VT_BOOL ? mode.boolVal : 0));
        ambient->Release();
    }
    return ok && m_view ? S_OK : E_FAIL;
}

STDMETHODIMP CBrowser::InPlaceDeactivate() {
    if (!m_view) return S_OK;
    ::SetWindowLongPtrA(m_view, GWLP_USERDATA, 0);
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

STDMETHODIMP CBrowser::FindConnectionPoint(REFIID iid, IConnectionPoint** out) {
    *out = nullptr;
    if (iid != kEvents) return CONNECT_E_NOCONNECTION;
    *out = m_point;
    AddRef();
    return S_OK;
}

void CBrowser::Fire(DISPID id, EventArgs& args) {
    DISPPARAMS params = args.Params();
    std::vector<IDispatch*> sinks = m_point->m_sinks;
    for (IDispatch* sink : sinks)
        if (sink) sink->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
}

bool CBrowser::BeforeNavigate(const std::string& url, const std::string& target) {
    VARIANT_BOOL cancel = VARIANT_FALSE;
    EventArgs args;
    args.Dispatch(this).RefText(url).RefEmpty().RefText(target).RefEmpty().RefText("").RefBool(&cancel);
    Fire(DISPID_BEFORENAVIGATE2, args);
    return cancel != VARIANT_FALSE;
}

// One line of a page: an event and its arguments.
//   title T | status T | progress P M | command C E | busy B | resizable B
//   left N | top N | width N | height N | clienttohost W H
//   link URL TARGET (TARGET "-" for none) | newwindow URL | closing | quit | download | quiet
void CBrowser::RunLine(const std::string& line) {
    std::istringstream in(line);
    std::string word, rest;
    in >> word;
    std::getline(in >> std::ws, rest);
    std::istringstream numbers(rest);
    long a = 0, b = 0;
    numbers >> a >> b;
    EventArgs args;
    if (word == "title") {
        Fire(DISPID_TITLECHANGE, args.Text(rest));
    } else if (word == "status") {
        Fire(DISPID_STATUSTEXTCHANGE, args.Text(rest));
    } else if (word == "progress") {
        Fire(DISPID_PROGRESSCHANGE, args.Long(a).Long(b));
    } else if (word == "command") {
        Fire(DISPID_COMMANDSTATECHANGE, args.Long(a).Bool(b != 0));
    } else if (word == "busy") {
        m_busy = a != 0;
    } else if (word == "resizable") {
        Fire(DISPID_WINDOWSETRESIZABLE, args.Bool(a != 0));
    } else if (word == "left" || word == "top" || word == "width" || word == "height") {
        DISPID id = word == "left"    ? DISPID_WINDOWSETLEFT
                    : word == "top"   ? DISPID_WINDOWSETTOP
                    : word == "width" ? DISPID_WINDOWSETWIDTH
                                      : DISPID_WINDOWSETHEIGHT;
        Fire(id, args.Long(a));
    } else if (word == "clienttohost") {
        Fire(DISPID_CLIENTTOHOSTWINDOW, args.RefLong(&a).RefLong(&b));
        Log("ClientToHost " + std::to_string(a) + " " + std::to_string(b));
    } else if (word == "link") {
        std::string url = rest.substr(0, rest.find(' '));
        std::string target = rest.find(' ') == std::string::npos ? "" : rest.substr(rest.find(' ') + 1);
        if (target == "-") target.clear();
        Log((BeforeNavigate(url, target) ? "Cancelled " : "Followed ") + url);
    } else if (word == "newwindow") {
        IDispatch* other = nullptr;
        VARIANT_BOOL cancel = VARIANT_FALSE;
        Fire(DISPID_NEWWINDOW2, args.RefDispatch(&other).RefBool(&cancel));
        Log(std::string("NewWindow ") + (other ? "1" : "0"));
        if (other) {
            // The new window shows the page, as the real control does.
            VARIANT url;
            ::VariantInit(&url);
            url.vt = VT_BSTR;
            url.bstrVal = Wide(rest);
            DISPPARAMS p{&url, nullptr, 1, 0};
            other->Invoke(104, IID_NULL, 0, DISPATCH_METHOD, &p, nullptr, nullptr, nullptr);
            ::VariantClear(&url);
            other->Release();
        }
    } else if (word == "closing") {
        VARIANT_BOOL cancel = VARIANT_FALSE;
        Fire(DISPID_WINDOWCLOSING, args.Bool(false).RefBool(&cancel));
    } else if (word == "quit") {
        Fire(DISPID_ONQUIT, args);
    } else if (word == "download") {
        VARIANT_BOOL cancel = VARIANT_FALSE;
        Fire(DISPID_FILEDOWNLOAD, args.Bool(true).RefBool(&cancel));
    } else if (word == "quiet") {
        // The events the program leaves alone.
        for (DISPID id :
             {DISPID_DOCUMENTCOMPLETE, DISPID_ONVISIBLE, DISPID_ONFULLSCREEN, DISPID_SETSECURELOCKICON,
              DISPID_NAVIGATEERROR, DISPID_UPDATEPAGESTATUS, DISPID_DOWNLOADBEGIN, DISPID_DOWNLOADCOMPLETE}) {
            EventArgs none;
            Fire(id, none);
        }
    }
}

void CBrowser::RunNavigation() {
    std::string url = m_pending;
    m_pending.clear();
    if (url.empty()) return;
    if (BeforeNavigate(url, "")) {
        Log("Cancelled " + url);
        return;
    }
    m_url = url;
    m_name = url.substr(url.find_last_of("/\\") == std::string::npos ? 0 : url.find_last_of("/\\") + 1);
    EventArgs complete;
    Fire(DISPID_NAVIGATECOMPLETE2, complete.Dispatch(this).RefText(url));
    std::string path = url.compare(0, 8, "file:///") == 0 ? url.substr(8) : url;
    std::ifstream page(path, std::ios::binary);
    std::string line;
    while (page && std::getline(page, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) RunLine(line);
        // A page line may have ended this control.
        if (!m_view) return;
    }
}

STDMETHODIMP CBrowser::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                              EXCEPINFO*, UINT*) {
    auto arg = [&](UINT i) -> VARIANT* {
        if (!params || i >= params->cArgs) return nullptr;
        VARIANT* v = &params->rgvarg[params->cArgs - 1 - i];
        while (v && v->vt == (VT_BYREF | VT_VARIANT))
            v = v->pvarVal;
        return v;
    };
    auto text = [&](const std::string& s) {
        if (!result) return;
        ::VariantInit(result);
        result->vt = VT_BSTR;
        result->bstrVal = Wide(s);
    };
    switch (id) {
    case 100: Log("GoBack"); return S_OK;
    case 101: Log("GoForward"); return S_OK;
    case 106: Log("Stop"); return S_OK;
    case 104: {
        VARIANT* url = arg(0);
        if (!url || url->vt != VT_BSTR) return DISP_E_TYPEMISMATCH;
        m_pending = Narrow(url->bstrVal);
        Log("Navigate " + m_pending);
        if (m_view) ::PostMessageA(m_view, kRunNavigation, 0, 0);
        return S_OK;
    }
    case 502: {
        VARIANT* command = arg(0);
        VARIANT* options = arg(1);
        Log("ExecWB " + std::to_string(command && command->vt == VT_I4 ? command->lVal : -1) + " " +
            std::to_string(options && options->vt == VT_I4 ? options->lVal : -1));
        return S_OK;
    }
    case 210: text(m_name); return S_OK;
    case 211: text(m_url); return S_OK;
    case 212:
        if (result) {
            ::VariantInit(result);
            result->vt = VT_BOOL;
            result->boolVal = m_busy ? VARIANT_TRUE : VARIANT_FALSE;
        }
        return S_OK;
    default: (void)flags; return DISP_E_MEMBERNOTFOUND;
    }
}

HRESULT CreateControl(REFIID iid, void** out) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = ViewProc;
    wc.hInstance = g_module;
    wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = kViewClass;
    ::RegisterClassA(&wc);
    auto* browser = new CBrowser;
    HRESULT hr = browser->QueryInterface(iid, out);
    browser->Release();
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
    return S_OK;
}
