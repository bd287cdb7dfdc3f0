#include "framework/ShellLink.h"
#include "framework/FwString.h"
#include "framework/OleDragDrop.h"

#include <shlobj.h>

namespace fw {

namespace {

// A COM interface pointer released on every way out.
template <typename T> class ComRef {
  public:
    ComRef() = default;
    ~ComRef() {
        if (m_p) m_p->Release();
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    T** Out() { return &m_p; }
    T* operator->() const { return m_p; }
    T* get() const { return m_p; }

  private:
    T* m_p = nullptr;
};

HRESULT OpenLink(ComRef<IShellLinkA>& link, ComRef<IPersistFile>& file) {
    AfxOleInit();
    HRESULT hr = ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                    reinterpret_cast<void**>(link.Out()));
    if (FAILED(hr)) return hr;
    return link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Out()));
}

} // namespace

HRESULT CreateShellLink(const std::string& linkPath, const std::string& target) {
    ComRef<IShellLinkA> link;
    ComRef<IPersistFile> file;
    HRESULT hr = OpenLink(link, file);
    if (FAILED(hr)) return hr;
    hr = link->SetPath(target.c_str());
    if (FAILED(hr)) return hr;
    return file->Save(WidenCp1252(linkPath).c_str(), TRUE);
}

std::string ShellLinkPath(const std::string& linkPath) {
    ComRef<IShellLinkA> link;
    ComRef<IPersistFile> file;
    if (FAILED(OpenLink(link, file))) return std::string();
    if (FAILED(file->Load(WidenCp1252(linkPath).c_str(), STGM_READ))) return std::string();
    char path[MAX_PATH] = {};
    if (FAILED(link->GetPath(path, MAX_PATH, nullptr, SLGP_RAWPATH))) return std::string();
    return path;
}

} // namespace fw
