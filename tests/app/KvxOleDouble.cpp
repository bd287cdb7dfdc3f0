// Stands in for the local database's automation library kvxole32.dll: registers the class
// "M.Command" (regsvr32), and answers its members by forwarding every line to the test's
// dbserver through the client library. Test settings, read from the environment:
//   VORLAN_DBSERVER_PORT      where dbserver listens (127.0.0.1)
//   VORLAN_KVXOLE_LOG         a file that gets one line for each member called
//   VORLAN_KVXOLE_STATUS      the status the open method answers instead of connecting
//   VORLAN_KVXOLE_NOREGISTER  registration writes nothing
//   VORLAN_KVXOLE_STUCK       the state never reads 0 (an engine that does not close)
#include "client/kvxapi.h"

#include <windows.h>
#include <oleauto.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// {6B1D8F2A-3C4E-4F5A-9B7C-2D1E0F3A4B5C}
const CLSID kClsid = {0x6b1d8f2a, 0x3c4e, 0x4f5a, {0x9b, 0x7c, 0x2d, 0x1e, 0x0f, 0x3a, 0x4b, 0x5c}};
const char kClsidText[] = "{6B1D8F2A-3C4E-4F5A-9B7C-2D1E0F3A4B5C}";
const char kProgId[] = "M.Command";

HMODULE g_module = nullptr;
LONG g_objects = 0;

std::string Env(const char* name) {
    char value[MAX_PATH] = {};
    return GetEnvironmentVariableA(name, value, sizeof value) > 0 ? value : "";
}

void Note(const std::string& what) {
    std::string path = Env("VORLAN_KVXOLE_LOG");
    if (path.empty()) return;
    if (FILE* f = std::fopen(path.c_str(), "ab")) {
        std::fprintf(f, "%s\n", what.c_str());
        std::fclose(f);
    }
}

std::string FromBstr(BSTR b) {
    if (!b) return "";
    int len = static_cast<int>(SysStringLen(b));
    int n = WideCharToMultiByte(CP_ACP, 0, b, len, nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, b, len, &s[0], n, nullptr, nullptr);
    return s;
}

BSTR ToBstr(const std::string& s) {
    int n = MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    BSTR b = SysAllocStringLen(nullptr, static_cast<UINT>(n));
    MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), b, n);
    return b;
}

// The client library beside this library, loaded when first needed: regsvr32 loads this
// library from a folder that is not its own.
struct ClientLibrary {
    using Init = int(KVXAPI*)();
    using Login = int(KVXAPI*)(const char*, int, char*, char*, const char*, int, int);
    using Xecute = int(KVXAPI*)(int, const char*, char*, int);
    using Logout = int(KVXAPI*)(int);
    Init init = nullptr;
    Login login = nullptr;
    Xecute xecute = nullptr;
    Logout logout = nullptr;

    bool Load() {
        if (xecute) return true;
        char path[MAX_PATH] = {};
        GetModuleFileNameA(g_module, path, MAX_PATH);
        std::string folder(path);
        folder = folder.substr(0, folder.rfind('\\') + 1);
        HMODULE lib = LoadLibraryA((folder + "KVXAPI32.dll").c_str());
        if (!lib) return false;
        init = reinterpret_cast<Init>(reinterpret_cast<void*>(GetProcAddress(lib, "KVX_INITIALIZE")));
        login = reinterpret_cast<Login>(reinterpret_cast<void*>(GetProcAddress(lib, "KVX_LOGIN")));
        xecute = reinterpret_cast<Xecute>(reinterpret_cast<void*>(GetProcAddress(lib, "KVX_XECUTE")));
        logout = reinterpret_cast<Logout>(reinterpret_cast<void*>(GetProcAddress(lib, "KVX_LOGOUT")));
        return init && login && xecute && logout;
    }
};

HRESULT Raise(EXCEPINFO* info, const std::string& text) {
    if (info) {
        *info = EXCEPINFO{};
        info->bstrSource = ToBstr(kProgId);
        info->bstrDescription = ToBstr(text);
        info->scode = E_FAIL;
    }
    return DISP_E_EXCEPTION;
}

class Command : public IDispatch {
  public:
    Command() { InterlockedIncrement(&g_objects); }
    virtual ~Command() {
        if (m_handle) m_lib.logout(m_handle);
        InterlockedDecrement(&g_objects);
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (riid == IID_IUnknown || riid == IID_IDispatch) {
            *out = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&m_refs)); }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG n = InterlockedDecrement(&m_refs);
        if (n == 0) delete this;
        return static_cast<ULONG>(n);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* info, UINT*) override {
        std::string arg;
        if (params && params->cArgs > 0) {
            VARIANT text;
            VariantInit(&text);
            if (SUCCEEDED(VariantChangeType(&text, &params->rgvarg[0], 0, VT_BSTR)))
                arg = FromBstr(text.bstrVal);
            VariantClear(&text);
        }
        if (flags & DISPATCH_PROPERTYPUT) {
            Note("put " + std::to_string(id) + " " + arg);
            if (id == 101 || id == 102) return S_OK;
            return DISP_E_MEMBERNOTFOUND;
        }
        if (id == 115) {
            Note("get 115");
            return Answer(result, VT_I4, m_handle || !Env("VORLAN_KVXOLE_STUCK").empty() ? 1 : 0);
        }
        Note("call " + std::to_string(id) + (id == 2 ? " " + arg : ""));
        switch (id) {
        case 3: return Open(result, info);
        case 4:
            if (m_handle) m_lib.logout(m_handle);
            m_handle = 0;
            return Answer(result, VT_I2, 0);
        case 2: return Execute(arg, result, info);
        default: return DISP_E_MEMBERNOTFOUND;
        }
    }

  private:
    static HRESULT Answer(VARIANT* result, VARTYPE type, long value) {
        if (!result) return S_OK;
        VariantInit(result);
        result->vt = type;
        if (type == VT_I2)
            result->iVal = static_cast<SHORT>(value);
        else
            result->lVal = value;
        return S_OK;
    }

    HRESULT Open(VARIANT* result, EXCEPINFO* info) {
        std::string status = Env("VORLAN_KVXOLE_STATUS");
        if (!status.empty()) return Answer(result, VT_I2, std::atol(status.c_str()));
        if (!m_lib.Load()) return Raise(info, "KVXAPI32.dll fehlt neben kvxole32.dll");
        m_lib.init();
        char uci[16] = {}, vol[16] = {};
        int handle =
            m_lib.login("127.0.0.1", std::atoi(Env("VORLAN_DBSERVER_PORT").c_str()), uci, vol, "", 0, 256);
        if (handle <= 0 || handle >= 10000)
            return Raise(info, "Datenbank nicht erreichbar (" + std::to_string(handle) + ")");
        m_handle = handle;
        return Answer(result, VT_I2, 0);
    }

    HRESULT Execute(const std::string& line, VARIANT* result, EXCEPINFO* info) {
        std::string output;
        // An engine's device parameter that GT.M does not know.
        if (line != "U $P:(::::4096)") {
            if (!m_handle) return Raise(info, "keine Verbindung");
            std::vector<char> buffer(0x10000);
            int rc = m_lib.xecute(m_handle, line.c_str(), buffer.data(), static_cast<int>(buffer.size()));
            buffer.back() = '\0';
            if (rc != 0) return Raise(info, buffer.data());
            output = buffer.data();
        }
        if (result) {
            VariantInit(result);
            result->vt = VT_BSTR;
            result->bstrVal = ToBstr(output);
        }
        return S_OK;
    }

    LONG m_refs = 1;
    int m_handle = 0;
    ClientLibrary m_lib;
};

class Factory : public IClassFactory {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (riid == IID_IUnknown || riid == IID_IClassFactory) {
            *out = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** out) override {
        if (outer) return CLASS_E_NOAGGREGATION;
        Command* command = new Command;
        HRESULT hr = command->QueryInterface(riid, out);
        command->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

Factory g_factory;

bool SetKey(const std::string& key, const char* name, const std::string& value) {
    HKEY h;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr) !=
        ERROR_SUCCESS)
        return false;
    LONG rc = RegSetValueExA(h, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                             static_cast<DWORD>(value.size() + 1));
    RegCloseKey(h);
    return rc == ERROR_SUCCESS;
}

} // namespace

// Exported through kvxole32.def, as the system headers declare these already.
extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) g_module = instance;
    return TRUE;
}

HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID riid, void** out) {
    if (clsid != kClsid) return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(riid, out);
}

HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return g_objects == 0 ? S_OK : S_FALSE;
}

HRESULT STDAPICALLTYPE DllRegisterServer() {
    Note("register");
    if (!Env("VORLAN_KVXOLE_NOREGISTER").empty()) return S_OK;
    char path[MAX_PATH] = {};
    GetModuleFileNameA(g_module, path, MAX_PATH);
    std::string clsid = std::string("CLSID\\") + kClsidText;
    bool ok = SetKey(std::string(kProgId) + "\\CLSID", nullptr, kClsidText) &&
              SetKey(clsid, nullptr, kProgId) && SetKey(clsid + "\\ProgID", nullptr, kProgId) &&
              SetKey(clsid + "\\InprocServer32", nullptr, path) &&
              SetKey(clsid + "\\InprocServer32", "ThreadingModel", "Apartment");
    return ok ? S_OK : E_FAIL;
}

HRESULT STDAPICALLTYPE DllUnregisterServer() {
    RegDeleteTreeA(HKEY_CLASSES_ROOT, (std::string("CLSID\\") + kClsidText).c_str());
    RegDeleteTreeA(HKEY_CLASSES_ROOT, kProgId);
    return S_OK;
}

} // extern "C"
