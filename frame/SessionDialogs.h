#pragma once
// Three small dialogs around the user's session on the server, opened by the main frame:
// the user group for menu edit mode, the workstation lock and the change of client and
// business year. Their server traffic goes through the session's Execute.

#include "framework/Controls.h"
#include "framework/Dialog.h"

#include <string>

// The user group whose menu is edited: an existing one (ends with IDOK) or a new one
// (ends with IDC_GROUP_NEW, %BGA naming the template group).
class CBenutzerDialog : public CDialog {
  public:
    CBenutzerDialog(const CString& currentGroup, CWnd* parent);

    bool OnInitDialog() override;
    void OnOK() override;
    bool OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool PreTranslateMessage(MSG* msg) override;

    const CString& GetGroup() const { return m_strGroup; }

  private:
    void OnEditChange();
    void OnSelChange();
    void OnNewGroup();
    void ShowDescription(const CString& group);
    void DrawEntry(const DRAWITEMSTRUCT* item);
    void SetDefaultButton(int id);
    void Finish(int result);
    // A key in the group box's edit: letters upper case for developers, none for others.
    bool FilterKey(MSG* msg);

    CString m_strCurrent, m_strGroup;
    CComboBox m_cbGroup, m_cbTemplate;
    bool m_bEditFocus = false;
};

// Locks the workstation until the user who locked it logs in again.
class CBlockPC : public CDialog {
  public:
    explicit CBlockPC(CWnd* parent);

    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override {} // only the same user's log-in ends it

  private:
    CString m_strGroup;
};

// Client and business year of the session; OK hands both to the main window
// (WM_CHANGELOGIN).
class CChangeLogin : public CDialog {
  public:
    explicit CChangeLogin(CWnd* parent);

    bool OnInitDialog() override;
    void OnOK() override;
    bool OnCommand(WPARAM wParam, LPARAM lParam) override;

  private:
    void FillYears();

    CComboBox m_cbClient, m_cbYear;
};

// The client list of the server job into a box: "<number> (<name>)" each, up to the
// first client without a name.
void FillClientBox(CComboBox& box, const char* traceName);
// The business years of the client entry into a box; none selected.
void FillYearBox(CComboBox& box, const CString& clientEntry);
