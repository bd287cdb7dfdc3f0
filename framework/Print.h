#pragma once
// Printers: an owned printer device context, a print job that is ended or aborted on every way
// out, and the print and print-setup dialogs, which test mode answers from the script.

#include "framework/CommonDialog.h"

#include <windows.h>
#include <commdlg.h>

#include <string>

// A device context deleted with its owner (printer contexts are created, not borrowed).
class CPrinterDC {
  public:
    CPrinterDC() = default;
    ~CPrinterDC() { Delete(); }
    CPrinterDC(const CPrinterDC&) = delete;
    CPrinterDC& operator=(const CPrinterDC&) = delete;

    operator HDC() const { return m_hDC; }
    HDC m_hDC = nullptr;
    void Attach(HDC dc) {
        Delete();
        m_hDC = dc;
    }
    HDC Detach() {
        HDC dc = m_hDC;
        m_hDC = nullptr;
        return dc;
    }
    void Delete() {
        if (m_hDC) ::DeleteDC(m_hDC);
        m_hDC = nullptr;
    }
};

// A document on a printer context: aborted on destruction unless End succeeded.
class CPrintJob {
  public:
    CPrintJob(HDC dc, const char* documentName);
    ~CPrintJob();
    CPrintJob(const CPrintJob&) = delete;
    CPrintJob& operator=(const CPrintJob&) = delete;

    bool IsStarted() const { return m_bStarted; }
    bool StartPage();
    // A failing page aborts the document.
    bool EndPage();
    bool End();
    void Abort();

  private:
    HDC m_hDC;
    bool m_bStarted = false;
};

// The print dialog (or with setup the print-setup dialog). In test mode the script's
// "dialog print ..." or "dialog printsetup ..." line answers it:
//   printer:default   the default printer is chosen (IDOK; without one the dialog is cancelled)
//   printer:NAME      the printer of that name (\s for a blank; unknown: cancelled)
//   pages:FROM-TO     a page range          selection:1   the selection (the current page)
//   orientation:portrait or orientation:landscape   the user turns the paper
//   refuse:1          the chosen printer refuses every document (its StartDoc fails)
// As the dialog does, the printer chosen takes the preset's copies, colour and orientation
// first. Without a fitting line the dialog is cancelled. Recorded as
// "<name> 0 <title> <choice> <result>".
class CPrintDialog : public CCommonDialog {
  public:
    CPrintDialog(bool setup, DWORD flags, HWND owner);
    ~CPrintDialog() override;

    PRINTDLGA m_pd;
    // The device blocks pass to the caller, who frees them with fw::FreePrinterBlocks.
    void DetachBlocks(HGLOBAL& devMode, HGLOBAL& devNames);
    // A device mode of our own for the default printer, asking for copies, colour and (unless
    // 0) an orientation (DMORIENT_PORTRAIT, DMORIENT_LANDSCAPE), which the dialog starts from.
    void PresetDevMode(short copies, bool colour, short orientation = 0);
    bool PrintSelection() const { return (m_pd.Flags & PD_SELECTION) != 0; }
    bool PrintRange() const { return (m_pd.Flags & PD_PAGENUMS) != 0; }

    int RunModal() override;
    int RunScripted() override;

  private:
    bool m_bSetup;
};

namespace fw {
// The default printer without a dialog: its device blocks and, with returnDC, a context.
bool GetDefaultPrinter(PRINTDLGA& pd, bool returnDC);
// A printer by name, as the print dialog would return it.
bool GetNamedPrinter(PRINTDLGA& pd, const std::string& name, bool returnDC);
void FreePrinterBlocks(HGLOBAL& devMode, HGLOBAL& devNames);
// The printer's name from a device-names block, empty without one.
std::string PrinterName(HGLOBAL devNames);
// The spooler's default printer, read into a buffer of the size it asks for; empty when
// there is none.
std::string DefaultPrinterName();
bool SetDefaultPrinterName(const std::string& name);
} // namespace fw

// Lends another printer the default for a while: the default it found is put back when it is
// destroyed, whatever way the caller leaves.
class CDefaultPrinterSwap {
  public:
    CDefaultPrinterSwap();
    ~CDefaultPrinterSwap() { Restore(); }
    CDefaultPrinterSwap(const CDefaultPrinterSwap&) = delete;
    CDefaultPrinterSwap& operator=(const CDefaultPrinterSwap&) = delete;

    // Makes the printer the default; false when the spooler refused it (the default stays).
    bool Use(const std::string& printer);
    // Puts the saved default back (again after a later Use).
    void Restore();
    const std::string& Saved() const { return m_saved; }

  private:
    std::string m_saved;
    bool m_bChanged = false;
};
