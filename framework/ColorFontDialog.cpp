#include "framework/ColorFontDialog.h"

#include "framework/TestMode.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

int ScreenPixelsPerInch() {
    HDC dc = ::GetDC(nullptr);
    int dpi = dc ? ::GetDeviceCaps(dc, LOGPIXELSY) : 96;
    if (dc) ::ReleaseDC(nullptr, dc);
    return dpi;
}

} // namespace

CColorDialog::CColorDialog(COLORREF initial, DWORD flags, HWND owner) {
    for (COLORREF& c : m_custom)
        c = RGB(255, 255, 255);
    std::memset(&m_cc, 0, sizeof m_cc);
    m_cc.lStructSize = sizeof m_cc;
    m_cc.hwndOwner = owner;
    m_cc.rgbResult = initial;
    m_cc.lpCustColors = m_custom;
    m_cc.Flags = flags | CC_RGBINIT;
}

int CColorDialog::RunModal() {
    return ::ChooseColorA(&m_cc) ? IDOK : IDCANCEL;
}

int CColorDialog::RunScripted() {
    int result = IDCANCEL;
    for (const fw::DialogStep& step : fw::TestMode::DialogScript("color")) {
        int r = 0, g = 0, b = 0;
        if (step.kind != fw::DialogStep::Verb || step.verb != "rgb") continue;
        if (std::sscanf(step.text.c_str(), "%d,%d,%d", &r, &g, &b) != 3) continue;
        m_cc.rgbResult = RGB(r, g, b);
        result = IDOK;
    }
    char chosen[32];
    std::snprintf(chosen, sizeof chosen, "%lu", static_cast<unsigned long>(m_cc.rgbResult));
    fw::TestMode::RecordItem(fw::ShownItem{"color", 0, "", chosen, result});
    return result;
}

CFontDialog::CFontDialog(const char* face, int points, DWORD flags, HWND owner) {
    std::memset(&m_lf, 0, sizeof m_lf);
    m_lf.lfHeight = -::MulDiv(points, ScreenPixelsPerInch(), 72);
    m_lf.lfWeight = FW_NORMAL;
    m_lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(m_lf.lfFaceName, face ? face : "", LF_FACESIZE);
    std::memset(&m_cf, 0, sizeof m_cf);
    m_cf.lStructSize = sizeof m_cf;
    m_cf.hwndOwner = owner;
    m_cf.lpLogFont = &m_lf;
    m_cf.iPointSize = points * 10;
    m_cf.Flags = flags | CF_INITTOLOGFONTSTRUCT;
}

int CFontDialog::RunModal() {
    return ::ChooseFontA(&m_cf) ? IDOK : IDCANCEL;
}

int CFontDialog::RunScripted() {
    std::string face;
    int points = m_cf.iPointSize / 10;
    for (const fw::DialogStep& step : fw::TestMode::DialogScript("font")) {
        if (step.kind != fw::DialogStep::Verb) continue;
        if (step.verb == "face") face = step.text;
        if (step.verb == "size") points = std::atoi(step.text.c_str());
    }
    int result = face.empty() || points <= 0 ? IDCANCEL : IDOK;
    if (result == IDOK) {
        lstrcpynA(m_lf.lfFaceName, face.c_str(), LF_FACESIZE);
        m_lf.lfHeight = -::MulDiv(points, ScreenPixelsPerInch(), 72);
        m_cf.iPointSize = points * 10;
    }
    fw::TestMode::RecordItem(fw::ShownItem{"font", 0, "", std::string(m_lf.lfFaceName), result});
    return result;
}
