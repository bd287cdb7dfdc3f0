#pragma once
// A small class over the TWAIN source manager "TWAIN_32.DLL": it joins the process's one
// manager session for a window, lets the user pick a source, enables it and takes its
// pages by native transfer. A derived class receives each page through OnScanImage. While
// a source is enabled, every message of the thread's pumps passes ProcessMessage first, so
// that the source sees its events even inside modal loops.

#include "tools/TwainDefs.h"

class CTwain {
  public:
    CTwain();
    virtual ~CTwain();
    CTwain(const CTwain&) = delete;
    CTwain& operator=(const CTwain&) = delete;

    virtual void GetIdentity();
    virtual bool SelectSource();
    // Opens the given source, or the default one when none is given.
    virtual bool OpenSource(const TW_IDENTITY* source = nullptr);
    // For each pending image: 0 transfer it, 1 skip it, 2 cancel all.
    virtual int ShouldTransfer(const TW_IMAGEINFO& info);
    virtual bool DisableSource();
    // Whether to close the source when it asks to be closed.
    virtual bool ShouldContinue();
    // A transferred page as a packed bitmap; the block is freed after the call.
    virtual void OnScanImage(HANDLE dib, const TW_IMAGEINFO& info) = 0;

    bool InitTwain(HWND window);
    void ReleaseTwain();
    bool Acquire(int count);
    bool SetImageCount(TW_INT16 count);
    bool SetCapability(TW_UINT16 capability, TW_UINT16 value, bool isSigned);
    bool GetCapability(TW_CAPABILITY& capability, TW_UINT16& value);
    bool EnableSource(bool showUI);
    bool CloseDS();
    bool CloseDSM();
    // True when the source consumed the message.
    bool ProcessMessage(MSG& msg);

    bool IsValidDriver() const { return m_hTwainDLL != nullptr && m_pDSMProc != nullptr; }
    bool IsSourceOpen() const { return m_bSourceOpen; }
    bool IsSourceEnabled() const { return m_bSourceEnabled; }
    TW_UINT16 GetRC() const { return m_returnCode; }
    const TW_STATUS& GetStatus() const { return m_status; }
    TW_INT16 GetImageCount() const { return m_nImageCount; }
    const TW_IDENTITY& GetSource() const { return m_source; }

  protected:
    // The call through the manager with our identity as origin; any return other than
    // success is followed by a status query. True for success.
    bool CallTwainProc(TW_IDENTITY* dest, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data);
    void TransferImage();
    // False when the transfer loop must end.
    bool GetImage(const TW_IMAGEINFO& info);
    bool EndTransfer(TW_PENDINGXFERS& pending);
    void CancelTransfer();

    HMODULE m_hTwainDLL = nullptr;
    DSMENTRYPROC m_pDSMProc = nullptr;
    TW_IDENTITY m_appId{};
    TW_IDENTITY m_source{};
    TW_STATUS m_status{};
    TW_UINT16 m_returnCode = TWRC_SUCCESS;
    HWND m_hMessageWnd = nullptr;
    bool m_bSourceSelected = false;
    bool m_bDSMOpen = false;
    bool m_bSourceOpen = false;
    bool m_bSourceEnabled = false;
    TW_INT16 m_nModalUI = 1;
    TW_INT16 m_nImageCount = -1;

  private:
    // The process's one manager session, opened for our window.
    bool OpenManager();
    bool CloseManager();
    // Moves the session to our window when the one it was opened with has gone and no
    // source is open; false when it cannot be opened again.
    bool ManagerHasLiveParent();
    void HookMessages(bool on);
    int m_nHook = 0;
    bool m_bInTransfer = false;
};
