#pragma once
// The web browser control in a window: created by its class id, driven through its dispatch
// interface, its events handed to the window that holds it.

#include "framework/Dispatch.h"
#include "framework/OleControl.h"

#include <exdisp.h>

// What the holder of a CWebBrowser implements to get the control's events.
class CWebBrowserEvents {
  public:
    virtual ~CWebBrowserEvents() = default;
    virtual void OnBrowserEvent(DISPID id, DISPPARAMS* params) = 0;
};

class CWebBrowser : public COleControlWnd {
  public:
    static const CLSID kClassId;

    // False when the control is not there. The parent must be a CWebBrowserEvents.
    bool Create(DWORD style, const RECT& rect, HWND parent, UINT id);

    // Each call is a no-op without the control; failures of the control are ignored.
    void Navigate(const char* url);
    void GoBack();
    void GoForward();
    void Stop();
    void ExecWB(long command, long options);
    bool GetBusy();
    CString GetLocationName();
    CString GetLocationURL();

  protected:
    void OnControlEvent(DISPID id, DISPPARAMS* params) override;

  private:
    CVariant Call(DISPID id, WORD flags, const CVariant* args = nullptr, int count = 0);
};
