#pragma once
// Excel's automation members as the export uses them, each called by its fixed dispatch
// identifier (no name look-up), on whichever Excel object the wrapper holds: the
// application, its workbooks, a workbook, its worksheets, a worksheet or a range. Members
// that give an object back hand over its interface for another wrapper to attach.

#include "framework/Dispatch.h"

class CExcelDispatch : public CDispatchDriver {
  public:
    enum : DISPID {
        kAdd = 0xB5,
        kClearContents = 0x71,
        kClose = 0x115,
        kActiveSheet = 0x133,
        kFormulaR1C1 = 0x108,
        kItem = 0xAA,
        kName = 0x6E,
        kRange = 0xC5,
        kWorkbooks = 0x23C,
        kWorksheets = 0x1EE,
        kOpen = 0x2AA,
        kQuit = 0x12E,
        kSave = 0x11B,
        kSaveAs = 0x11C,
        kSaveCopyAs = 0xAF,
        kUserControl = 0x4BA,
        kVisible = 0x22E,
    };

    // An omitted optional argument.
    static CVariant Missing();
    static CVariant Bool(bool value);
    static CVariant Double(double value);

    // Workbooks
    IDispatch* Add(const CVariant& templ);
    IDispatch* Open(const char* fileName, const CVariant& readOnly);
    // Workbook
    void Close(const CVariant& saveChanges);
    IDispatch* ActiveSheet();
    IDispatch* Worksheets();
    void Save();
    // Every argument but the file name missing, access mode 0.
    void SaveAs(const char* fileName);
    void SaveCopyAs(const char* fileName);
    // Workbook, Worksheet
    CString GetName();
    void SetName(const char* name);
    // Worksheets
    IDispatch* Item(const CVariant& index);
    // Worksheet
    IDispatch* Range(const char* cell1, const char* cell2);
    // Range
    CVariant GetFormulaR1C1();
    void SetFormulaR1C1(const CVariant& value);
    void ClearContents();
    // Application
    IDispatch* Workbooks();
    void Quit();
    void SetUserControl(bool on);
    void SetVisible(bool on);

  private:
    IDispatch* TakeDispatch(CVariant result);
};
