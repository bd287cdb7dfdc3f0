#include "services/ExcelDispatch.h"

#include <vector>

CVariant CExcelDispatch::Missing() {
    CVariant v;
    v.v.vt = VT_ERROR;
    v.v.scode = DISP_E_PARAMNOTFOUND;
    return v;
}

CVariant CExcelDispatch::Bool(bool value) {
    CVariant v;
    v.v.vt = VT_BOOL;
    v.v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

CVariant CExcelDispatch::Double(double value) {
    CVariant v;
    v.v.vt = VT_R8;
    v.v.dblVal = value;
    return v;
}

IDispatch* CExcelDispatch::TakeDispatch(CVariant result) {
    if (result.v.vt != VT_DISPATCH || !result.v.pdispVal)
        throw CDispatchException(E_NOINTERFACE, "Excel hat kein Objekt geliefert.");
    IDispatch* object = result.v.pdispVal;
    object->AddRef();
    return object;
}

IDispatch* CExcelDispatch::Add(const CVariant& templ) {
    return TakeDispatch(Invoke(kAdd, DISPATCH_METHOD, &templ, 1));
}

IDispatch* CExcelDispatch::Open(const char* fileName, const CVariant& readOnly) {
    std::vector<CVariant> args(12, Missing());
    args[0] = CVariant(fileName);
    args[2] = readOnly;
    return TakeDispatch(Invoke(kOpen, DISPATCH_METHOD, args.data(), static_cast<int>(args.size())));
}

void CExcelDispatch::Close(const CVariant& saveChanges) {
    CVariant args[] = {saveChanges, Missing(), Missing()};
    Invoke(kClose, DISPATCH_METHOD, args, 3);
}

IDispatch* CExcelDispatch::ActiveSheet() {
    return TakeDispatch(Invoke(kActiveSheet, DISPATCH_PROPERTYGET));
}

IDispatch* CExcelDispatch::Worksheets() {
    return TakeDispatch(Invoke(kWorksheets, DISPATCH_PROPERTYGET));
}

void CExcelDispatch::Save() {
    Invoke(kSave, DISPATCH_METHOD);
}

void CExcelDispatch::SaveAs(const char* fileName) {
    std::vector<CVariant> args(11, Missing());
    args[0] = CVariant(fileName);
    args[6] = CVariant(0L);
    Invoke(kSaveAs, DISPATCH_METHOD, args.data(), static_cast<int>(args.size()));
}

void CExcelDispatch::SaveCopyAs(const char* fileName) {
    CVariant name(fileName);
    Invoke(kSaveCopyAs, DISPATCH_METHOD, &name, 1);
}

CString CExcelDispatch::GetName() {
    return Invoke(kName, DISPATCH_PROPERTYGET).ToString();
}

void CExcelDispatch::SetName(const char* name) {
    SetProperty(kName, CVariant(name));
}

IDispatch* CExcelDispatch::Item(const CVariant& index) {
    return TakeDispatch(Invoke(kItem, DISPATCH_PROPERTYGET, &index, 1));
}

IDispatch* CExcelDispatch::Range(const char* cell1, const char* cell2) {
    CVariant args[] = {CVariant(cell1), CVariant(cell2)};
    return TakeDispatch(Invoke(kRange, DISPATCH_PROPERTYGET, args, 2));
}

CVariant CExcelDispatch::GetFormulaR1C1() {
    return Invoke(kFormulaR1C1, DISPATCH_PROPERTYGET);
}

void CExcelDispatch::SetFormulaR1C1(const CVariant& value) {
    SetProperty(kFormulaR1C1, value);
}

void CExcelDispatch::ClearContents() {
    Invoke(kClearContents, DISPATCH_METHOD);
}

IDispatch* CExcelDispatch::Workbooks() {
    return TakeDispatch(Invoke(kWorkbooks, DISPATCH_PROPERTYGET));
}

void CExcelDispatch::Quit() {
    Invoke(kQuit, DISPATCH_METHOD);
}

void CExcelDispatch::SetUserControl(bool on) {
    SetProperty(kUserControl, Bool(on));
}

void CExcelDispatch::SetVisible(bool on) {
    SetProperty(kVisible, Bool(on));
}
