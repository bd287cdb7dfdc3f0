#include "framework/Print.h"
#include "framework/TestMode.h"

#include <winspool.h>
// The spooler's name of its own would rename ours.
#undef GetDefaultPrinter

#include <cstdio>
#include <cstring>

namespace {

// The fields of a preset device mode that the print dialog keeps for the printer chosen.
constexpr DWORD kPresetFields = DM_COPIES | DM_COLOR | DM_ORIENTATION;

void TakePreset(HGLOBAL preset, HGLOBAL chosen) {
    auto* from = preset ? static_cast<const DEVMODEA*>(::GlobalLock(preset)) : nullptr;
    if (!from) return;
    if (auto* to = chosen ? static_cast<DEVMODEA*>(::GlobalLock(chosen)) : nullptr) {
        if (from->dmFields & DM_COPIES) to->dmCopies = from->dmCopies;
        if (from->dmFields & DM_COLOR) to->dmColor = from->dmColor;
        if (from->dmFields & DM_ORIENTATION) to->dmOrientation = from->dmOrientation;
        to->dmFields |= from->dmFields & kPresetFields;
        ::GlobalUnlock(chosen);
    }
    ::GlobalUnlock(preset);
}

void TurnPaper(HGLOBAL mode, short orientation) {
    if (auto* dm = orientation && mode ? static_cast<DEVMODEA*>(::GlobalLock(mode)) : nullptr) {
        dm->dmOrientation = orientation;
        dm->dmFields |= DM_ORIENTATION;
        ::GlobalUnlock(mode);
    }
}

// A context for the printer of the blocks, as its device mode asks.
HDC CreatePrinterDC(HGLOBAL devMode, HGLOBAL devNames) {
    std::string name = fw::PrinterName(devNames);
    auto* dm = devMode ? static_cast<const DEVMODEA*>(::GlobalLock(devMode)) : nullptr;
    HDC dc = name.empty() ? nullptr : ::CreateDCA("WINSPOOL", name.c_str(), nullptr, dm);
    if (dm) ::GlobalUnlock(devMode);
    return dc;
}

} // namespace

CPrintJob::CPrintJob(HDC dc, const char* documentName) : m_hDC(dc) {
    DOCINFOA info{};
    info.cbSize = sizeof info;
    info.lpszDocName = documentName;
    m_bStarted = dc && ::StartDocA(dc, &info) > 0;
}

CPrintJob::~CPrintJob() {
    Abort();
}

bool CPrintJob::StartPage() {
    return m_bStarted && ::StartPage(m_hDC) > 0;
}

bool CPrintJob::EndPage() {
    if (!m_bStarted) return false;
    if (::EndPage(m_hDC) > 0) return true;
    Abort();
    return false;
}

bool CPrintJob::End() {
    if (!m_bStarted) return false;
    m_bStarted = false;
    return ::EndDoc(m_hDC) > 0;
}

void CPrintJob::Abort() {
    if (!m_bStarted) return;
    m_bStarted = false;
    ::AbortDoc(m_hDC);
}

CPrintDialog::CPrintDialog(bool setup, DWORD flags, HWND owner) : m_pd{}, m_bSetup(setup) {
    m_pd.lStructSize = sizeof m_pd;
    m_pd.hwndOwner = owner;
    m_pd.Flags = flags | (setup ? PD_PRINTSETUP : 0);
    m_pd.nCopies = 1;
    m_pd.nFromPage = m_pd.nToPage = 1;
    m_pd.nMinPage = 1;
    m_pd.nMaxPage = 0xFFFF;
}

CPrintDialog::~CPrintDialog() {
    fw::FreePrinterBlocks(m_pd.hDevMode, m_pd.hDevNames);
    if (m_pd.hDC) ::DeleteDC(m_pd.hDC);
}

void CPrintDialog::PresetDevMode(short copies, bool colour, short orientation) {
    fw::FreePrinterBlocks(m_pd.hDevMode, m_pd.hDevNames);
    m_pd.hDevMode = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DEVMODEA));
    if (auto* mode = m_pd.hDevMode ? static_cast<DEVMODEA*>(::GlobalLock(m_pd.hDevMode)) : nullptr) {
        // The dialog starts from a device mode only when it names the printer it shows first.
        lstrcpynA(reinterpret_cast<char*>(mode->dmDeviceName), fw::DefaultPrinterName().c_str(),
                  sizeof mode->dmDeviceName);
        mode->dmSize = sizeof(DEVMODEA);
        mode->dmFields = DM_COPIES | DM_COLOR | (orientation ? DM_ORIENTATION : 0);
        mode->dmCopies = copies;
        mode->dmColor = colour ? DMCOLOR_COLOR : DMCOLOR_MONOCHROME;
        mode->dmOrientation = orientation;
        ::GlobalUnlock(m_pd.hDevMode);
    }
}

void CPrintDialog::DetachBlocks(HGLOBAL& devMode, HGLOBAL& devNames) {
    devMode = m_pd.hDevMode;
    devNames = m_pd.hDevNames;
    m_pd.hDevMode = m_pd.hDevNames = nullptr;
}

int CPrintDialog::RunModal() {
    return ::PrintDlgA(&m_pd) ? IDOK : IDCANCEL;
}

namespace {

BOOL CALLBACK RefuseDocument(HDC, int) {
    return FALSE;
}

} // namespace

int CPrintDialog::RunScripted() {
    const char* name = m_bSetup ? "printsetup" : "print";
    bool chosen = false, selection = false, refuse = false;
    std::string printer;
    int from = 0, to = 0;
    short orientation = 0;
    for (const fw::DialogStep& step : fw::TestMode::DialogScript(name)) {
        if (step.kind != fw::DialogStep::Verb) continue;
        if (step.verb == "printer") {
            chosen = true;
            printer = step.text == "default" ? std::string() : step.text;
        }
        if (step.verb == "selection") selection = step.text == "1";
        if (step.verb == "refuse") refuse = step.text == "1";
        if (step.verb == "pages" && std::sscanf(step.text.c_str(), "%d-%d", &from, &to) != 2) from = to = 0;
        if (step.verb == "orientation")
            orientation = step.text == "landscape"  ? DMORIENT_LANDSCAPE
                          : step.text == "portrait" ? DMORIENT_PORTRAIT
                                                    : 0;
    }
    int result = IDCANCEL;
    std::string choice;
    if (chosen) {
        PRINTDLGA found{};
        bool returnDC = (m_pd.Flags & PD_RETURNDC) != 0;
        if (printer.empty() ? fw::GetDefaultPrinter(found, false)
                            : fw::GetNamedPrinter(found, printer, false)) {
            TakePreset(m_pd.hDevMode, found.hDevMode);
            TurnPaper(found.hDevMode, orientation);
            if (returnDC) found.hDC = CreatePrinterDC(found.hDevMode, found.hDevNames);
            if (returnDC && !found.hDC) fw::FreePrinterBlocks(found.hDevMode, found.hDevNames);
        }
        if (found.hDevMode) {
            fw::FreePrinterBlocks(m_pd.hDevMode, m_pd.hDevNames);
            if (m_pd.hDC) ::DeleteDC(m_pd.hDC);
            m_pd.hDevMode = found.hDevMode;
            m_pd.hDevNames = found.hDevNames;
            m_pd.hDC = found.hDC;
            if (refuse && m_pd.hDC) ::SetAbortProc(m_pd.hDC, RefuseDocument);
            m_pd.Flags &= ~static_cast<DWORD>(PD_SELECTION | PD_PAGENUMS);
            if (selection) {
                m_pd.Flags |= PD_SELECTION;
            } else if (from > 0 && to > 0) {
                m_pd.Flags |= PD_PAGENUMS;
                m_pd.nFromPage = static_cast<WORD>(from);
                m_pd.nToPage = static_cast<WORD>(to);
            }
            choice = fw::PrinterName(m_pd.hDevNames);
            result = IDOK;
        }
    }
    fw::TestMode::RecordItem(fw::ShownItem{name, 0, "", choice, result});
    return result;
}

namespace fw {

bool GetDefaultPrinter(PRINTDLGA& pd, bool returnDC) {
    pd = PRINTDLGA{};
    pd.lStructSize = sizeof pd;
    pd.Flags = PD_RETURNDEFAULT | (returnDC ? PD_RETURNDC : 0);
    if (!::PrintDlgA(&pd)) return false;
    if (returnDC && !pd.hDC) {
        FreePrinterBlocks(pd.hDevMode, pd.hDevNames);
        return false;
    }
    return true;
}

bool GetNamedPrinter(PRINTDLGA& pd, const std::string& name, bool returnDC) {
    pd = PRINTDLGA{};
    pd.lStructSize = sizeof pd;
    HANDLE printer = nullptr;
    if (!::OpenPrinterA(const_cast<char*>(name.c_str()), &printer, nullptr)) return false;
    LONG size = ::DocumentPropertiesA(nullptr, printer, const_cast<char*>(name.c_str()), nullptr, nullptr, 0);
    HGLOBAL mode =
        size > 0 ? ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, static_cast<SIZE_T>(size)) : nullptr;
    bool ok = false;
    if (auto* dm = mode ? static_cast<DEVMODEA*>(::GlobalLock(mode)) : nullptr) {
        ok = ::DocumentPropertiesA(nullptr, printer, const_cast<char*>(name.c_str()), dm, nullptr,
                                   DM_OUT_BUFFER) == IDOK;
        ::GlobalUnlock(mode);
    }
    ::ClosePrinter(printer);
    const char driver[] = "winspool";
    size_t bytes = sizeof(DEVNAMES) + sizeof driver + name.size() + 2;
    HGLOBAL names = ok ? ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes) : nullptr;
    if (auto* dn = names ? static_cast<DEVNAMES*>(::GlobalLock(names)) : nullptr) {
        char* base = reinterpret_cast<char*>(dn);
        dn->wDriverOffset = sizeof(DEVNAMES);
        lstrcpyA(base + dn->wDriverOffset, driver);
        dn->wDeviceOffset = static_cast<WORD>(dn->wDriverOffset + sizeof driver);
        lstrcpyA(base + dn->wDeviceOffset, name.c_str());
        dn->wOutputOffset = static_cast<WORD>(dn->wDeviceOffset + name.size() + 1);
        ::GlobalUnlock(names);
    }
    pd.hDevMode = mode;
    pd.hDevNames = names;
    if (ok && names && returnDC) pd.hDC = CreatePrinterDC(mode, names);
    if (!ok || !names || (returnDC && !pd.hDC)) {
        FreePrinterBlocks(pd.hDevMode, pd.hDevNames);
        return false;
    }
    return true;
}

void FreePrinterBlocks(HGLOBAL& devMode, HGLOBAL& devNames) {
    if (devMode) ::GlobalFree(devMode);
    if (devNames) ::GlobalFree(devNames);
    devMode = devNames = nullptr;
}

std::string PrinterName(HGLOBAL devNames) {
    if (!devNames) return std::string();
    std::string name;
    if (auto* names = static_cast<const DEVNAMES*>(::GlobalLock(devNames))) {
        name = reinterpret_cast<const char*>(names) + names->wDeviceOffset;
        ::GlobalUnlock(devNames);
    }
    return name;
}

std::string DefaultPrinterName() {
    // The name may grow between the two calls (another program sets the default).
    for (int attempt = 0; attempt < 3; ++attempt) {
        DWORD size = 0;
        if (::GetDefaultPrinterA(nullptr, &size) || ::GetLastError() != ERROR_INSUFFICIENT_BUFFER ||
            size == 0)
            return std::string();
        std::string name(size, '\0');
        if (::GetDefaultPrinterA(name.data(), &size)) {
            name.resize(std::strlen(name.c_str()));
            return name;
        }
        if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER) return std::string();
    }
    return std::string();
}

bool SetDefaultPrinterName(const std::string& name) {
    return !name.empty() && ::SetDefaultPrinterA(name.c_str());
}

} // namespace fw

CDefaultPrinterSwap::CDefaultPrinterSwap() : m_saved(fw::DefaultPrinterName()) {}

bool CDefaultPrinterSwap::Use(const std::string& printer) {
    if (printer.empty() || !fw::SetDefaultPrinterName(printer)) return false;
    m_bChanged = true;
    return true;
}

void CDefaultPrinterSwap::Restore() {
    if (!m_bChanged) return;
    m_bChanged = false;
    if (!m_saved.empty()) fw::SetDefaultPrinterName(m_saved);
}
