#include "tests/com/ComDouble.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

namespace comdouble {

namespace {

LONG g_objects = 0;
bool g_created = false;
LONG g_locks = 0;
bool g_kept = false;
bool g_quit = false;
DWORD g_mainThread = 0;

std::string ProgramPath() {
    char path[MAX_PATH] = "";
    ::GetModuleFileNameA(nullptr, path, sizeof path);
    return path;
}

std::string Beside(const char* extension) {
    std::string path = ProgramPath();
    size_t dot = path.find_last_of('.');
    return (dot == std::string::npos ? path : path.substr(0, dot)) + extension;
}

std::string Narrow(const wchar_t* text, int length = -1) {
    if (!text) return std::string();
    int n = ::WideCharToMultiByte(1252, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) ::WideCharToMultiByte(1252, 0, text, length, s.data(), n, nullptr, nullptr);
    if (length < 0 && !s.empty()) s.pop_back();
    return s;
}

BSTR Wide(const std::string& text) {
    int n = ::MultiByteToWideChar(1252, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    BSTR b = ::SysAllocStringLen(nullptr, static_cast<UINT>(n));
    ::MultiByteToWideChar(1252, 0, text.data(), static_cast<int>(text.size()), b, n);
    return b;
}

// The failure a test scripted for the member ("Class.Member=description" lines), if any.
bool ScriptedFailure(const std::string& member, std::string& description) {
    std::ifstream in(Beside(".fail"));
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        size_t eq = line.find('=');
        if (eq != std::string::npos && line.compare(0, eq, member) == 0) {
            description = line.substr(eq + 1);
            return true;
        }
    }
    return false;
}

void EndIfDone() {
    if (g_objects == 0 && g_locks == 0 && (g_quit || !g_kept))
        ::PostThreadMessageA(g_mainThread, WM_QUIT, 0, 0);
}

const char* FlagText(WORD flags) {
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) return "put";
    if (flags & DISPATCH_METHOD) return "call";
    return "get";
}

class Factory final : public IClassFactory {
  public:
    Factory(std::string progId, const std::function<Object*(const std::string&)>& create)
        : m_progId(std::move(progId)), m_create(create) {}
    virtual ~Factory() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *out = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        Log("create " + m_progId);
        Object* object = m_create(m_progId);
        if (!object) return E_OUTOFMEMORY;
        HRESULT hr = object->QueryInterface(iid, out);
        object->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock)
            ++g_locks;
        else if (--g_locks == 0)
            EndIfDone();
        return S_OK;
    }

  private:
    std::string m_progId;
    const std::function<Object*(const std::string&)>& m_create;
};

std::string ClsidText(const CLSID& clsid) {
    wchar_t text[64] = L"";
    ::StringFromGUID2(clsid, text, 64);
    return Narrow(text);
}

bool SetKey(const std::string& path, const std::string& value) {
    HKEY key;
    if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr))
        return false;
    bool ok = ::RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                               static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
    ::RegCloseKey(key);
    return ok;
}

void DeleteKey(const std::string& path) {
    ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, path.c_str());
}

bool Chosen(const ServerClass& c, int argc, char** argv) {
    if (argc <= 2) return true;
    for (int i = 2; i < argc; ++i)
        if (c.progId == argv[i]) return true;
    return false;
}

int Register(const std::vector<ServerClass>& classes, int argc, char** argv, bool on) {
    const std::string classes32 = "Software\\Classes\\";
    for (const ServerClass& c : classes) {
        if (!Chosen(c, argc, argv)) continue;
        std::string clsid = ClsidText(c.clsid);
        if (!on) {
            DeleteKey(classes32 + c.progId);
            DeleteKey(classes32 + "CLSID\\" + clsid);
            continue;
        }
        if (!SetKey(classes32 + "CLSID\\" + clsid, c.progId) ||
            !SetKey(classes32 + "CLSID\\" + clsid + "\\LocalServer32", "\"" + ProgramPath() + "\"") ||
            !SetKey(classes32 + "CLSID\\" + clsid + "\\ProgID", c.progId) ||
            !SetKey(classes32 + c.progId, c.progId) || !SetKey(classes32 + c.progId + "\\CLSID", clsid))
            return 1;
    }
    return 0;
}

bool IsSwitch(const char* arg, const char* name) {
    return (arg[0] == '-' || arg[0] == '/') && ::lstrcmpiA(arg + 1, name) == 0;
}

} // namespace

std::string Describe(const VARIANT& v) {
    switch (v.vt) {
    case VT_EMPTY: return "EMPTY";
    case VT_ERROR: return v.scode == DISP_E_PARAMNOTFOUND ? "missing" : "ERROR";
    case VT_BSTR: return "BSTR:" + Narrow(v.bstrVal, static_cast<int>(::SysStringLen(v.bstrVal)));
    case VT_BOOL: return std::string("BOOL:") + (v.boolVal ? "true" : "false");
    case VT_I4: return "I4:" + std::to_string(v.lVal);
    case VT_I2: return "I2:" + std::to_string(v.iVal);
    case VT_R8: {
        char text[64];
        std::snprintf(text, sizeof text, "R8:%.15g", v.dblVal);
        return text;
    }
    case VT_DISPATCH: return "DISPATCH";
    default: return "VT" + std::to_string(v.vt);
    }
}

std::string TextOf(const VARIANT& v) {
    if (v.vt == VT_BSTR) return Narrow(v.bstrVal, static_cast<int>(::SysStringLen(v.bstrVal)));
    if (v.vt == VT_R8) {
        char text[64];
        std::snprintf(text, sizeof text, "%.15g", v.dblVal);
        return text;
    }
    VARIANT t;
    ::VariantInit(&t);
    if (FAILED(
            ::VariantChangeTypeEx(&t, const_cast<VARIANT*>(&v), MAKELCID(0x409, SORT_DEFAULT), 0, VT_BSTR)))
        return std::string();
    std::string s = Narrow(t.bstrVal, static_cast<int>(::SysStringLen(t.bstrVal)));
    ::VariantClear(&t);
    return s;
}

bool IsMissing(const VARIANT& v) {
    return v.vt == VT_EMPTY || (v.vt == VT_ERROR && v.scode == DISP_E_PARAMNOTFOUND);
}

bool BoolOf(const VARIANT& v) {
    if (v.vt == VT_BOOL) return v.boolVal != VARIANT_FALSE;
    VARIANT t;
    ::VariantInit(&t);
    if (FAILED(::VariantChangeType(&t, const_cast<VARIANT*>(&v), 0, VT_BOOL))) return false;
    return t.boolVal != VARIANT_FALSE;
}

void Log(const std::string& line) {
    std::ofstream out(Beside(".log"), std::ios::app | std::ios::binary);
    out << line << "\r\n";
}

void SetKept(bool kept) {
    g_kept = kept;
}

void SetQuit() {
    g_quit = true;
}

void SetObject(VARIANT* result, Object* object) {
    if (!result) {
        object->Release();
        return;
    }
    result->vt = VT_DISPATCH;
    result->pdispVal = object;
}

void SetText(VARIANT* result, const std::string& text) {
    if (!result) return;
    result->vt = VT_BSTR;
    result->bstrVal = Wide(text);
}

Object::Object(std::string className, const Member* members, size_t count)
    : m_className(std::move(className)), m_members(members), m_count(count) {
    ++g_objects;
    g_created = true;
}

Object::~Object() {
    if (--g_objects == 0) EndIfDone();
}

HRESULT Object::QueryInterface(REFIID iid, void** out) {
    if (iid == IID_IUnknown || iid == IID_IDispatch) {
        *out = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG Object::AddRef() {
    return static_cast<ULONG>(++m_refs);
}

ULONG Object::Release() {
    LONG n = --m_refs;
    if (n == 0) delete this;
    return static_cast<ULONG>(n);
}

HRESULT Object::GetTypeInfoCount(UINT* count) {
    *count = 0;
    return S_OK;
}

HRESULT Object::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    *info = nullptr;
    return E_NOTIMPL;
}

HRESULT Object::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    HRESULT hr = S_OK;
    for (UINT i = 0; i < count; ++i) {
        ids[i] = DISPID_UNKNOWN;
        std::string name = Narrow(names[i]);
        for (size_t m = 0; m < m_count && i == 0; ++m)
            if (::lstrcmpiA(m_members[m].name, name.c_str()) == 0) ids[i] = m_members[m].id;
        if (ids[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
}

const char* Object::MemberName(DISPID id) const {
    for (size_t m = 0; m < m_count; ++m)
        if (m_members[m].id == id) return m_members[m].name;
    return nullptr;
}

HRESULT Object::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                       EXCEPINFO* info, UINT*) {
    const char* name = MemberName(id);
    std::string line = LogName() + "." + (name ? name : std::to_string(id)) + " " + FlagText(flags);
    // The caller passes them last first.
    std::vector<VARIANT> args;
    UINT n = params ? params->cArgs : 0;
    for (UINT i = 0; i < n; ++i) {
        args.push_back(params->rgvarg[n - 1 - i]);
        line += (i ? ", " : " ") + Describe(args.back());
    }
    Log(line);
    if (!name) return DISP_E_MEMBERNOTFOUND;
    if (result) ::VariantInit(result);
    std::string failure;
    try {
        if (ScriptedFailure(m_className + "." + name, failure)) throw AutomationError{failure};
        // Put: the value is the named argument and comes last.
        Call(id, flags, args, (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) ? nullptr : result);
        return S_OK;
    } catch (const AutomationError& e) {
        Log("  raises " + e.description);
        if (info) {
            std::memset(info, 0, sizeof *info);
            info->scode = DISP_E_EXCEPTION;
            info->bstrSource = Wide(m_className);
            info->bstrDescription = Wide(e.description);
        }
        return DISP_E_EXCEPTION;
    }
}

int RunServer(const std::vector<ServerClass>& classes,
              const std::function<Object*(const std::string&)>& create) {
    int argc = __argc;
    char** argv = __argv;
    if (argc >= 2 && IsSwitch(argv[1], "RegServer")) return Register(classes, argc, argv, true);
    if (argc >= 2 && IsSwitch(argv[1], "UnregServer")) return Register(classes, argc, argv, false);
    bool embedding = false;
    for (int i = 1; i < argc; ++i)
        embedding = embedding || IsSwitch(argv[i], "Embedding");
    if (!embedding) return 2;
    g_mainThread = ::GetCurrentThreadId();
    if (FAILED(::CoInitialize(nullptr))) return 3;
    Log("start pid " + std::to_string(::GetCurrentProcessId()));
    std::vector<Factory*> factories;
    std::vector<DWORD> cookies;
    for (const ServerClass& c : classes) {
        factories.push_back(new Factory(c.progId, create));
        DWORD cookie = 0;
        if (SUCCEEDED(::CoRegisterClassObject(c.clsid, factories.back(), CLSCTX_LOCAL_SERVER,
                                              REGCLS_MULTIPLEUSE, &cookie)))
            cookies.push_back(cookie);
    }
    // Started but never asked for anything: the caller went away.
    ::SetTimer(nullptr, 0, 60000, [](HWND, UINT, UINT_PTR, DWORD) {
        if (!g_created) ::PostThreadMessageA(g_mainThread, WM_QUIT, 0, 0);
    });
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    for (DWORD cookie : cookies)
        ::CoRevokeClassObject(cookie);
    Log("end");
    ::CoUninitialize();
    for (Factory* f : factories)
        delete f;
    return 0;
}

} // namespace comdouble
