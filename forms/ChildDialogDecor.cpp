// The form's server-described decoration: comment texts and group boxes, the labels the
// server computes per field, and its pictures and indirection texts.
#include "forms/ChildDialog.h"

#include "app/ProtocolLog.h"
#include "app/ReplyFields.h"
#include "app/Session.h"
#include "forms/FormDecor.h"
#include "forms/FormGlobals.h"
#include "framework/Gdi.h"

#include <algorithm>
#include <array>

namespace {

constexpr UINT kLabelId = 0xFFFF;

} // namespace

void CChildDialog::CreateComments(const char* group, int skip) {
    if (skip == 1) return;
    const std::string description = m_strDescription.str();
    const int w = vorlan::g_nCharWidthUnit, h = vorlan::g_nRowHeightUnit;
    struct Slot {
        HWND box = nullptr;
        int left = 0, top = 0;
    };
    std::array<Slot, vorlan::kGroupBoxSlots> slots{};
    int empties = 0;
    for (int n = 1; n <= vorlan::kMaxCommentRecords && empties < vorlan::kMaxEmptyComments; ++n) {
        std::string record = m_session.Execute(vorlan::TextLine(description, group, n)).str();
        // A failed call ends the group: its end mark would never come.
        if (m_session.LastError() != 0 || !m_session.IsLoggedIn()) break;
        if (record == "\xA7") break;
        if (record.empty()) {
            ++empties;
            continue;
        }
        empties = 0;
        vorlan::CommentEntry e = vorlan::ParseComment(record, w, h);
        std::string text = vorlan::UnescapeFromServer(e.text);
        int right = e.rect.right, bottom = e.rect.bottom;
        switch (e.kind) {
        case vorlan::CommentEntry::OpenBox: {
            SIZE size = fw::LineExtentInFont(m_hFont, text.c_str(), static_cast<int>(text.size()));
            right = e.rect.left + size.cx;
            bottom = e.rect.bottom + size.cy;
            RECT r{e.rect.left, e.rect.top, right, bottom};
            slots[static_cast<size_t>(e.slot)] = {InsertButton(kLabelId, r, BS_GROUPBOX, text.c_str()),
                                                  r.left, r.top};
            break;
        }
        case vorlan::CommentEntry::CloseBox: {
            Slot& slot = slots[static_cast<size_t>(e.slot)];
            // A slot that was never opened has no box: the form stays as it is.
            if (!slot.box) continue;
            vorlan::Corner corner = vorlan::ClosingCorner(e);
            ::SetWindowPos(slot.box, nullptr, 0, 0, std::max(corner.x - slot.left, 1),
                           std::max(corner.y - slot.top, 1), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            slot.box = nullptr;
            right = corner.x + 3;
            bottom = corner.y + 10;
            break;
        }
        case vorlan::CommentEntry::Text: {
            SIZE size{};
            if (!InsertFittedStatic(e.rect.left, e.rect.top, kLabelId, text.c_str(), SS_LEFT, m_hFont, &size))
                size = SIZE{0, 0};
            right = e.rect.left + size.cx;
            bottom = e.rect.top + size.cy;
            break;
        }
        case vorlan::CommentEntry::Nothing: continue;
        }
        if (e.raises) RaiseLayout(e.rect.right, e.rect.bottom);
        RaiseLayout(right, bottom);
    }
}

void CChildDialog::CreateModeLabels() {
    const std::string description = m_strDescription.str();
    for (int n = 1; n <= m_nFields; ++n) {
        std::string record = m_session.Execute(vorlan::ModuLine(description, n)).str();
        if (record.empty()) continue;
        vorlan::Position p =
            vorlan::GetPosition(record, 0, vorlan::g_nCharWidthUnit, vorlan::g_nRowHeightUnit);
        p.rect.top += 2;
        HWND label = CreateIndirectionLabel(static_cast<UINT>(0x2000 | n), p, record);
        if (!label) continue;
        if (static_cast<size_t>(n) < m_fieldWindows.size())
            m_fieldWindows[static_cast<size_t>(n)].modeLabel = label;
        RaiseForItem(label, p);
    }
}

void CChildDialog::CreatePictures() {
    const std::string description = m_strDescription.str();
    const int w = vorlan::g_nCharWidthUnit, h = vorlan::g_nRowHeightUnit;
    m_pictureWindows.assign(static_cast<size_t>(m_nPictures) + 1, nullptr);
    for (int n = 1; n <= m_nPictures; ++n) {
        std::string record = m_session.Execute(vorlan::IndiLine(description, n)).str();
        if (record.empty()) continue;
        const UINT id = static_cast<UINT>(0x3000 | n);
        HWND window = nullptr;
        vorlan::Position p;
        if (!vorlan::IsPictureRecord(record)) {
            p = vorlan::GetPosition(record, 0, w, h);
            p.rect.top += 2;
            window = CreateIndirectionLabel(id, p, record);
        } else {
            p = vorlan::PictureRect(record, w, h);
            window = InsertBitmap(id, RECT{p.rect.left, p.rect.top, p.rect.right, p.rect.bottom}, 0, "");
            if (window) SetIndirectionText(window, record);
        }
        if (!window) continue;
        m_pictureWindows[static_cast<size_t>(n)] = window;
        RaiseForItem(window, p);
    }
}

HWND CChildDialog::CreateIndirectionLabel(UINT id, const vorlan::Position& p, const std::string& record) {
    // Made once its text is known: where it stays, at its size and in its font. (Without the
    // form no label could be made, and its line was never run.)
    if (!m_hWnd) return nullptr;
    HFONT font = IndirectionFont(record);
    std::string text = IndirectionText(record);
    HWND label = InsertFittedStatic(p.rect.left, p.rect.top, id, text.c_str(), SS_LEFT, font, nullptr);
    if (label) WidenFor(label);
    return label;
}

void CChildDialog::RaiseForItem(HWND window, const vorlan::Position& p) {
    // Width 0 places the item without widening the form.
    if (!p.raises) return;
    RaiseLayout(p.rect.right, p.rect.bottom);
    RECT r;
    ::GetWindowRect(window, &r);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
    RaiseLayout(r.right, r.bottom);
}

void CChildDialog::RefreshDecor() {
    const std::string description = m_strDescription.str();
    for (int n = 1; n <= m_nFields; ++n) {
        std::string record = m_session.Execute(vorlan::ModuLine(description, n)).str();
        if (!record.empty()) SetIndirectionText(ModeLabel(n), record);
    }
    for (int n = 1; n <= m_nPictures; ++n) {
        std::string record = m_session.Execute(vorlan::IndiLine(description, n)).str();
        if (!record.empty()) SetIndirectionText(PictureWindow(n), record);
    }
}
