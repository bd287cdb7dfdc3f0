#pragma once
// Containment of an OLE control (an ActiveX control) in a window of ours: the window is the
// control's container, and this class is its client site, in-place site and frame, answers
// its ambient properties, and sinks its events through the control's connection point.

#include "framework/FwString.h"
#include "framework/Wnd.h"

#include <ocidl.h>
#include <ole2.h>
#include <oleauto.h>

class COleControlWnd : public CWnd {
  public:
    COleControlWnd();
    ~COleControlWnd() override;

    // Creates the container window and the control by class id in it, active in place, and
    // sinks the events of `events` (null: none). Needs OLE initialised on the thread. False
    // (nothing left over) when the control cannot be made.
    bool CreateControl(const CLSID& clsid, const IID* events, DWORD style, const RECT& rect, HWND parent,
                       UINT id);
    // The control's dispatch interface, or null; not referenced for the caller.
    IDispatch* GetControlDispatch() const { return m_pDispatch; }
    // Property get by DISPID with one text argument; false when the control has no dispatch
    // interface or refuses the call.
    bool GetProperty(DISPID id, const char* argument, VARIANT* result);
    // Property put by DISPID of one text value; false as above.
    bool PutProperty(DISPID id, const char* value);
    // Gives the focus to the control's window.
    void FocusControl();

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  protected:
    // An event of the sink interface; its arguments as they came (use fw::EventArg...).
    virtual void OnControlEvent(DISPID id, DISPPARAMS* params) {
        (void)id;
        (void)params;
    }

  private:
    class CSite;
    class CFrame;
    class CSink;
    friend class CSite;
    friend class CSink;
    void DestroyControl();
    void SizeControl();

    CSite* m_pSite;
    CFrame* m_pFrame;
    CSink* m_pSink = nullptr;
    IOleObject* m_pObject = nullptr;
    IOleInPlaceObject* m_pInPlace = nullptr;
    IDispatch* m_pDispatch = nullptr;
    IConnectionPoint* m_pPoint = nullptr;
    DWORD m_dwCookie = 0;
};

namespace fw {

// Argument `index` (0 = first in the event's declaration) of an event, seen through a
// by-reference VARIANT; null when there are fewer.
const VARIANT* EventArg(const DISPPARAMS* params, unsigned index);
// Whether the argument holds text, and the text (ANSI); empty for anything else.
bool EventArgIsText(const DISPPARAMS* params, unsigned index);
CString EventArgText(const DISPPARAMS* params, unsigned index);
// A number of the argument (integer or boolean kinds); `otherwise` when none.
long EventArgLong(const DISPPARAMS* params, unsigned index, long otherwise = 0);
// The referenced VARIANT_BOOL of a by-reference argument (Cancel, say); null when it is none.
VARIANT_BOOL* EventArgBoolRef(const DISPPARAMS* params, unsigned index);
// The referenced IDispatch* of a by-reference argument (a new window's dispatch); null when none.
IDispatch** EventArgDispatchRef(const DISPPARAMS* params, unsigned index);
// The referenced long of a by-reference argument; null when none.
long* EventArgLongRef(const DISPPARAMS* params, unsigned index);
// Whether the window is the container of an OLE control made by COleControlWnd.
bool IsOleControlHost(HWND window);

} // namespace fw
