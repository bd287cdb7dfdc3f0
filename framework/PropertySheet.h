#pragma once
// Property sheets over the system's property-sheet control: a sheet of pages, each page a
// dialog from a template, run modally through the application object (test mode runs the
// sheet from the script: "page:n" selects page n, "set:" and "cmd:" act on the page shown,
// commands the page does not have go to the sheet, 1 OK, 2 Cancel, 12321 Apply).

#include "framework/Dialog.h"

#include <prsht.h>

#include <memory>
#include <vector>

class CPropertyPage : public CWnd {
  public:
    explicit CPropertyPage(UINT templateId) : m_nIDTemplate(templateId) {}

    UINT m_nIDTemplate;

    // The page's template for the sheet's page array.
    PROPSHEETPAGEA MakePageRecord();

    // Run once, when the page is first shown.
    virtual bool OnInitDialog() { return true; }
    virtual bool OnSetActive() { return true; }
    virtual bool OnKillActive() { return true; }
    // The OK step of Apply and OK: the page's controls into its members.
    virtual void OnOK() {}
    virtual void OnCancel() {}
    // Apply and OK: after the base step (OnOK) the page writes its values; false keeps the
    // sheet open.
    virtual bool OnApply() {
        OnOK();
        return true;
    }
    // WM_COMMAND; true when handled.
    virtual bool OnCommand(WPARAM wParam, LPARAM lParam);
    // The sheet's Apply button follows the pages' flags.
    void SetModified(bool changed = true);
    HWND Sheet() const { return m_hWnd ? ::GetParent(m_hWnd) : nullptr; }

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    static INT_PTR CALLBACK PageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnNotify(NMHDR* header);
};

// Pages made by their class name, as a sheet that lists its pages by name asks for them.
using PageFactory = CPropertyPage* (*)();
void RegisterPageClass(const char* name, PageFactory make);
// Null for a name no page class was registered under.
std::unique_ptr<CPropertyPage> CreatePageByName(const char* name);

class CPropertySheet : public CWnd, public CModal {
  public:
    CPropertySheet(UINT captionId, CWnd* parent, UINT firstPage = 0);

    void AddPage(CPropertyPage* page) { m_pages.push_back(page); }
    // A page of the registered class, owned by the sheet; false for an unknown name.
    bool AddPageByName(const char* name);
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    CPropertyPage* GetPage(int n) const { return m_pages[static_cast<size_t>(n)]; }
    CPropertyPage* GetActivePage() const;
    int GetActiveIndex() const;
    bool SetActivePage(int n);
    HWND GetTabControl() const;
    bool IsWizard() const { return (m_psh.dwFlags & PSH_WIZARD) != 0; }

    // Fills the page records; false (no pages) makes no sheet.
    virtual bool BuildPropPageArray();
    // The sheet stands with its first page.
    virtual bool OnInitDialog() { return true; }
    virtual bool OnCommand(WPARAM wParam, LPARAM lParam);
    virtual bool OnNotify(NMHDR* header, LRESULT& result);

    int RunModal() override;
    int RunScripted() override;
    // The sheet without a loop of its own (the caller's pump serves it); null when it could not
    // be made. It ends with OK or Cancel as IsEnded() tells, and the caller destroys it.
    HWND CreateModeless();
    bool IsEnded() const;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  protected:
    PROPSHEETHEADERA m_psh{};
    std::vector<PROPSHEETPAGEA> m_records;

  private:
    static int CALLBACK SheetCallback(HWND hwnd, UINT msg, LPARAM lParam);
    bool PrepareHeader(bool modeless);
    void EnsureInitialized();

    std::vector<CPropertyPage*> m_pages;
    std::vector<std::unique_ptr<CPropertyPage>> m_ownPages;
    CWnd* m_pParentWnd;
    CString m_strCaption;
    bool m_bInitialized = false;
};
