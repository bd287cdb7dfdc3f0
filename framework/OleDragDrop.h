#pragma once
// OLE drag and drop: a drop target whose handlers get client coordinates, a reader of the
// dragged data, a data source that owns the global memory blocks it offers, a drop source.
// The COM interfaces are members of the objects; an object outlives its registration.

#include "framework/Geometry.h"

#include <windows.h>
#include <ole2.h>

class CWnd;

using DROPEFFECT = DWORD;

// Initialises OLE on the calling thread once per process (drag and drop needs it).
bool AfxOleInit();

// What a drop target is offered: wraps the source's IDataObject for one drag.
class COleDataObject {
  public:
    COleDataObject() = default;
    ~COleDataObject() { Release(); }
    COleDataObject(const COleDataObject&) = delete;
    COleDataObject& operator=(const COleDataObject&) = delete;

    void Attach(IDataObject* object, bool autoRelease = true);
    IDataObject* Detach();
    void Release();
    bool IsDataAvailable(CLIPFORMAT format) const;
    // A copy of the data in a global memory block that the caller frees; null when the data
    // is not offered as global memory.
    HGLOBAL GetGlobalData(CLIPFORMAT format) const;
    // The OLE clipboard's current data object; false when the clipboard offers none.
    bool AttachClipboard();

  private:
    IDataObject* m_lpDataObject = nullptr;
    bool m_bAutoRelease = true;
};

// Decides when a drag ends and which cursor shows.
class COleDropSource {
  public:
    COleDropSource();
    virtual ~COleDropSource() = default;
    COleDropSource(const COleDropSource&) = delete;
    COleDropSource& operator=(const COleDropSource&) = delete;

    // Escape cancels, releasing the mouse button drops.
    virtual SCODE QueryContinueDrag(BOOL escapePressed, DWORD keyState);
    // The default cursors.
    virtual SCODE GiveFeedback(DROPEFFECT effect);
    IDropSource* GetInterface() { return &m_xDropSource; }

  private:
    struct XDropSource : IDropSource {
        COleDropSource* owner = nullptr;
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
        ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
        ULONG STDMETHODCALLTYPE Release() override { return 1; }
        HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keyState) override;
        HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) override;
    } m_xDropSource;
};

// Data offered to a drag: global memory blocks by clipboard format.
class COleDataSource {
  public:
    COleDataSource();
    ~COleDataSource();
    COleDataSource(const COleDataSource&) = delete;
    COleDataSource& operator=(const COleDataSource&) = delete;

    // The data source owns the block from now on (also when the call fails).
    bool CacheGlobalData(CLIPFORMAT format, HGLOBAL block);
    // Runs the drag loop; returns the effect the drop took (DROPEFFECT_NONE when cancelled).
    DROPEFFECT DoDragDrop(DROPEFFECT allowed, COleDropSource* source = nullptr);
    // Offers the data on the OLE clipboard, which keeps the object alive from then on.
    bool SetClipboard();
    IDataObject* GetInterface();

  private:
    class DataObject;
    DataObject* m_pObject;
};

// Registered on one window; the handlers get points in that window's client coordinates.
class COleDropTarget {
  public:
    COleDropTarget();
    virtual ~COleDropTarget();
    COleDropTarget(const COleDropTarget&) = delete;
    COleDropTarget& operator=(const COleDropTarget&) = delete;

    bool Register(CWnd* wnd);
    virtual void Revoke();
    IDropTarget* GetInterface() { return &m_xDropTarget; }

    virtual DROPEFFECT OnDragEnter(CWnd* wnd, COleDataObject* data, DWORD keyState, CPoint point);
    virtual DROPEFFECT OnDragOver(CWnd* wnd, COleDataObject* data, DWORD keyState, CPoint point);
    // False refuses the drop (the source then sees no effect).
    virtual bool OnDrop(CWnd* wnd, COleDataObject* data, DROPEFFECT effect, CPoint point);
    virtual void OnDragLeave(CWnd* wnd);
    // Asked before every OnDragOver; an answer with DROPEFFECT_SCROLL is taken as it is.
    virtual DROPEFFECT OnDragScroll(CWnd* wnd, DWORD keyState, CPoint point);

  protected:
    CWnd* m_pRegisteredWnd = nullptr;

  private:
    DROPEFFECT Enter(IDataObject* object, DWORD keyState, POINTL point, DROPEFFECT allowed);
    DROPEFFECT Over(DWORD keyState, POINTL point, DROPEFFECT allowed);
    DROPEFFECT Drop(IDataObject* object, DWORD keyState, POINTL point, DROPEFFECT allowed);
    void Leave();
    CPoint ToClient(POINTL point) const;

    struct XDropTarget : IDropTarget {
        COleDropTarget* owner = nullptr;
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
        ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
        ULONG STDMETHODCALLTYPE Release() override { return 1; }
        HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* object, DWORD keyState, POINTL point,
                                            DWORD* effect) override;
        HRESULT STDMETHODCALLTYPE DragOver(DWORD keyState, POINTL point, DWORD* effect) override;
        HRESULT STDMETHODCALLTYPE DragLeave() override;
        HRESULT STDMETHODCALLTYPE Drop(IDataObject* object, DWORD keyState, POINTL point,
                                       DWORD* effect) override;
    } m_xDropTarget;
    COleDataObject m_dataObject;
};

namespace fw {
// A whole drag over the target without the system's drag loop: enter, over and drop at the
// screen point, or leave when the target wants none of it. Returns the drop's effect.
// keys are the modifier bits (MK_CONTROL, MK_SHIFT) held through the whole drag.
DROPEFFECT DropInProcess(COleDropTarget& target, IDataObject* data, POINT screen, DROPEFFECT allowed,
                         DWORD keys = 0);

// The system's drag loop stands behind this seam so that tests can run a drag without a
// mouse: a replacement gets what DoDragDrop would and answers the drop's effect. Returns
// the previous loop (null: the system's).
using DragLoop = DROPEFFECT (*)(IDataObject* data, COleDropSource* source, DROPEFFECT allowed);
DragLoop SetDragLoop(DragLoop loop);
} // namespace fw
