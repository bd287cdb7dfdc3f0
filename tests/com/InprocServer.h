#pragma once
// What the in-process control doubles share: their class factory and their registration in the
// test prefix. Never installed.
#include <windows.h>
#include <olectl.h>

#include <string>

namespace inproc {

// One static factory per double; Create makes a new control and hands out the interface asked for.
class CFactory : public IClassFactory {
  public:
    using Create = HRESULT (*)(REFIID iid, void** out);
    explicit CFactory(Create create) : m_create(create) {}
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (iid != IID_IUnknown && iid != IID_IClassFactory) {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        *out = this;
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (outer) return CLASS_E_NOAGGREGATION;
        return m_create(iid, out);
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }

  private:
    Create m_create;
};

// The module as the class's apartment-threaded in-process server under clsidKey (below HKLM).
inline HRESULT RegisterServer(HINSTANCE module, const char* clsidKey) {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(module, path, sizeof path);
    HKEY key;
    std::string sub = std::string(clsidKey) + "\\InprocServer32";
    if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, sub.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr))
        return SELFREG_E_CLASS;
    ::RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(path),
                     static_cast<DWORD>(std::char_traits<char>::length(path) + 1));
    static const char model[] = "Apartment";
    ::RegSetValueExA(key, "ThreadingModel", 0, REG_SZ, reinterpret_cast<const BYTE*>(model), sizeof model);
    ::RegCloseKey(key);
    return S_OK;
}

} // namespace inproc
