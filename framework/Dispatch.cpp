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
    CVariant result;
    InvokeParams(id, flags, params, result);
    return result;
}

void CDispatchDriver::InvokeParams(DISPID id, WORD flags, DISPPARAMS& params, CVariant& result) {
    DISPID named = DISPID_PROPERTYPUT;
    if (flags & DISPATCH_PROPERTYPUT) {
        params.rgdispidNamedArgs = &named;
        params.cNamedArgs = 1;
    }
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
}

namespace {

constexpr UINT kComponentCodePage = 1252;

BSTR TextToBstr(const std::string& text) {
    int n =
        ::MultiByteToWideChar(kComponentCodePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    BSTR b = ::SysAllocStringLen(nullptr, static_cast<UINT>(n > 0 ? n : 0));
    if (b && n > 0)
        ::MultiByteToWideChar(kComponentCodePage, 0, text.data(), static_cast<int>(text.size()), b, n);
    return b;
}

std::string BstrToText(BSTR b) {
    int len = static_cast<int>(::SysStringLen(b));
    if (!b || len == 0) return std::string();
    int n = ::WideCharToMultiByte(kComponentCodePage, 0, b, len, nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) ::WideCharToMultiByte(kComponentCodePage, 0, b, len, &s[0], n, nullptr, nullptr);
    return s;
}

// The storage of one argument: the value itself, and the VARIANT that passes it (by reference
// pointing into the storage).
struct ArgSlot {
    BSTR text = nullptr;
    SHORT i2 = 0;
    LONG i4 = 0;
    VARIANT v;
};

void FillArg(char type, const fw::DispValue& value, ArgSlot& slot) {
    ::VariantInit(&slot.v);
    switch (type) {
    case fw::kDispText:
    case fw::kDispTextRef:
        slot.text = TextToBstr(value.text);
        if (type == fw::kDispText) {
            slot.v.vt = VT_BSTR;
            slot.v.bstrVal = slot.text;
        } else {
            slot.v.vt = VT_BSTR | VT_BYREF;
            slot.v.pbstrVal = &slot.text;
        }
        break;
    case fw::kDispShort:
        slot.v.vt = VT_I2;
        slot.v.iVal = static_cast<SHORT>(value.number);
        break;
    case fw::kDispShortRef:
        slot.i2 = static_cast<SHORT>(value.number);
        slot.v.vt = VT_I2 | VT_BYREF;
        slot.v.piVal = &slot.i2;
        break;
    case fw::kDispLong:
        slot.v.vt = VT_I4;
        slot.v.lVal = value.number;
        break;
    case fw::kDispLongRef:
        slot.i4 = value.number;
        slot.v.vt = VT_I4 | VT_BYREF;
        slot.v.plVal = &slot.i4;
        break;
    case fw::kDispReal:
        slot.v.vt = VT_R8;
        slot.v.dblVal = value.real;
        break;
    default: throw CDispatchException(E_INVALIDARG, "Unbekannter Argumenttyp.");
    }
}

void ReadBack(char type, const ArgSlot& slot, fw::DispValue& value) {
    if (type == fw::kDispTextRef) value.text = BstrToText(slot.text);
    if (type == fw::kDispShortRef) value.number = slot.i2;
    if (type == fw::kDispLongRef) value.number = slot.i4;
}

fw::DispValue ConvertResult(char type, const VARIANT& v) {
    fw::DispValue value;
    VARIANT t;
    ::VariantInit(&t);
    VARTYPE to = type == fw::kDispText ? VT_BSTR : type == fw::kDispReal ? VT_R8 : VT_I4;
    // Numbers as text in the invariant form: a decimal point whatever the user's settings.
    if (v.vt != VT_EMPTY && SUCCEEDED(::VariantChangeTypeEx(&t, const_cast<VARIANT*>(&v),
                                                            MAKELCID(0x409, SORT_DEFAULT), 0, to))) {
        if (to == VT_BSTR) value.text = BstrToText(t.bstrVal);
        if (to == VT_R8) value.real = t.dblVal;
        if (to == VT_I4) value.number = type == fw::kDispShort ? static_cast<SHORT>(t.lVal) : t.lVal;
    }
    ::VariantClear(&t);
    return value;
}

} // namespace

fw::DispValue CDispatchDriver::Call(const fw::DispMember& member, std::vector<fw::DispValue>& args) {
    const std::string types = member.args ? member.args : "";
    if (types.size() != args.size() || types.size() > static_cast<size_t>(fw::kDispMaxArgs))
        throw CDispatchException(DISP_E_BADPARAMCOUNT, "Falsche Anzahl von Argumenten.");
    if (!m_lpDispatch) throw CDispatchException(E_POINTER, "Kein Automatisierungsobjekt vorhanden.");
    const int count = static_cast<int>(types.size());
    ArgSlot slots[fw::kDispMaxArgs];
    struct Release {
        ArgSlot* slots;
        int count;
        ~Release() {
            for (int i = 0; i < count; ++i)
                ::SysFreeString(slots[i].text);
        }
    } release{slots, 0};
    // IDispatch takes its arguments last to first.
    VARIANT reversed[fw::kDispMaxArgs];
    for (int i = 0; i < count; ++i) {
        FillArg(types[static_cast<size_t>(i)], args[static_cast<size_t>(i)], slots[i]);
        release.count = i + 1;
        reversed[count - 1 - i] = slots[i].v;
    }
    DISPPARAMS params{};
    params.rgvarg = count ? reversed : nullptr;
    params.cArgs = static_cast<UINT>(count);
    WORD flags = member.kind == fw::kDispPut   ? DISPATCH_PROPERTYPUT
                 : member.kind == fw::kDispGet ? DISPATCH_PROPERTYGET
                                               : DISPATCH_METHOD;
    CVariant result;
    InvokeParams(member.id, flags, params, result);
    // A callee may have put a new BSTR in place of ours (and freed ours).
    for (int i = 0; i < count; ++i)
        ReadBack(types[static_cast<size_t>(i)], slots[i], args[static_cast<size_t>(i)]);
    return member.result ? ConvertResult(member.result, result.v) : fw::DispValue();
}

fw::DispValue CDispatchDriver::Call(const fw::DispMember& member, std::initializer_list<fw::DispValue> args) {
    std::vector<fw::DispValue> values(args);
    return Call(member, values);
}
