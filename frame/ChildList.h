#pragma once
// The server's print output of the job as rich text in a child of the main frame; F12 copies
// all of it; its print command prints the job's report on the list printer.

#include "frame/ChildBase.h"
#include "framework/RichEdit.h"

class CChildList : public CChildBase {
  public:
    // Creates the child on the rectangle and reads the output; null when it failed.
    static CChildList* Open(CMDIFrameWnd* frame, const RECT& rect, bool maximised);

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool PreTranslateMessage(MSG* msg) override;
    bool OnOwnCmdMsg(UINT id, int code, CCmdUI* ui) override;
    int OnCreate(CREATESTRUCTA* cs) override;
    CRichEditCtrl& GetEdit() { return m_wndEdit; }

  private:
    bool OnCreateClient();
    void SetListFont();
    void ReadOutput();
    void CopyAll();
    void OnPrint(UINT id);
    void OnUpdatePrint(CCmdUI* ui);

    CRichEditCtrl m_wndEdit;
};
