// A TWAIN data source for the tests: a DLL exporting DS_Entry, installed in place of the
// source the manager knows. A scenario file named by VORLAN_TWAIN_SCENARIO says what it
// does (lines "key=value"):
//   pages=1,4,8,24,32   the depths of the pages it has, in order
//   cancel=1            its interface is closed before any transfer (MSG_CLOSEDSREQ)
//   failxfer=N          the native transfer of page N (from 1) fails
//   checkstatus=1       a signed transfer count is answered with TWRC_CHECKSTATUS
//   barcode=TEXT        every page carries the code in its top rows
// Every triplet is appended to the file named by VORLAN_TWAIN_LOG as
// "<origin product>|DG|DAT|MSG" with the names of the interface.
#include "tests/tools/ScanPattern.h"
#include "tools/DIB.h"
#include "tools/TwainDefs.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Scenario {
    std::vector<int> pages;
    bool cancel = false;
    int failTransfer = 0;
    bool checkStatus = false;
    std::string barcode;
};

struct State {
    Scenario scenario;
    HWND parent = nullptr;
    bool enabled = false;
    size_t next = 0; // the page the next transfer delivers
    size_t last = 0; // one past the last page of this session
    TW_UINT16 pending = MSG_NULL;
    TW_UINT16 condition = TWCC_SUCCESS;
    TW_UINT16 count = 0xFFFF;
    TW_UINT16 countType = TWTY_INT16;
};

State g;
UINT g_eventMessage = 0;

std::string Env(const char* name) {
    char value[1024] = {};
    DWORD n = ::GetEnvironmentVariableA(name, value, sizeof value);
    return n > 0 && n < sizeof value ? std::string(value, n) : std::string();
}

Scenario ReadScenario() {
    Scenario s;
    std::ifstream in(Env("VORLAN_TWAIN_SCENARIO"));
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        std::string key = line.substr(0, eq), value = line.substr(eq + 1);
        if (key == "pages") {
            std::stringstream list(value);
            for (std::string d; std::getline(list, d, ',');)
                s.pages.push_back(std::atoi(d.c_str()));
        } else if (key == "cancel") {
            s.cancel = value == "1";
        } else if (key == "failxfer") {
            s.failTransfer = std::atoi(value.c_str());
        } else if (key == "checkstatus") {
            s.checkStatus = value == "1";
        } else if (key == "barcode") {
            s.barcode = value;
        }
    }
    return s;
}

const char* Name(TW_UINT32 dg) {
    return dg == DG_CONTROL ? "DG_CONTROL" : dg == DG_IMAGE ? "DG_IMAGE" : "DG_?";
}

const char* DatName(TW_UINT16 dat) {
    switch (dat) {
    case DAT_CAPABILITY: return "DAT_CAPABILITY";
    case DAT_EVENT: return "DAT_EVENT";
    case DAT_IDENTITY: return "DAT_IDENTITY";
    case DAT_PARENT: return "DAT_PARENT";
    case DAT_PENDINGXFERS: return "DAT_PENDINGXFERS";
    case DAT_STATUS: return "DAT_STATUS";
    case DAT_USERINTERFACE: return "DAT_USERINTERFACE";
    case DAT_IMAGEINFO: return "DAT_IMAGEINFO";
    case DAT_IMAGENATIVEXFER: return "DAT_IMAGENATIVEXFER";
    default: return "DAT_?";
    }
}

const char* MsgName(TW_UINT16 msg) {
    switch (msg) {
    case MSG_GET: return "MSG_GET";
    case MSG_GETCURRENT: return "MSG_GETCURRENT";
    case MSG_GETDEFAULT: return "MSG_GETDEFAULT";
    case MSG_SET: return "MSG_SET";
    case MSG_RESET: return "MSG_RESET";
    case MSG_OPENDS: return "MSG_OPENDS";
    case MSG_CLOSEDS: return "MSG_CLOSEDS";
    case MSG_ENABLEDS: return "MSG_ENABLEDS";
    case MSG_DISABLEDS: return "MSG_DISABLEDS";
    case MSG_PROCESSEVENT: return "MSG_PROCESSEVENT";
    case MSG_ENDXFER: return "MSG_ENDXFER";
    default: return "MSG_?";
    }
}

void Log(const TW_IDENTITY* origin, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg,
         const std::string& extra = {}) {
    std::string path = Env("VORLAN_TWAIN_LOG");
    if (path.empty()) return;
    if (FILE* f = std::fopen(path.c_str(), "ab")) {
        std::fprintf(f, "%s|%s|%s|%s%s\n", origin ? origin->ProductName : "-", Name(dg), DatName(dat),
                     MsgName(msg), extra.c_str());
        std::fclose(f);
    }
}

void CopyText(TW_STR32& field, const char* text) {
    std::memset(field, 0, sizeof(TW_STR32));
    std::strncpy(field, text, sizeof(TW_STR32) - 1);
}

void FillIdentity(TW_IDENTITY* id) {
    TW_UINT32 keep = id->Id;
    std::memset(id, 0, sizeof *id);
    id->Id = keep;
    id->Version.MajorNum = 1;
    id->Version.Language = TWLG_USA;
    id->Version.Country = TWCY_USA;
    CopyText(id->Version.Info, "1.0");
    id->ProtocolMajor = 1;
    id->ProtocolMinor = 9;
    id->SupportedGroups = DG_CONTROL | DG_IMAGE;
    CopyText(id->Manufacturer, "VORLAN Test");
    CopyText(id->ProductFamily, "Test");
    CopyText(id->ProductName, "VORLAN Testscanner");
}

// Tells the application that an event waits: the next PROCESSEVENT of our message answers it.
void Signal(TW_UINT16 event) {
    g.pending = event;
    if (g.parent) ::PostMessageA(g.parent, g_eventMessage, 0, 0);
}

TW_UINT16 Fail(TW_UINT16 condition) {
    g.condition = condition;
    return TWRC_FAILURE;
}

int Depth() {
    return g.next < g.scenario.pages.size() ? g.scenario.pages[g.next] : 24;
}

// The page as a packed bitmap: bottom-up except 32 bits, which comes top-down with bit fields.
HGLOBAL MakePage(int bits) {
    CDIB dib;
    if (!dib.Create(scanpattern::kWidth, scanpattern::kHeight, static_cast<uint16_t>(bits))) return nullptr;
    if (bits <= 8)
        for (int i = 0; i < dib.GetPaletteSize(); ++i)
            dib.SetPaletteColor(i, scanpattern::PaletteColor(bits, i));
    std::vector<bool> marker;
    if (!g.scenario.barcode.empty()) marker = scanpattern::MarkerBits(g.scenario.barcode);
    for (int y = 0; y < scanpattern::kHeight; ++y) {
        uint8_t* row = dib.GetRow(y);
        for (int x = 0; x < scanpattern::kWidth; ++x) {
            bool inMarker = !marker.empty() && y < scanpattern::kMarkerRows;
            bool white = scanpattern::MarkerWhite(marker, x, y);
            int index = inMarker ? (white ? 1 : 0) : scanpattern::PatternIndex(bits, x, y);
            uint32_t color = inMarker ? (white ? 0xFFFFFFu : 0u) : scanpattern::PatternColor(bits, x, y);
            switch (bits) {
            case 1:
                if (index) row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
                break;
            case 4: row[x / 2] |= static_cast<uint8_t>(x % 2 ? index : index << 4); break;
            case 8: row[x] = static_cast<uint8_t>(index); break;
            default: std::memcpy(row + x * (bits / 8), &color, static_cast<size_t>(bits / 8)); break;
            }
        }
    }
    std::vector<uint8_t> packed = dib.GetPacked();
    if (bits == 32) {
        DibInfoHeader h;
        std::memcpy(&h, packed.data(), sizeof h);
        h.biHeight = -h.biHeight;
        h.biCompression = 3;
        std::vector<uint8_t> out(sizeof h);
        std::memcpy(out.data(), &h, sizeof h);
        const uint32_t masks[3] = {0xFF0000, 0xFF00, 0xFF};
        out.insert(out.end(), reinterpret_cast<const uint8_t*>(masks),
                   reinterpret_cast<const uint8_t*>(masks) + 12);
        size_t stride = dib.GetStride();
        for (int y = 0; y < scanpattern::kHeight; ++y)
            out.insert(out.end(), dib.GetRow(y), dib.GetRow(y) + stride);
        packed.swap(out);
    }
    HGLOBAL handle = ::GlobalAlloc(GMEM_MOVEABLE, packed.size());
    if (!handle) return nullptr;
    std::memcpy(::GlobalLock(handle), packed.data(), packed.size());
    ::GlobalUnlock(handle);
    return handle;
}

TW_UINT16 Capability(TW_UINT16 msg, TW_CAPABILITY* cap) {
    if (!cap || cap->Cap != CAP_XFERCOUNT) return Fail(TWCC_BADCAP);
    if (msg == MSG_SET) {
        if (cap->ConType != TWON_ONEVALUE || !cap->hContainer) return Fail(TWCC_BADVALUE);
        auto* one = static_cast<TW_ONEVALUE*>(::GlobalLock(cap->hContainer));
        g.count = static_cast<TW_UINT16>(one->Item);
        g.countType = one->ItemType;
        ::GlobalUnlock(cap->hContainer);
        if (g.scenario.checkStatus && g.countType == TWTY_INT16) return TWRC_CHECKSTATUS;
        return TWRC_SUCCESS;
    }
    if (msg == MSG_GET || msg == MSG_GETCURRENT) {
        cap->ConType = TWON_ONEVALUE;
        cap->hContainer = ::GlobalAlloc(GHND, sizeof(TW_ONEVALUE));
        auto* one = static_cast<TW_ONEVALUE*>(::GlobalLock(cap->hContainer));
        one->ItemType = g.countType;
        one->Item = g.count;
        ::GlobalUnlock(cap->hContainer);
        return TWRC_SUCCESS;
    }
    return Fail(TWCC_BADVALUE);
}

TW_UINT16 Enable(TW_USERINTERFACE* ui) {
    if (!ui) return Fail(TWCC_BADVALUE);
    g.parent = static_cast<HWND>(ui->hParent);
    g.enabled = true;
    g.next = 0;
    int16_t wanted = static_cast<int16_t>(g.count);
    size_t have = g.scenario.pages.size();
    g.last = wanted > 0 && static_cast<size_t>(wanted) < have ? static_cast<size_t>(wanted) : have;
    Signal(g.scenario.cancel || g.last == 0 ? MSG_CLOSEDSREQ : MSG_XFERREADY);
    return TWRC_SUCCESS;
}

TW_UINT16 ProcessEvent(TW_EVENT* event) {
    if (!event) return Fail(TWCC_BADVALUE);
    const MSG* msg = static_cast<const MSG*>(event->pEvent);
    event->TWMessage = MSG_NULL;
    if (!g.enabled || !msg || msg->message != g_eventMessage || g.pending == MSG_NULL) return TWRC_NOTDSEVENT;
    event->TWMessage = g.pending;
    g.pending = MSG_NULL;
    return TWRC_DSEVENT;
}

TW_UINT16 Pending(TW_UINT16 msg, TW_PENDINGXFERS* pending) {
    if (!pending) return Fail(TWCC_BADVALUE);
    if (msg == MSG_ENDXFER && g.next < g.last) ++g.next;
    if (msg == MSG_RESET) g.next = g.last;
    pending->Count = static_cast<TW_UINT16>(g.last - g.next);
    // As a person closing the source's window when the pages are through.
    if (pending->Count == 0) Signal(MSG_CLOSEDSREQ);
    return TWRC_SUCCESS;
}

TW_UINT16 ImageInfo(TW_IMAGEINFO* info) {
    if (!info || g.next >= g.last) return Fail(TWCC_SEQERROR);
    int bits = Depth();
    std::memset(info, 0, sizeof *info);
    info->XResolution.Whole = 200;
    info->YResolution.Whole = 200;
    info->ImageWidth = scanpattern::kWidth;
    info->ImageLength = scanpattern::kHeight;
    info->SamplesPerPixel = bits >= 24 ? 3 : 1;
    info->BitsPerSample[0] = static_cast<TW_INT16>(bits >= 24 ? 8 : bits);
    info->BitsPerPixel = static_cast<TW_INT16>(bits == 32 ? 32 : bits);
    info->PixelType = bits == 1 ? 0 : bits >= 24 ? 2 : 3;
    return TWRC_SUCCESS;
}

TW_UINT16 NativeTransfer(TW_HANDLE* handle) {
    if (!handle || g.next >= g.last) return Fail(TWCC_SEQERROR);
    if (static_cast<int>(g.next) + 1 == g.scenario.failTransfer) return Fail(TWCC_OPERATIONERROR);
    *handle = MakePage(Depth());
    return *handle ? TWRC_XFERDONE : Fail(TWCC_LOWMEMORY);
}

TW_UINT16 Dispatch(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
    if (dg == DG_CONTROL) {
        switch (dat) {
        case DAT_IDENTITY:
            if (msg == MSG_GET || msg == MSG_OPENDS) {
                if (msg == MSG_OPENDS) g = State{ReadScenario()};
                if (data) FillIdentity(static_cast<TW_IDENTITY*>(data));
                return TWRC_SUCCESS;
            }
            if (msg == MSG_CLOSEDS) {
                g.enabled = false;
                return TWRC_SUCCESS;
            }
            return Fail(TWCC_BADVALUE);
        case DAT_STATUS:
            if (auto* status = static_cast<TW_STATUS*>(data)) {
                status->ConditionCode = g.condition;
                status->Reserved = 0;
            }
            g.condition = TWCC_SUCCESS;
            return TWRC_SUCCESS;
        case DAT_CAPABILITY: return Capability(msg, static_cast<TW_CAPABILITY*>(data));
        case DAT_USERINTERFACE:
            if (msg == MSG_ENABLEDS) return Enable(static_cast<TW_USERINTERFACE*>(data));
            if (msg == MSG_DISABLEDS) {
                g.enabled = false;
                g.pending = MSG_NULL;
                return TWRC_SUCCESS;
            }
            return Fail(TWCC_BADVALUE);
        case DAT_EVENT: return ProcessEvent(static_cast<TW_EVENT*>(data));
        case DAT_PENDINGXFERS: return Pending(msg, static_cast<TW_PENDINGXFERS*>(data));
        default: return Fail(TWCC_BADVALUE);
        }
    }
    if (dg == DG_IMAGE && msg == MSG_GET) {
        if (dat == DAT_IMAGEINFO) return ImageInfo(static_cast<TW_IMAGEINFO*>(data));
        if (dat == DAT_IMAGENATIVEXFER) return NativeTransfer(static_cast<TW_HANDLE*>(data));
    }
    return Fail(TWCC_BADVALUE);
}

} // namespace

extern "C" __declspec(dllexport) TW_UINT16 WINAPI
    DS_Entry(TW_IDENTITY* origin, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
    if (!g_eventMessage) g_eventMessage = ::RegisterWindowMessageA("VORLAN.TwainDoubleEvent");
    TW_UINT16 rc = Dispatch(dg, dat, msg, data);
    std::string extra;
    if (dat == DAT_CAPABILITY && msg == MSG_SET) extra = g.countType == TWTY_INT16 ? "|INT16" : "|UINT16";
    if (dat == DAT_EVENT && rc == TWRC_DSEVENT)
        extra = static_cast<TW_EVENT*>(data)->TWMessage == MSG_XFERREADY ? "|XFERREADY" : "|CLOSEDSREQ";
    if (rc != TWRC_SUCCESS) extra += "|rc=" + std::to_string(rc);
    Log(origin, dg, dat, msg, extra);
    return rc;
}
