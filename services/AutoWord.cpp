#include "services/AutoWord.h"

#include "app/ProtocolLog.h"

#include <string>
#include <vector>

namespace {

constexpr long kPdfFormat = 17;

// A text argument that frees itself.
class CBstrArg {
  public:
    explicit CBstrArg(const char* text) {
        ::VariantInit(&v);
        v.vt = VT_BSTR;
        int n = ::MultiByteToWideChar(CP_ACP, 0, text ? text : "", -1, nullptr, 0);
        std::vector<wchar_t> wide(static_cast<size_t>(n > 0 ? n : 1), L'\0');
        if (n > 0) ::MultiByteToWideChar(CP_ACP, 0, text ? text : "", -1, wide.data(), n);
        v.bstrVal = ::SysAllocString(wide.data());
    }
    ~CBstrArg() { ::VariantClear(&v); }
    CBstrArg(const CBstrArg&) = delete;
    CBstrArg& operator=(const CBstrArg&) = delete;
    VARIANT v;
};

VARIANT BoolArg(bool value) {
    VARIANT v;
    ::VariantInit(&v);
    v.vt = VT_BOOL;
    v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

VARIANT LongArg(long value) {
    VARIANT v;
    ::VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

// A reference to an automation object, released on every way out.
class CDispatchRef {
  public:
    explicit CDispatchRef(IDispatch* object) : m_p(object) {}
    ~CDispatchRef() {
        if (m_p) m_p->Release();
    }
    CDispatchRef(const CDispatchRef&) = delete;
    CDispatchRef& operator=(const CDispatchRef&) = delete;
    IDispatch* get() const { return m_p; }

  private:
    IDispatch* m_p;
};

// Looks the member up by name and invokes it with the arguments as given, which the caller
// has put last first, as IDispatch takes positional arguments.
HRESULT CallByName(IDispatch* object, const wchar_t* name, WORD flags, LCID locale, VARIANT* lastFirst,
                   UINT count, VARIANT* result) {
    if (!object) return E_POINTER;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID id = DISPID_UNKNOWN;
    HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, locale, &id);
    if (FAILED(hr)) return hr;
    DISPPARAMS params{};
    params.rgvarg = count ? lastFirst : nullptr;
    params.cArgs = count;
    EXCEPINFO info{};
    UINT argError = 0;
    hr = object->Invoke(id, IID_NULL, locale, flags, &params, result, &info, &argError);
    // Word's exceptions are not examined: only that the call failed.
    ::SysFreeString(info.bstrSource);
    ::SysFreeString(info.bstrDescription);
    ::SysFreeString(info.bstrHelpFile);
    return hr;
}

// The object a call gave back, or null; the reference passes to the caller.
IDispatch* TakeObject(VARIANT& result) {
    IDispatch* object = nullptr;
    if (result.vt == VT_DISPATCH && result.pdispVal) {
        object = result.pdispVal;
        object->AddRef();
    }
    ::VariantClear(&result);
    return object;
}

void Release(IDispatch*& object) {
    if (object) object->Release();
    object = nullptr;
}

} // namespace

CAutoWord::CAutoWord() {
    vorlan::TraceFunction("CAutoWord::CAutoWord");
    m_bComInitialized = SUCCEEDED(::CoInitialize(nullptr));
}

CAutoWord::~CAutoWord() {
    vorlan::TraceFunction("CAutoWord::~CAutoWord");
    QuitWord();
    // Only what this object began is ended.
    if (m_bComInitialized) ::CoUninitialize();
}

int CAutoWord::StartWord() {
    vorlan::TraceFunction("CAutoWord::StartWord");
    CLSID clsid;
    IUnknown* unknown = nullptr;
    bool started = SUCCEEDED(::CLSIDFromProgID(L"Word.Application", &clsid)) &&
                   SUCCEEDED(::CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IUnknown,
                                                reinterpret_cast<void**>(&unknown)));
    if (started) {
        started =
            SUCCEEDED(unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&m_pApplication)));
        unknown->Release();
    }
    if (started) {
        VARIANT result;
        ::VariantInit(&result);
        started = SUCCEEDED(CallByName(m_pApplication, L"Documents", DISPATCH_PROPERTYGET,
                                       LOCALE_SYSTEM_DEFAULT, nullptr, 0, &result));
        m_pDocuments = started ? TakeObject(result) : nullptr;
        started = m_pDocuments != nullptr;
    }
    if (started) return 0;
    ::OutputDebugStringA("Error in creating Word application instance\n");
    QuitWord();
    return -1;
}

IDispatch* CAutoWord::OpenDocument(const char* path) {
    CBstrArg fileName(path);
    VARIANT result;
    ::VariantInit(&result);
    IDispatch* document = nullptr;
    if (SUCCEEDED(CallByName(m_pDocuments, L"Open", DISPATCH_METHOD, LOCALE_SYSTEM_DEFAULT, &fileName.v, 1,
                             &result)))
        document = TakeObject(result);
    if (!document) {
        ::OutputDebugStringA("Error opening the document\n");
        QuitWord();
    }
    return document;
}

void CAutoWord::CloseDocument(IDispatch* document) {
    CallByName(document, L"Close", DISPATCH_METHOD, LOCALE_SYSTEM_DEFAULT, nullptr, 0, nullptr);
}

int CAutoWord::PrintDocument(const char* path) {
    vorlan::TraceFunction("CAutoWord::PrintDocument");
    CDispatchRef document(OpenDocument(path));
    if (!document.get()) return -1;
    // Printed in the foreground: Close and Quit right after would cancel a background job.
    VARIANT background = BoolArg(false);
    if (FAILED(CallByName(document.get(), L"PrintOut", DISPATCH_METHOD, LOCALE_SYSTEM_DEFAULT, &background, 1,
                          nullptr))) {
        ::OutputDebugStringA("The document could not be printed\n");
        QuitWord();
        return -2;
    }
    CloseDocument(document.get());
    return 0;
}

int CAutoWord::SaveDocumentAs(const char* path, const char* target) {
    vorlan::TraceFunction("CAutoWord::SaveDocumentAs");
    CDispatchRef document(OpenDocument(path));
    if (!document.get()) return -1;
    CBstrArg fileName(target), password(""), writePassword("");
    // FileName, FileFormat, LockComments, Password, AddToRecentFiles, WritePassword,
    // ReadOnlyRecommended, EmbedTrueTypeFonts, SaveNativePictureFormat, SaveFormsData,
    // SaveAsAOCELetter, put last first.
    VARIANT args[11] = {BoolArg(false), BoolArg(false),      BoolArg(false), BoolArg(false),
                        BoolArg(false), writePassword.v,     BoolArg(true),  password.v,
                        BoolArg(false), LongArg(kPdfFormat), fileName.v};
    if (FAILED(
            CallByName(document.get(), L"SaveAs", DISPATCH_METHOD, LOCALE_USER_DEFAULT, args, 11, nullptr))) {
        ::OutputDebugStringA("The document could not be saved\n");
        QuitWord();
        return -2;
    }
    CloseDocument(document.get());
    return 0;
}

void CAutoWord::QuitWord() {
    vorlan::TraceFunction("CAutoWord::QuitWord");
    Release(m_pDocuments);
    if (!m_pApplication) return;
    if (FAILED(
            CallByName(m_pApplication, L"Quit", DISPATCH_METHOD, LOCALE_SYSTEM_DEFAULT, nullptr, 0, nullptr)))
        ::OutputDebugStringA("Error in quitting WinWord.exe\n");
    Release(m_pApplication);
}
