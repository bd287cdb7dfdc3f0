#include "framework/Dispatch.h"

#include <string>
#include <vector>

namespace {

BSTR ToBstr(const char* text) {
    int n = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    std::vector<wchar_t> w(static_cast<size_t>(n > 0 ? n : 1), L'\0');
    if (n > 0) ::MultiByteToWideChar(CP_ACP, 0, text, -1, w.data(), n);
    return ::SysAllocString(w.data());
}

CString FromWide(const wchar_t* w, int len) {
    if (!w || len <= 0) return CString();
    int n = ::WideCharToMultiByte(CP_ACP, 0, w, len, nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, w, len, &s[0], n, nullptr, nullptr);
    return CString(s);
}

CString ErrorText(HRESULT hr) {
    char buf[512] = {};
    if (::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                         static_cast<DWORD>(hr), 0, buf, sizeof(buf), nullptr) == 0) {
        CString s;
        s.Format("HRESULT 0x%08lX", static_cast<unsigned long>(hr));
        return s;
    }
    CString s(buf);
    s.TrimRight();
    return s;
}

} // namespace

CVariant::CVariant(const char* text) {
    ::VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = ToBstr(text ? text : "");
}

CString CVariant::ToString() const {
    VARIANT t;
    ::VariantInit(&t);
    if (FAILED(::VariantChangeType(&t, const_cast<VARIANT*>(&v), 0, VT_BSTR))) return CString();
    CString s = FromWide(t.bstrVal, static_cast<int>(::SysStringLen(t.bstrVal)));
    ::VariantClear(&t);
    return s;
}

long CVariant::ToLong() const {
    VARIANT t;
    ::VariantInit(&t);
    if (FAILED(::VariantChangeType(&t, const_cast<VARIANT*>(&v), 0, VT_I4))) return 0;
    return t.lVal;
}

bool CDispatchDriver::CreateDispatch(const char* progId, CDispatchException* error) {
    ReleaseDispatch();
    CLSID clsid;
    BSTR name = ToBstr(progId);
    HRESULT hr = ::CLSIDFromProgID(name, &clsid);
    ::SysFreeString(name);
    IDispatch* disp = nullptr;
    if (SUCCEEDED(hr))
        hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IDispatch, reinterpret_cast<void**>(&disp));
    if (FAILED(hr)) {
        if (error) *error = CDispatchException(hr, ErrorText(hr));
        return false;
    }
    AttachDispatch(disp, true);
    return true;
}

void CDispatchDriver::AttachDispatch(IDispatch* dispatch, bool autoRelease) {
    ReleaseDispatch();
    m_lpDispatch = dispatch;
    m_bAutoRelease = autoRelease;
}

void CDispatchDriver::ReleaseDispatch() {
    if (m_lpDispatch && m_bAutoRelease) m_lpDispatch->Release();
    m_lpDispatch = nullptr;
}

CVariant CDispatchDriver::Invoke(DISPID id, WORD flags, const CVariant* args, int count) {
    if (!m_lpDispatch) throw CDispatchException(E_POINTER, "Kein Automatisierungsobjekt vorhanden.");
    // IDispatch takes its arguments last to first.
    std::vector<VARIANT> reversed(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        reversed[static_cast<size_t>(count - 1 - i)] = args[i].v;
    DISPPARAMS params{};
    params.rgvarg = reversed.empty() ? nullptr : reversed.data();
    params.cArgs = static_cast<UINT>(count);
    DISPID named = DISPID_PROPERTYPUT;
    if (flags & DISPATCH_PROPERTYPUT) {
        params.rgdispidNamedArgs = &named;
        params.cNamedArgs = 1;
    }
    CVariant result;
    EXCEPINFO info{};
    UINT argError = 0;
    HRESULT hr = m_lpDispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                                      (flags & DISPATCH_PROPERTYPUT) ? nullptr : &result.v, &info, &argError);
    if (FAILED(hr)) {
        if (hr == DISP_E_EXCEPTION && info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
        CString text =
            hr == DISP_E_EXCEPTION && info.bstrDescription
                ? FromWide(info.bstrDescription, static_cast<int>(::SysStringLen(info.bstrDescription)))
                : ErrorText(hr);
        HRESULT code = hr == DISP_E_EXCEPTION && info.scode ? info.scode : hr;
        ::SysFreeString(info.bstrDescription);
        ::SysFreeString(info.bstrSource);
        ::SysFreeString(info.bstrHelpFile);
        throw CDispatchException(code, text);
    }
    return result;
}
