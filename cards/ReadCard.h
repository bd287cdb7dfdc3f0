#pragma once
// The card-reading dialog of reader kinds 0 and 1. Kind 1 reads the memory card through the
// card server library, led by its status numbers; kind 0 takes the fields a keyboard card
// reader types. Either way the dialog ends with 1 once the fields are there, and the form
// hands them to the server.

#include "cards/CardServer.h"
#include "cards/CardServerLogic.h"
#include "framework/IdleDialog.h"

#include <string>
#include <vector>

class CReadCard : public CIdleDialog {
  public:
    static constexpr int kMaxLines = vorlan::kMaxCardFields;
    static constexpr int kLineSize = static_cast<int>(vorlan::kCardFieldSize);

    // lines: how many fields the dialog collects (at most kMaxLines); kind: 0 or 1.
    CReadCard(CWnd* form, int lines, int kind);
    // Line i from 1; empty for lines out of range.
    const char* GetLine(int i) const;

    bool OnInitDialog() override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  protected:
    void OnEnterIdle(int count) override;
    void OnCapturedChar(unsigned char c) override;

  private:
    void OnStatusChanged(int status);
    void SearchTerminal();
    void WaitForCard();
    void ReadCardFields();
    // Field i (1..16) by its name into its buffer; false when the library refuses it.
    bool ReadKVK(int i);
    void ShowText(UINT id, const char* first = nullptr, const char* second = nullptr);
    void EndPause();

    CCardServer m_server;
    int m_nKind;
    bool m_bAnnouncePending;
    char m_fields[kMaxLines][kLineSize] = {};
    vorlan::KeyboardFields m_keys;
    // While the terminal's name shows, the statuses that come in wait their turn.
    bool m_bPausing = false;
    std::vector<int> m_deferred;
};
