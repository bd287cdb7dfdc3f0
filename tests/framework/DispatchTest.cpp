#include "framework/Dispatch.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// {6F0B8C52-3A1D-4E7B-9C21-5D4A2B7E9F10}
const CLSID kClsid = {0x6f0b8c52, 0x3a1d, 0x4e7b, {0x9c, 0x21, 0x5d, 0x4a, 0x2b, 0x7e, 0x9f, 0x10}};

// A small automation object: property 1 (text), method 2 (a - b), method 3 always fails.
struct Object final : IDispatch {
    virtual ~Object() = default;
    LONG refs = 1;
    std::wstring name;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IDispatch) {
            *out = this;
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs)); }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG n = InterlockedDecrement(&refs);
        if (n == 0) delete this;
        return static_cast<ULONG>(n);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
        *n = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* p, VARIANT* result,
                                     EXCEPINFO* info, UINT*) override {
        if (id == 1 && (flags & DISPATCH_PROPERTYPUT)) {
            if (p->cArgs != 1 || p->cNamedArgs != 1 || p->rgvarg[0].vt != VT_BSTR)
                return DISP_E_BADPARAMCOUNT;
            name = p->rgvarg[0].bstrVal;
            return S_OK;
        }
        if (id == 1 && (flags & DISPATCH_PROPERTYGET)) {
            result->vt = VT_BSTR;
            result->bstrVal = SysAllocString(name.c_str());
            return S_OK;
        }
        if (id == 2 && p->cArgs == 2) {
            result->vt = VT_I4;
            result->lVal = p->rgvarg[1].lVal - p->rgvarg[0].lVal; // arguments arrive last first
            return S_OK;
        }
        if (id == 3) {
            info->scode = static_cast<SCODE>(0x80040201);
            info->bstrDescription = SysAllocString(L"Fehler im Ger\u00e4t");
            return DISP_E_EXCEPTION;
        }
        // By reference: text, 16-bit and 32-bit integers, each changed; a double back.
        if (id == 4 && p->cArgs == 3) {
            VARIANT* a = p->rgvarg; // last first
            if (a[2].vt != (VT_BSTR | VT_BYREF) || a[1].vt != (VT_I2 | VT_BYREF) ||
                a[0].vt != (VT_I4 | VT_BYREF))
                return DISP_E_TYPEMISMATCH;
            std::wstring text = std::wstring(*a[2].pbstrVal) + L"!";
            SysFreeString(*a[2].pbstrVal);
            *a[2].pbstrVal = SysAllocString(text.c_str());
            *a[1].piVal += 1;
            *a[0].plVal *= 2;
            result->vt = VT_R8;
            result->dblVal = 2.5;
            return S_OK;
        }
        if (id == 5) {
            result->vt = VT_BSTR;
            result->bstrVal = SysAllocString(L"12");
            return S_OK;
        }
        return DISP_E_MEMBERNOTFOUND;
    }
};

struct Factory : IClassFactory {
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *out = this;
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (outer) return CLASS_E_NOAGGREGATION;
        auto* o = new Object;
        HRESULT hr = o->QueryInterface(iid, out);
        o->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

class DispatchTest : public ::testing::Test {
  protected:
    Factory factory;
    DWORD cookie = 0;
    void SetUp() override {
        CoInitialize(nullptr);
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Classes\\FwTest.Object\\CLSID", 0, nullptr,
                                  0, KEY_WRITE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        const char* clsid = "{6F0B8C52-3A1D-4E7B-9C21-5D4A2B7E9F10}";
        RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(clsid), 39);
        RegCloseKey(key);
        ASSERT_EQ(CoRegisterClassObject(kClsid, &factory, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                        REGCLS_MULTIPLEUSE, &cookie),
                  S_OK);
    }
    void TearDown() override {
        CoRevokeClassObject(cookie);
        CoUninitialize();
    }
};

} // namespace

TEST_F(DispatchTest, CreatesByProgIdAndInvokesByDispid) {
    CDispatchDriver d;
    ASSERT_TRUE(d.CreateDispatch("FwTest.Object"));
    d.SetProperty(1, CVariant("Grüße"));
    EXPECT_EQ(d.GetProperty(1).ToString(), "Grüße") << "ANSI text survives the wide round trip";
    CVariant args[] = {CVariant(10L), CVariant(3L)};
    EXPECT_EQ(d.Invoke(2, DISPATCH_METHOD, args, 2).ToLong(), 7) << "arguments in natural order";
}

TEST_F(DispatchTest, FailuresBecomeExceptionsWithTheObjectsDescription) {
    CDispatchDriver d;
    CDispatchException err(S_OK, "");
    EXPECT_FALSE(d.CreateDispatch("FwTest.Missing", &err));
    EXPECT_FALSE(err.m_strDescription.IsEmpty());
    EXPECT_THROW(d.Invoke(3, DISPATCH_METHOD), CDispatchException) << "no object yet";
    ASSERT_TRUE(d.CreateDispatch("FwTest.Object"));
    try {
        d.Invoke(3, DISPATCH_METHOD);
        FAIL() << "no exception";
    } catch (const CDispatchException& e) {
        EXPECT_EQ(e.m_strDescription, "Fehler im Gerät");
        EXPECT_EQ(static_cast<unsigned long>(e.m_scError), 0x80040201ul);
    }
    EXPECT_THROW(d.Invoke(99, DISPATCH_METHOD), CDispatchException);
}

TEST_F(DispatchTest, TypedCallsPassByReferenceAndConvertTheResult) {
    CDispatchDriver d;
    ASSERT_TRUE(d.CreateDispatch("FwTest.Object"));
    std::vector<fw::DispValue> args{fw::DispValue("Gr\xfc\xdf"), fw::DispValue(-3), fw::DispValue(70000L)};
    fw::DispValue r = d.Call({4, fw::kDispMethod, 'd', "SHL"}, args);
    EXPECT_DOUBLE_EQ(r.real, 2.5);
    EXPECT_EQ(args[0].text, "Gr\xfc\xdf!") << "code page 1252 both ways";
    EXPECT_EQ(args[1].number, -2);
    EXPECT_EQ(args[2].number, 140000);
    EXPECT_EQ(d.Call({5, fw::kDispGet, 'h', ""}).number, 12) << "a text answer read as a number";
    EXPECT_EQ(d.Call({5, fw::kDispGet, 's', ""}).text, "12");
    EXPECT_THROW(d.Call({4, fw::kDispMethod, 0, "SH"}, {"x", 1}), CDispatchException) << "the object refuses";
    EXPECT_THROW(d.Call({4, fw::kDispMethod, 0, "SHL"}, {"x"}), CDispatchException) << "the row wants three";
}
