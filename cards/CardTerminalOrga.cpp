// The organiser terminal (reader kind 2), which asks the user to connect the terminal and to
// insert the card, and the test terminal (reader kind 6): flows of their own over the same
// reader object.
#include "cards/CardTerminal.h"

#include "app/ProtocolLog.h"
#include "cards/CardResults.h"
#include "cards/TerminalCommands.h"
#include "framework/LoadedLibrary.h"

using vorlan::CardMessage;
using namespace vorlan::ct;

namespace {

constexpr unsigned short kCtn = 1;

} // namespace

void CCardTerminal::OrgaRead() {
    vorlan::TraceFunction("CCardTerminal::OrgaRead");
    if (!Load("ctorg32.dll")) {
        vorlan::ShowCardMessage(CardMessage::OrgaLibraryMissing);
        return;
    }
    // Loaded as the organiser's installation expects, though this path unpacks nothing.
    CLoadedLibrary zlib("zlibwapi.dll");
    if (!zlib) vorlan::ShowCardMessage(CardMessage::OrgaLibraryMissing);

    Terminal terminal;
    while ((terminal = OrgaReset()) == Terminal::Failed) {
        if (vorlan::AskCardQuestion(CardMessage::OrgaConnect) != IDOK) {
            Free();
            return;
        }
    }
    bool haveCard;
    while (!(haveCard = OrgaGetCard()))
        if (vorlan::AskCardQuestion(CardMessage::OrgaInsertCard) != IDOK) break;
    if (haveCard) {
        bool read = OrgaReadCard();
        if (!read) vorlan::ShowCardMessage(CardMessage::OrgaReadFailed);
        if (read && terminal == Terminal::Mobile) OrgaEraseData();
        Send(kCtn, kToTerminal, kEjectOrga, vorlan::kShortAnswerSize);
    }
    Close(kCtn);
    Free();
}

CCardTerminal::Terminal CCardTerminal::OrgaReset() {
    vorlan::TraceFunction("CCardTerminal::OrgaReset");
    // A terminal left open by the last try refuses a second CT_init.
    Close(kCtn);
    bool opened = false;
    for (unsigned short port = 1; port <= 8 && !opened; ++port)
        opened = Init(kCtn, port);
    return opened ? ResetTerminal(kCtn, kResetCt) : Terminal::Failed;
}

bool CCardTerminal::OrgaGetCard() {
    vorlan::TraceFunction("CCardTerminal::OrgaGetCard");
    if (!Send(kCtn, kToTerminal, kRequestOrga, vorlan::kShortAnswerSize)) return false;
    int status = Status();
    return status == kOk || status == kProcessorCard;
}

bool CCardTerminal::OrgaReadCard() {
    vorlan::TraceFunction("CCardTerminal::OrgaReadCard");
    if (!Send(kCtn, kToCard, kSelectKvk, kSelectKvkSize) || Status() != kOk) return false;
    if (!Send(kCtn, kToCard, kReadKvk, vorlan::kDataAnswerSize)) return false;
    vorlan::SendKvkFields(m_session, Answer(), AnswerLength());
    return Status() == kCardMemoryEnd;
}

void CCardTerminal::OrgaEraseData() {
    vorlan::TraceFunction("CCardTerminal::OrgaEraseData");
    if (!Send(kCtn, kToCard, kEraseBinary, vorlan::kShortAnswerSize) || LeadingStatus() != kOk)
        vorlan::ShowCardMessage(CardMessage::OrgaEraseFailed);
}

void CCardTerminal::TestSCR335() {
    vorlan::TraceFunction("CCardTerminal::TestSCR335");
    if (!Load("CTPCSC31.dll")) {
        vorlan::ShowCardMessage(CardMessage::TestLibraryMissing);
        return;
    }
    // One terminal number for every call of this library.
    if (!Init(kCtn, 0)) {
        Free();
        return;
    }
    vorlan::WriteProtocol("->succeeded", vorlan::kLogTiming);
    vorlan::WriteProtocol("call CT_data with command RESET", vorlan::kLogTiming);
    Send(kCtn, kToTerminal, kResetCtShort, vorlan::kShortAnswerSize);
    int status = Status();
    unsigned sw1 = status < 0 ? 0 : static_cast<unsigned>(status) >> 8;
    unsigned sw2 = status < 0 ? 0 : static_cast<unsigned>(status) & 0xFF;
    vorlan::WriteProtocol("->Command response SW1 = 0x%x SW2 = 0x%x", vorlan::kLogTiming, sw1, sw2);
    vorlan::WriteProtocol("TEST", vorlan::kLogTiming);
    if (Send(kCtn, kToTerminal, kRequestDesk, vorlan::kShortAnswerSize) && Status() == kOk) {
        Send(kCtn, kToCard, kSelectKvk, kSelectKvkSize);
        if (Send(kCtn, kToCard, kReadKvk, vorlan::kDataAnswerSize))
            vorlan::SendKvkFields(m_session, Answer(), AnswerLength());
    }
    Close(kCtn);
    Free();
}
