#pragma once
// The typed driver of the quality-assurance component "QSMED": its own operations in slot
// order, each returning the call's status and handing its text back through `result`. The
// form's service calls the component by DISPID itself and uses none of them.

#include "framework/Dispatch.h"

#include <string>

class CQSMED : public CDispatchDriver {
  public:
    virtual ~CQSMED() = default;
    virtual HRESULT Get6002001C(std::string& result);
    virtual HRESULT Get6002001E(std::string& result);
    virtual HRESULT Get6002002F(std::string& result);
    virtual HRESULT Ask60020030(const std::string& text, std::string& result);
    virtual HRESULT Ask60020031(long number, std::string& result);
    virtual HRESULT Get60020034(std::string& result);
    virtual HRESULT Pass60020035(const std::string& first, const std::string& second);
    virtual HRESULT Pass60020036(const std::string& first, const std::string& second);
    virtual HRESULT Run60020037();

  private:
    HRESULT Status(const fw::DispMember& member, std::vector<fw::DispValue>& args, std::string* result);
};
