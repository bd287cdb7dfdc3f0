#pragma once
// The server-described form: one screen whose layout, texts and behaviour come from the M
// server. It asks whether the screen may open, lets the server initialise it, builds one
// control per field record, turns every user action into M code, and after every server
// step reads what the server changed and left for the workstation.

#include "forms/ChildForm.h"
#include "forms/DeviceLogic.h"
#include "forms/FormDecor.h"
#include "forms/FormLogic.h"
#include "services/RequestHub.h"

#include <windows.h>

#include <functional>
#include <list>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace fw {
class CShellProcess;
}

class CSession;
class CCmdUI;
namespace vorlan {
struct OwnDialogRecord;
}
class CReadCard;
class CCardTerminal;
class CListTab;
class CGridCtrl;
class CBaseMDIMenu;
struct NM_GRIDVIEW;

class CChildDialog : public CChildForm, public IRequestHubForm {
  public:
    static constexpr int kKeyCount = vorlan::kKeyCount;
    static constexpr int kColourFields = 128;

    CChildDialog();
    ~CChildDialog() override;

    void SetFonts(HFONT normal, HFONT bold, HFONT fixed);
    void SetTabIndex(int n) { m_nTabIndex = n; }
    int GetTabIndex() const { return m_nTabIndex; }

    // opening: the form name, "§" and the description name (for a form id of 0xC000 and
    // above the title). Returns 1 when the form stands, 0 when it was refused or its first
    // step closed it (reported to the server with DESTROY^QCC; a window that was made is gone
    // again, and so is the object).
    virtual int Create(const char* opening, UINT formId, int killFlag, CWnd* parent, int x, int y,
                       int createControls, const char* keepList);
    int CreateControls(int relayout);
    int MDestroy();

    const CString& GetFormName() const { return m_strFormName; }
    const CString& GetDescriptionName() const { return m_strDescription; }
    const CString& GetTitle() const { return m_strTitle; }
    const CString& GetFrameCaption() const { return m_strFrameCaption; }
    UINT GetFormId() const { return m_nFormId; }
    bool IsCreated() const { return m_bCreated; }
    int GetFieldCount() const { return m_nFields; }
    CString GetKeyText(int index) const;
    const std::vector<std::string>& GetKeys() const { return m_keys; }
    bool HasGrid() const { return GetDlgItem(0x1800) != nullptr; }
    // The balloon tooltip of the form's fields.
    HWND GetToolTip() const { return m_hToolTip; }
    // Forms with controls that stretch with the frame.
    bool IsSizable() const;

    // ---- geometry
    CSize GetMinSize() const;
    int MoveChild(int index, int right, int bottom);
    // May shrink the right edge of a proposed form rectangle; true when it did.
    bool ChangingSize(CRect& rect) const;

    // ---- contents and enabling
    void UpdateContents();
    void UpdateEdits(int first, int last);
    int EnableEdits(int focus);
    void SetEditExtra(int field, const std::string& extras);
    void SetIndirectionText(HWND window, const std::string& record);
    void SetTextBoxVariable(const std::string& name, const std::string& text);
    void SetTextBoxCoord(int unused = 0);
    void SetFKeys();

    // ---- popup lists: the one the form keeps open for a field (a later list window
    // registers itself here; the form forgets it when its window goes)
    void KeepPopupList(HWND list, const std::string& table);
    HWND KeptPopupList();
    // Ends the popup list the form keeps and makes a new one (not yet opened).
    CListTab* NewListTab();
    // Opens a popup list of the server's list `name` (its rows wait in %WGBL) in the list
    // font. flags: 0x8000 | n the drop button of field n, 0xFFFF the current field (a field
    // step's answer), 0xC000 the grid's cell, n a list field. 1 when it shows rows.
    int OpenPopupList(const std::string& name, int flags);

    // ---- steps
    int SaveField(int forward, int keepFocus, int field);
    void SaveScrollPos();
    void SaveWinSize();
    bool TestforEvent(unsigned mask);
    void TestABLF3();
    // Runs the action a sub-dialog left in %ABL; false when it left none.
    bool RunPendingAction();
    bool TestZLN();
    // The timer's groups of grid cells, refreshed from the server.
    void RefreshGridGroups(const char* text);
    // %WIN("SCROLL","WIDTH") after a step.
    void ApplyServerWidths();
    void TestAbl();
    // Server data into Excel (openOnly: a workbook the user picks; prepared: the cell list;
    // neither: the templates the server left). 1 when the run went to its end.
    int SendToExcel(int openOnly, int prepared);
    // The form's print commands: with a grid the grid's, without one 0x800A prints the text
    // box or asks the focused window to print itself. Always 1.
    LRESULT OnPrintCommands(UINT id);
    // A picture of the form's frame window on one page; false when the print dialog was cancelled.
    bool HardCopy();
    // The text box's text over as many pages as it needs, with a header and page numbers.
    int PrintTextBox();
    // An RTF form the user picks from the Word forms folder, opened with its program; the main
    // window is minimised then. 1 when a form was chosen.
    int OpenWord();
    // The server's print job as documents from the form's RTF templates, handed on as the
    // device text's second character says; the last launched program's process goes into
    // launch, which the caller owns. 1 when the documents were written.
    int PrintForm(const char* command, fw::CShellProcess& launch);
    // The organiser terminal (card reader kind 2) and the test terminal (kind 6).
    void OrgaRead(CCardTerminal& terminal);
    void testSCR335(CCardTerminal& terminal);
    // The answer of the form's timer call: "§..." or a form without grid refreshes it all.
    void TimerUpdate(const char* text);
    int CallSubDialog(const char* call, int ownerIsFrame, int value);
    int ExecuteDDN(const char* call) override;
    void ReinitDialog();
    void RepeatDialog(int repeatAllowed, int activate, int closeAllPages);
    int HandleFKey(const std::string& keyText, UINT commandId, int refreshAllowed);
    void EndEdit(int forward, int key);
    int GotoControl(int field, int allowGrid);
    // Lines A and B of the customer display that the screen in %DN left, each to its port.
    static void WriteDisplayLines(CSession& session);
    // The job's serial-port request (the hub's "COMPORT" step).
    void ComPort() override;
    void OnEditUndo();
    void OnUpdateEditUndo(CCmdUI* ui);

    // ---- the request hub's view of the form
    HWND HubWindow() const override { return m_hWnd; }
    HWND PasteTarget() const override { return m_hRichEdit; }

    // ---- the grid (scroll field, ChildDialogGrid.cpp); rows are the grid's, the server's
    // row is the grid row + 1 - the header rows
    CGridCtrl* Grid() const;
    int CreateScrollField(int rebuild, int firstLine, int lastLine, int leftColumn, int width);
    // Widths in characters of the form's grid description; sum gets their total.
    std::vector<int> GetScrollColumns(int* sum);
    void UpdateScrollRow(CGridCtrl* grid, int row, int firstColumn, int lastColumn, bool resize, bool redraw);
    // record: the cell record when the caller has it, else it is fetched.
    void UpdateScrollCell(CGridCtrl* grid, int row, int column, bool buildColumn, bool redraw,
                          const std::string_view* record = nullptr);
    void UpdateScrollCol(CGridCtrl* grid, int column, int firstRow, int lastRow);
    void UpdateScroll(CGridCtrl* grid, int firstColumn, int lastColumn, int firstRow, int lastRow);
    void OnGridWidthUndo();
    std::string GetTableName() const { return m_strPopupTable; }
    int SetColumnWidths(const std::string& text, CGridCtrl* grid);
    int SetGridWidth(CGridCtrl* grid, const std::vector<int>* defaults, int count);
    // The grid forgets its remembered selection (frames re-activating a form whose grid-reset
    // flag is set).
    void ResetGridSelection();
    // The user sized the grid's rows or columns (the frame's undo command).
    bool GridSizesChanged() const;

    // Set by the form when its grid should forget its selection on the next activation.
    bool m_bGridReset = false;

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool PreTranslateMessage(MSG* msg) override;
    // A field control of this form, or a window inside one (a combo box's edit).
    bool IsFieldWindow(HWND window) const;
    // The form's record explorer, or a window inside it.
    bool IsInRecordExplorer(HWND window) const;
    // Whether the window is (inside) a combo box whose list is dropped down.
    static bool IsDroppedDown(HWND window);
    void PostNcDestroy() override;

  private:
    // creation (ChildDialog.cpp)
    void ReadTitle();
    // The title after a step, in the window and at the frame.
    void ShowTitle();
    void CreateToolTip();
    void CreateField(int k, const vorlan::FieldRecord& field);
    void CreateExplorerField(int k, const vorlan::FieldRecord& field, const vorlan::Rect& rect);
    static constexpr UINT kRecordExplorerId = 0x1801;
    HWND CreateFieldControl(int k, const vorlan::FieldRecord& field, const vorlan::Rect& r);
    HWND CreateFieldLabel(int k, const vorlan::FieldRecord& field, const vorlan::Rect& r);
    // The only chart or list field of the form goes into the stretch table.
    void AddSingleStretchControl();
    std::vector<std::pair<vorlan::FieldKind, StretchEntry>> m_stretchCandidates;
    int m_nDiagrams = 0; // chart fields created
    void AddToolTip(HWND control, const std::string& text);
    // The tooltips of the fields the control pass made, in one pass at its end.
    void AddPendingToolTips();
    std::vector<std::pair<HWND, std::string>> m_pendingToolTips;
    void RemoveToolTip(HWND control);
    void ReplaceToolTip(HWND control, const std::string& text);
    HFONT FixedFont();
    void RaiseLayout(int right, int bottom);
    bool RefuseAfterFatal(const char* line);

    // A form's window can go while its own code runs (a server step closes its frame): the
    // object then lives on until the outermost of its calls has returned.
    class CallGuard {
      public:
        explicit CallGuard(CChildDialog& form) : m_form(form) { ++m_form.m_nCallDepth; }
        ~CallGuard() {
            if (--m_form.m_nCallDepth == 0 && m_form.m_bDeletePending) delete &m_form;
        }
        CallGuard(const CallGuard&) = delete;
        CallGuard& operator=(const CallGuard&) = delete;

      private:
        CChildDialog& m_form;
    };

    // window procedure (ChildDialogProc.cpp); the bool handlers answer whether they took the
    // message (the result is then in result)
    void OnSize(int width, int height);
    void OnActivate(WPARAM wParam, LPARAM lParam);
    // The names the frame's tabs keep: the first piece of the first page's tab text.
    std::string FrameTabText();
    void OnEnable(bool enable);
    bool OnKeyDown(WPARAM wParam, LRESULT& result);
    bool OnCommand(WPARAM wParam, LPARAM lParam, LRESULT& result);
    LRESULT OnFunctionKey(UINT id);
    // clicked: the window clicked, where its point; without one, where points to the
    // rectangle the menu opens below (or is null: at the pointer).
    LRESULT OnContextMenu(HWND clicked, LPARAM where);
    bool OnCtlColorEdit(HDC dc, HWND control, LRESULT& result);
    bool OnCtlColorStatic(HDC dc, HWND control, LRESULT& result);
    LRESULT OnTabEraseBackground(HDC dc, HWND control);
    LRESULT OnHyperlink(const char* text);

    // field commands and private messages (ChildDialogFields.cpp)
    bool OnFieldCommand(UINT id, UINT code, HWND control, LRESULT& result);
    bool OnBrowseButton(UINT id, UINT code, LRESULT& result);
    LRESULT OnFieldFocus(int n, HWND control);
    LRESULT OnFieldKillFocus(int n);
    LRESULT OnFieldClick(int n, HWND control);
    void RunPendingFocusAction(int n, HWND control, std::string& answer);
    // A single-line field's text as the server gives it.
    void ShowFieldText(HWND control, const std::string& text);
    void ReadTextArray(HWND control, const std::string& name);
    LRESULT OnDiagSetFocus(WPARAM wParam, LPARAM lParam);
    LRESULT OnRepeatDialog(WPARAM wParam, LPARAM lParam);
    LRESULT OnChildMessage(const void* record);
    LRESULT OnSearchString(char* text, int* caret);

    // the grid's notifications and commands (ChildDialogGridNotify.cpp)
    LRESULT OnNotify(WPARAM wParam, LPARAM lParam);
    void ApplyGridSwitches(CGridCtrl* grid);
    LRESULT OnGridNotify(NM_GRIDVIEW* record);
    LRESULT OnGridDrag(NM_GRIDVIEW* record, int c, int r);
    LRESULT OnGridDropCell(NM_GRIDVIEW* record, int c, int r);
    LRESULT OnGridDropped(NM_GRIDVIEW* record);
    LRESULT AfterGridChange(NM_GRIDVIEW* record, bool done, bool activated);
    LRESULT OnGridCellKey(int c, int r);
    LRESULT OnGridCellFocus(NM_GRIDVIEW* record, int c, int r);
    LRESULT OnGridClickAnswer(NM_GRIDVIEW* record, const std::string& answer, int c, int r);
    LRESULT OnGridCellSave(NM_GRIDVIEW* record, int c, int r);
    LRESULT OnGridRows(NM_GRIDVIEW* record, int r);
    LRESULT OnGridInfo(NM_GRIDVIEW* record, int c, int r);
    bool ActivateForDrop();
    void RefreshGridRange(const NM_GRIDVIEW* record);
    void ApplyCursorPosition(const std::string& answer);
    LRESULT OnGridCommand(UINT id);
    std::string GridCellText(int row, int column);

    // form commands (ChildDialogCommands.cpp)
    LRESULT OnFormCommand(UINT id, bool fromSelf);
    bool CheckBeforeSave();

    // after the save step (ChildDialogPrint.cpp)
    // Ctrl+Shift+Return on a page: saves it and selects the page before; false on the first
    // page (or a form without pages), where the command goes on as the F2 step.
    bool SaveAndSelectPreviousPage(LRESULT& result);
    // The server's chain of sub-dialogs after a save; true when none remained pending.
    bool RunSaveChain();
    void PrintScreen(UINT id);
    void RunListPrint();
    // The popup list of the screen's follow-up routine; true when the routine named a list.
    bool OpenFollowUpList();

    // the end of a step (ChildDialogRepeat.cpp)
    void CloseAllPages();
    void EndLastPage(int activate);
    // The description of the frame's first page, whose "KARTEI" node lists the pages.
    std::string MainDescription() const;
    // The server's check of the grid's cells before saving (ChildDialogGrid.cpp).
    bool CheckGridCells();
    // The main frame's status line.
    static void ShowStatus(const char* text);

    // comments, computed labels and pictures (ChildDialogDecor.cpp)
    void CreateComments(const char* group, int skip);
    void CreateModeLabels();
    // A label of $$MODU^QCC or $$INDI^QCC at its position, with the text its record's line
    // writes, in the record's font.
    HWND CreateIndirectionLabel(UINT id, const vorlan::Position& p, const std::string& record);
    // The record's font (piece 5 "F": the alternative one) and the text its line writes.
    HFONT IndirectionFont(const std::string& record) const;
    std::string IndirectionText(const std::string& record);
    // Picture or indirection text n (0x3000 | n) as the control pass made it.
    HWND PictureWindow(int n) const;
    void CreatePictures();
    void RefreshDecor();
    void RaiseForItem(HWND window, const vorlan::Position& p);
    // drop buttons and list choices (ChildDialogLists.cpp)
    LRESULT OnDropButton(int n, HWND control);
    LRESULT OnListChosen(int n, HWND control, int index);
    LRESULT OnListChoice(HWND popup, int index);
    LRESULT OnListClosed(int n, HWND control, LPARAM value);
    LRESULT OnPlaceList(int n, HWND list);
    void SendGrid(WPARAM row, LPARAM column);

    // text boxes and labels (ChildDialogContents.cpp)
    std::string ReadTextBox(const std::string& name);
    void SetTextBoxText(HWND control, const std::string& text);
    void ReadBackTextBox(HWND control);
    // The server's kill command (%KILL) keeping the names too; empty, with a protocol
    // entry, when the command has not the shape that keeps them.
    std::string KillKeepingLine(const std::string& names);
    // A text control's text in the model its caret positions count in.
    std::string CaretText(HWND control);
    void WidenFor(HWND label);
    // The $$MODU^QCC text of field n in its label.
    void ShowModeLabel(int n);

    // Gives the owner back its place and destroys the modal window that the main frame made
    // for a sub-dialog or a key's dialog, if any.
    void EndModalWindow(const vorlan::OwnDialogRecord& record);

    // devices and edit undo (ChildDialogDevices.cpp)
    void ServeDevices();
    // Hands the values of a node's subnodes in subscript order to take while it answers true.
    void WalkValues(const vorlan::NodeWalk& walk, const std::function<bool(const std::string&)>& take);
    // The focused field's edit when its id is one of the form's fields (at most 255).
    HWND UndoTarget() const;

    // requests after each step (ChildDialogEvents.cpp)
    void ReadCards();
    void StartProgram();
    void OpenWebPage();
    // Only called when the server left events.
    void SendEvents(bool autoClose, bool close);

    // control kinds by their dialog codes
    enum class ControlKind { PushButton, CheckBox, Radio, Edit };
    static ControlKind KindOfControl(HWND control);
    static bool IsMultiLine(HWND control);
    static bool IsExplorerArea(HWND control);
    // Checked when the server's value starts with "J".
    static void ShowCheck(HWND control, const std::string& value);
    // A multi-line field's text comes with the field's entry: the focus visits it and goes back.
    static void VisitField(HWND control);
    // Labels changed while it lives are painted when it ends (if the form shows), all in one
    // pass instead of one at a time.
    class LabelPaintDeferral {
      public:
        explicit LabelPaintDeferral(CChildDialog& form);
        ~LabelPaintDeferral();
        LabelPaintDeferral(const LabelPaintDeferral&) = delete;
        LabelPaintDeferral& operator=(const LabelPaintDeferral&) = delete;

      private:
        CChildDialog& m_form;
        bool m_outer;
    };
    // The windows of field n as the control pass made them (looked up once: every lookup of a
    // child window is a trip to the window system).
    struct FieldWindows {
        HWND control = nullptr;
        HWND label = nullptr;     // the prompt in front of it (id 0xFFFF)
        HWND browse = nullptr;    // the button beside kinds 10, 12 and 13
        HWND modeLabel = nullptr; // the $$MODU^QCC label (0x2000 | n)
        // Asked once: every message to a control with a tooltip is a trip to the window system.
        ControlKind kind = ControlKind::Edit;
        // The text field's road to its text: 0 its window, 1 an edit of InsertEdit, 2 one of
        // InsertTabEdit (CChildForm::EditText).
        int edit = 0;
    };
    const FieldWindows& WindowsOf(int n) const;
    // The text of field n's control as the refresh compares it (at most 127 characters).
    std::string FieldText(int n) const;
    HWND FieldControl(int n) const { return WindowsOf(n).control; }
    HWND ModeLabel(int n) const { return WindowsOf(n).modeLabel; }
    HWND Frame() const { return ::GetParent(m_hWnd); }
    // The main frame, or none before it is made and after it goes.
    static HWND MainWindow();
    // Whether the form's frame is the active window of its MDI client.
    bool IsActiveFrame() const;

    CSession& m_session;
    CString m_strFormName;
    CString m_strDescription;
    CString m_strTitle;
    CString m_strBaseTitle;
    CString m_strFrameCaption;
    UINT m_nFormId = 0;
    int m_nTabIndex = 1;
    std::vector<std::string> m_keys;
    int m_nFields = 0;
    int m_nLayoutRight = 0, m_nLayoutBottom = 0;
    bool m_bFreeOrder = false;
    bool m_bNoClientEdge = false;
    HFONT m_hFonts[3] = {};
    HFONT m_hFixedFont = nullptr;
    HWND m_hToolTip = nullptr;
    bool m_bControlsCreated = false;
    bool m_bReinitialised = false;
    int m_nFocusField = 0;
    bool m_bCreated = false;
    HWND m_hCurrentControl = nullptr;
    HBRUSH m_brushes[kColourFields] = {};
    COLORREF m_backgrounds[kColourFields]; // the colour of each brush
    // A button shows its picture but does not own it: the form keeps the pictures until its
    // controls are gone.
    std::list<CBitmap> m_buttonPictures;
    COLORREF m_colours[kColourFields];

    // window procedure state
    int m_nCurrentField = 0;
    int m_nListField = 0; // the field whose popup list is open
    int m_nStoredWidth = 0, m_nStoredHeight = 0;
    std::string m_strTextBoxVariable;
    // Text boxes whose server text could not be shown whole: never written back.
    std::set<int> m_partialTextBoxes;
    std::vector<FieldWindows> m_fieldWindows;
    std::vector<HWND> m_pictureWindows;
    // The explorers of the form; a single one stretches.
    int m_nPictures = 0;
    HWND m_hPopupList = nullptr;
    std::string m_strPopupTable;
    bool m_bClosingList = false;
    int m_nCallDepth = 0;
    bool m_bDeletePending = false;
    // the grid's header rows (from the lowest subscript of its global) and image list
    int m_nGridHeaderRows = 1;
    CGridCtrl* m_pGrid = nullptr;
    CBaseMDIMenu* m_pGridImages = nullptr;
    void DestroyGridObjects();
};
