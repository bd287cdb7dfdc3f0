#pragma once
// The pages of the options sheet: general settings, the program's fonts and the connection
// to the server. Each page reads its values when first shown and writes them on Apply.

#include "app/FontSetting.h"
#include "app/OptionsLogic.h"
#include "framework/Controls.h"
#include "framework/Gdi.h"
#include "framework/PropertySheet.h"

class CAllgemeinOptions : public CPropertyPage {
  public:
    CAllgemeinOptions();

    bool OnInitDialog() override;
    bool OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnOK() override;
    bool OnApply() override;

    int m_nMenuHiding = 1, m_nMenuUpdate = 1, m_nDisableClick = 0, m_nWindowsUser = 0, m_nDisableWait = 0;
    CString m_strWordPath, m_strExcelPath, m_strImagesPath, m_strViewerPath;
    int m_nViewerUsed = 0;

  private:
    void OnCheck(UINT id);
    void OnWordView();
    void OnEditChange();
    void OnBrowse(UINT editId);
    void OnBrowse3();
    // Filling the edits is no change of the user's.
    bool m_bFilling = false;
};

class CFontOptions : public CPropertyPage {
  public:
    CFontOptions();
    ~CFontOptions() override;

    bool OnInitDialog() override;
    bool OnSetActive() override;
    bool OnCommand(WPARAM wParam, LPARAM lParam) override;
    bool OnApply() override;

    struct Slot {
        CString name;
        int second = 0; // carried through unchanged
        int size = 0;   // points
    };
    Slot m_slots[vorlan::kFontSlots];

  private:
    static void EnumFontFamProc(const char* face, void* names);
    void OnSelchangeFontlist();
    void OnSelchangeFontname();
    void OnSelchangeFontsize();
    void UpdatePreview();

    HWND m_hSlots = nullptr;
    CComboBox m_cbName, m_cbSize;
    HFONT m_hPreviewFont = nullptr;
    int m_nLastName = -1, m_nLastSize = -1;
};

class CServerOptions : public CPropertyPage {
  public:
    CServerOptions();

    bool OnInitDialog() override;
    bool OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnOK() override;
    bool OnApply() override;
    // The page's own flag beside the sheet's.
    void SetModified(bool changed = true);

    CString m_strDbName, m_strAddress, m_strApiPort, m_strTelnetPort, m_strUci, m_strPartition;
    int m_nLocal = -1;   // -1 until the connection kind was first read
    CString m_strRemote; // the stored kind of connection
    int m_nTransport = 0;
    bool m_bModified = false;

  private:
    void OnConnectionKind();
    void OnBrowse();
    bool m_bFilling = false;
};

// Makes the three pages known by their class names.
void RegisterOptionsPages();
