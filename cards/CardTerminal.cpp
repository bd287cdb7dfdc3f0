// The reader object and the CARDSTAR family of terminal readers.
#include "cards/CardTerminal.h"

#include "app/ProtocolLog.h"
#include "app/Session.h"
#include "cards/CardResults.h"
#include "cards/TerminalCommands.h"
#include "framework/LoadedLibrary.h"

#include <algorithm>
#include <string>

using vorlan::CardMessage;
using namespace vorlan::ct;

namespace {

// A port the server gives: a plain decimal number that fits the CT-API's 16 bits.
bool ParsePort(const std::string& text, unsigned short& port) {
    if (text.empty() || text.size() > 5 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    unsigned long value = std::stoul(text);
    if (value > 0xFFFF) return false;
    port = static_cast<unsigned short>(value);
    return true;
}

} // namespace

const CardstarFamily CARDSTAR = {"ct_api_usb.dll", 1, false, kRequestDesk, kRequestMobile, kEject};
// Its desk request has the bytes of the others' mobile one.
const CardstarFamily CARDSTARPort = {"CTORG32.dll", 1, true, kRequestMobile, kRequestOrga, kEjectOrga};
const CardstarFamily Cherry = {"ctcym.dll", 137, false, kRequestDesk, {}, kEject};
const CardstarFamily CherryST = {"ctpcsc32kv.dll", 137, false, kRequestDesk, {}, kEject};

CCardTerminal::CCardTerminal(CSession& session) : m_session(session) {}

CCardTerminal::~CCardTerminal() {
    Free();
}

bool CCardTerminal::Load(const char* library) {
    vorlan::TraceFunction("CCardTerminal::Load");
    Free();
    auto loaded = std::make_unique<CLoadedLibrary>(library);
    m_pInit = loaded->Entry<CtInitEntry>("CT_init");
    m_pData = loaded->Entry<CtDataEntry>("CT_data");
    m_pClose = loaded->Entry<CtCloseEntry>("CT_close");
    if (m_pInit && m_pData && m_pClose) {
        m_library = std::move(loaded);
        return true;
    }
    Free();
    return false;
}

void CCardTerminal::Free() {
    if (m_open) Close(m_openCtn);
    m_library.reset();
    m_pInit = nullptr;
    m_pData = nullptr;
    m_pClose = nullptr;
}

bool CCardTerminal::Init(unsigned short ctn, unsigned short port) {
    if (!m_pInit || m_open) return false;
    if (m_pInit(ctn, port) != 0) return false;
    m_open = true;
    m_openCtn = ctn;
    m_port = port;
    return true;
}

void CCardTerminal::Close(unsigned short ctn) {
    if (!m_open || !m_pClose) return;
    m_pClose(ctn);
    m_open = false;
}

bool CCardTerminal::Send(unsigned short ctn, uint8_t dad, const Bytes& command, size_t offered) {
    m_shortAnswer = offered <= sizeof m_shortResponse;
    uint8_t* buffer = m_shortAnswer ? m_shortResponse : m_dataResponse;
    offered = std::min(offered, m_shortAnswer ? sizeof m_shortResponse : sizeof m_dataResponse);
    // The library writes the answering addresses into both: set afresh for every command.
    m_dad = dad;
    m_sad = 2;
    m_lenc = static_cast<unsigned short>(command.size());
    m_lenr = static_cast<unsigned short>(offered);
    Bytes bytes = command;
    m_lastResult = m_pData ? m_pData(ctn, &m_dad, &m_sad, m_lenc, bytes.data(), &m_lenr, buffer) : -1;
    if (m_lastResult != 0) {
        m_lenr = 0;
        return false;
    }
    // A library that claims more than it was given room for is not believed.
    m_lenr = static_cast<unsigned short>(std::min<size_t>(m_lenr, offered));
    return true;
}

const uint8_t* CCardTerminal::Answer() const {
    return m_shortAnswer ? m_shortResponse : m_dataResponse;
}

size_t CCardTerminal::AnswerLength() const {
    return m_lastResult == 0 ? m_lenr : 0;
}

int CCardTerminal::Status() const {
    return vorlan::TrailingStatus(Answer(), AnswerLength());
}

int CCardTerminal::LeadingStatus() const {
    return vorlan::LeadingStatus(Answer(), AnswerLength());
}

void CCardTerminal::ReadCARDSTAR() {
    vorlan::TraceFunction("CCardTerminal::ReadCARDSTAR");
    ReadFamily(CARDSTAR);
}

void CCardTerminal::ReadCARDSTARPort() {
    vorlan::TraceFunction("CCardTerminal::ReadCARDSTARPort");
    ReadFamily(CARDSTARPort);
}

void CCardTerminal::ConnectCherry() {
    vorlan::TraceFunction("CCardTerminal::ConnectCherry");
    ReadFamily(Cherry);
}

void CCardTerminal::ConnectCherryST() {
    vorlan::TraceFunction("CCardTerminal::ConnectCherryST");
    ReadFamily(CherryST);
}

void CCardTerminal::ReadFamily(const CardstarFamily& family) {
    if (!Load(family.library)) {
        vorlan::ShowCardMessage(CardMessage::LibraryMissing);
        return;
    }
    if (!OpenFamily(family)) {
        Free();
        vorlan::ShowCardMessage(CardMessage::NoConnection);
        return;
    }
    if (family.searchesPort) vorlan::SendCardPort(m_session, m_port);
    switch (ResetTerminal(family.ctn, kResetCt)) {
    case Terminal::Desk: ReadStation(family); break;
    case Terminal::Mobile:
        if (!family.requestMobile.empty()) {
            ReadMobil(family);
            break;
        }
        [[fallthrough]];
    case Terminal::Failed: vorlan::ShowCardMessage(CardMessage::TerminalNoAnswer); break;
    }
    Close(family.ctn);
    Free();
}

bool CCardTerminal::OpenFamily(const CardstarFamily& family) {
    if (!family.searchesPort) return Init(family.ctn, 1);
    std::string given = m_session.Execute(vorlan::kCardPortQuestion).str();
    if (!given.empty()) {
        unsigned short port = 0;
        return ParsePort(given, port) && Init(family.ctn, port);
    }
    for (unsigned short port = 1; port <= 9; ++port)
        if (Init(family.ctn, port)) return true;
    return false;
}

CCardTerminal::Terminal CCardTerminal::ResetTerminal(unsigned short ctn, const Bytes& reset) {
    if (!Send(ctn, kToTerminal, reset, vorlan::kShortAnswerSize)) return Terminal::Failed;
    int status = Status();
    return status == kOk ? Terminal::Desk : status == kMobileTerminal ? Terminal::Mobile : Terminal::Failed;
}

void CCardTerminal::ReadStation(const CardstarFamily& family) {
    vorlan::TraceFunction("CCardTerminal::ReadStation");
    int status = Send(family.ctn, kToTerminal, family.requestDesk, vorlan::kShortAnswerSize) ? Status() : -1;
    if (status == kOk)
        ReadKVK(family.ctn);
    else if (status == kProcessorCard)
        ReadEGK(family.ctn, false);
    else {
        vorlan::ShowCardMessage(CardMessage::CardUnreadable);
        return;
    }
    EjectCard(family);
}

void CCardTerminal::ReadMobil(const CardstarFamily& family) {
    vorlan::TraceFunction("CCardTerminal::ReadMobil");
    int status =
        Send(family.ctn, kToTerminal, family.requestMobile, vorlan::kShortAnswerSize) ? Status() : -1;
    bool read;
    if (status == kOk)
        read = ReadKVK(family.ctn);
    else if (status == kProcessorCard)
        read = ReadEGK(family.ctn, true);
    else {
        vorlan::ShowCardMessage(CardMessage::CardUnreadable);
        return;
    }
    // The terminal's record is its only copy until the server has it: kept when the read
    // failed.
    if (read) EraseData(family.ctn);
    EjectCard(family);
}

bool CCardTerminal::ReadKVK(unsigned short ctn) {
    vorlan::TraceFunction("CCardTerminal::ReadKVK");
    vorlan::SendCardKind(m_session, vorlan::kCardKindKvk);
    Send(ctn, kToCard, kSelectKvk, kSelectKvkSize);
    if (!Send(ctn, kToCard, kReadKvk, vorlan::kDataAnswerSize)) return false;
    vorlan::SendKvkFields(m_session, Answer(), AnswerLength());
    int status = Status();
    return status == kOk || status == kCardMemoryEnd;
}

bool CCardTerminal::ReadEGK(unsigned short ctn, bool extendedLe) {
    vorlan::TraceFunction("CCardTerminal::ReadEGK");
    vorlan::SendCardKind(m_session, vorlan::kCardKindEgk);
    if (!Send(ctn, kToCard, kSelectEgk, vorlan::kShortAnswerSize) || Status() != kOk) {
        vorlan::ShowCardMessage(CardMessage::EgkSelectFailed);
        return false;
    }
    bool read = true;
    vorlan::EgkDocuments documents = vorlan::ReadEgkFiles(extendedLe, [&](const Bytes& command, size_t size) {
        if (!Send(ctn, kToCard, command, size)) {
            read = false;
            return Bytes();
        }
        int status = Status();
        if (status != kOk && status != kCardMemoryEnd) read = false;
        return Bytes(Answer(), Answer() + AnswerLength());
    });
    vorlan::DeliverEgkDocuments(m_session, documents);
    return read;
}

void CCardTerminal::EraseData(unsigned short ctn) {
    vorlan::TraceFunction("CCardTerminal::EraseData");
    if (!Send(ctn, kToCard, kEraseBinary, vorlan::kShortAnswerSize) || LeadingStatus() != kOk)
        vorlan::ShowCardMessage(CardMessage::EraseFailed);
}

void CCardTerminal::EjectCard(const CardstarFamily& family) {
    vorlan::TraceFunction("CCardTerminal::EjectCard");
    int status = Send(family.ctn, kToTerminal, family.eject, vorlan::kShortAnswerSize) ? LeadingStatus() : -1;
    if (status != kOk && status != kNoCardEjected) vorlan::ShowCardMessage(CardMessage::EjectFailed);
}
