#pragma once
// The icon desktop's three dialogs: the desktop's look (CIconOptions), one icon's caption,
// function, parameter and image (CIconProperty), and the choice of an image
// (CIconChangeSymbol). Their templates are the language library's.

#include "framework/Dialog.h"
#include "framework/FwString.h"

#include <windows.h>
#include <commctrl.h>

class CIconList;

class CIconOptions : public CDialog {
  public:
    explicit CIconOptions(CIconList* desktop);
    ~CIconOptions() override;

    bool OnInitDialog() override;
    bool OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnOK() override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    CIconList* m_pDesktop;
    CString m_strClient;
    int m_bPerClient;
    CString m_strPicture;
    int m_nMode;
    COLORREF m_crBackground;
    COLORREF m_crText;
    CString m_strFace;
    int m_nSize;
    HBITMAP m_hPicture = nullptr;
    // The picture list's entries before the files added by browsing.
    int m_nFixed = 0;

  private:
    void FillPictures();
    // Takes the picture by name (empty: none) and shows it; false when it does not load.
    bool TakePicture(const char* name);
    void OnPictureChosen();
    void OnBrowse();
    void OnColour(COLORREF& colour);
    void OnFont();
    void Apply();
    void Changed();
    void ShowLook();
    void DrawSample(const DRAWITEMSTRUCT* item);
    void DrawPreview(const DRAWITEMSTRUCT* item);
};

class CIconProperty : public CDialog {
  public:
    CIconProperty(CWnd* parent, HIMAGELIST images);

    bool OnInitDialog() override;
    bool OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnOK() override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    CString m_strCaption;
    CString m_strFunction;
    CString m_strParameter;
    int m_nImage = 47;
    HIMAGELIST m_hImages;
    POINT m_ptPreview{0, 0};

  private:
    // Whether the parameter is picked from the choices (else typed, when enabled).
    bool m_bChoices = false;
    // The function as typed or chosen: the entry up to its first blank.
    CString CurrentFunction() const;
    // Asks the server what the function takes; keep leaves the parameter as it is.
    void UpdateParameter(bool keep);
    void OnChangeSymbol();
};

class CIconChangeSymbol : public CDialog {
  public:
    CIconChangeSymbol(CWnd* parent, HIMAGELIST images, int image);

    bool OnInitDialog() override;
    void OnOK() override;

    HIMAGELIST m_hImages;
    int m_nImage;
};
