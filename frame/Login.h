#pragma once
// The log-in dialog: attaches the server job to the configured namespace, checks the
// server's release, checks user and password with every keystroke, offers the user's
// modules, clients, business years and workplaces, and on OK writes the choice into the
// server job. The main frame runs it from its "new" command.

#include "framework/Controls.h"
#include "framework/Dialog.h"

class CMainFrame;

class CLogin : public CDialog {
  public:
    static constexpr int kModules = 32;

    explicit CLogin(CMainFrame* frame);

    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    bool OnCommand(WPARAM wParam, LPARAM lParam) override;

    // Attaches the server job; false when that or the release check failed.
    bool LoginDB(const CString& ns, const CString& volume);
    // Logs in again in the chosen module's namespace and fills clients, years, workplaces.
    bool ChangeUCI();
    bool TestVersion();
    void UpdateFields();
    void OnChangeUser();
    bool OnSelectEndUCI();
    void OnSelectEndMandant();

    // The configured namespace and volume group, for the other parts of the program (the
    // session keeps the volume group mounted on a local database).
    static CString s_strNamespace;
    static CString s_strVolume;

  private:
    struct Module {
        CString ns;
        CString text;
    };
    void EnableOK(bool on);
    void ClearLists(bool modulesToo);
    void FillModules();
    void SelectModule();
    void FillWorkplaces();
    void FillClients();
    void Status(const CString& text);
    static CString ComputerName();

    CMainFrame* m_pFrame;
    Module m_modules[kModules];
    int m_nModules = 0;
    CString m_strNamespace, m_strVolume;
    CString m_strLastNamespace, m_strLastVolume;
    bool m_bAttached = false;
    bool m_bAttachTried = false;
    CString m_strComputer;
    bool m_bModulesExist = false;
    CString m_strSettingsClient, m_strSettingsYear, m_strInitClient, m_strInitYear;
    bool m_bInitAnswer = false;
    CComboBox m_cbModule, m_cbClient, m_cbYear, m_cbWorkplace;
};
