#pragma once
// Automation driver: creates an object by ProgID and invokes its members by DISPID.
// Failures are thrown as CDispatchException.

#include "framework/DispMember.h"
#include "framework/FwString.h"

#include <windows.h>
#include <oleauto.h>

#include <exception>
#include <initializer_list>
#include <vector>

class CDispatchException : public std::exception {
  public:
    CDispatchException(HRESULT code, const CString& description)
        : m_scError(code), m_strDescription(description) {}
    const char* what() const noexcept override { return m_strDescription.c_str(); }
    HRESULT m_scError;
    CString m_strDescription;
};

// A VARIANT that clears itself.
class CVariant {
  public:
    CVariant() { ::VariantInit(&v); }
    explicit CVariant(const char* text);
    explicit CVariant(long value) {
        ::VariantInit(&v);
        v.vt = VT_I4;
        v.lVal = value;
    }
    ~CVariant() { ::VariantClear(&v); }
    CVariant(const CVariant& o) {
        ::VariantInit(&v);
        ::VariantCopy(&v, const_cast<VARIANT*>(&o.v));
    }
    CVariant& operator=(const CVariant& o) {
        if (this != &o) ::VariantCopy(&v, const_cast<VARIANT*>(&o.v));
        return *this;
    }
    // The value as text in the ANSI code page; empty when it cannot be converted.
    CString ToString() const;
    long ToLong() const;
    VARIANT v;
};

class CDispatchDriver {
  public:
    CDispatchDriver() = default;
    ~CDispatchDriver() { ReleaseDispatch(); }
    CDispatchDriver(const CDispatchDriver&) = delete;
    CDispatchDriver& operator=(const CDispatchDriver&) = delete;

    // Needs COM initialised on the thread. False (with the reason in *error) on failure.
    bool CreateDispatch(const char* progId, CDispatchException* error = nullptr);
    void AttachDispatch(IDispatch* dispatch, bool autoRelease = true);
    void ReleaseDispatch();
    IDispatch* m_lpDispatch = nullptr;

    // flags: DISPATCH_METHOD, DISPATCH_PROPERTYGET or DISPATCH_PROPERTYPUT. Arguments in
    // natural order. Throws CDispatchException.
    CVariant Invoke(DISPID id, WORD flags, const CVariant* args = nullptr, int count = 0);
    CVariant GetProperty(DISPID id) { return Invoke(id, DISPATCH_PROPERTYGET); }
    void SetProperty(DISPID id, const CVariant& value) { Invoke(id, DISPATCH_PROPERTYPUT, &value, 1); }

    // Typed call of a member by its row: the arguments as the row's letters say (their count
    // must match), by-reference ones written back into args; the result converted to the
    // row's result type. The driver owns every BSTR it makes. Throws CDispatchException.
    fw::DispValue Call(const fw::DispMember& member, std::vector<fw::DispValue>& args);
    fw::DispValue Call(const fw::DispMember& member, std::initializer_list<fw::DispValue> args = {});

  private:
    // Throws CDispatchException with the object's description.
    void InvokeParams(DISPID id, WORD flags, DISPPARAMS& params, CVariant& result);
    bool m_bAutoRelease = true;
};

// Initialises COM on the thread for a scope, if nobody has.
class CComScope {
  public:
    CComScope() : m_hr(::CoInitialize(nullptr)) {}
    ~CComScope() {
        if (SUCCEEDED(m_hr)) ::CoUninitialize();
    }
    CComScope(const CComScope&) = delete;
    CComScope& operator=(const CComScope&) = delete;

  private:
    HRESULT m_hr;
};
