#include "cards/CardServer.h"

#include "app/ProtocolLog.h"
#include "cards/CardServerLogic.h"
#include "framework/MessageWnd.h"

#include <algorithm>
#include <vector>

namespace {
constexpr size_t kStatusReplySize = 256;
}

CCardServer::CCardServer() : m_library("SCARD32.DLL"), m_nStatus(vorlan::kCardStatusSearching) {
    vorlan::TraceFunction("CCardServer::CCardServer");
    m_command = m_library.Entry<SCardComandEntry>("SCardComand");
    if (!m_command) return;
    bool answered = false;
    std::string reply = Ask(vorlan::kCardStatusQuestion, kStatusReplySize, &answered);
    // A library that never stops answering "init" must not hold the program here: after the
    // last round the start goes on as if the terminal were still being looked for.
    for (int round = 0; answered && vorlan::IsInitReply(reply); ++round) {
        if (round == vorlan::kMaxInitRounds) {
            reply.clear();
            break;
        }
        Command("Device,Select,-1");
        reply = Ask(vorlan::kCardStatusQuestion, kStatusReplySize, &answered);
    }
    Command("Device,SetLed,1");
    Command("Device,SetLed,0");
    SetStatus(reply);
}

CCardServer::~CCardServer() {
    vorlan::TraceFunction("CCardServer::~CCardServer");
    if (m_bRegistered && m_hWnd) Command(vorlan::RemoveWindowCommand(HandleToLong(m_hWnd)).c_str());
    if (m_hWnd) DestroyWindow();
}

int CCardServer::RegisterWindow(HWND owner) {
    vorlan::TraceFunction("CCardServer::RegisterWindow");
    if (m_bRegistered) return 1;
    if (!m_command) return 0;
    if (!m_hWnd && !fw::CreateMessageOnly(*this)) return 0;
    m_hOwner = owner;
    std::string announce =
        vorlan::AnnounceWindowCommand(HandleToLong(m_hWnd), static_cast<long>(kCardMessage));
    if (Command(announce.c_str()) != 0) return 0;
    m_bRegistered = true;
    ForwardStatus();
    return 1;
}

int CCardServer::Command(const char* text, const char* input, long inputLength, char* reply,
                         long replyLength) {
    vorlan::TraceFunction("CCardServer::Command");
    if (reply && replyLength > 0) std::fill(reply, reply + replyLength, '\0');
    if (!m_command) return -1;
    long handle = 0;
    long length = reply ? replyLength : 0;
    int result = m_command(&handle, text, 0, input, &inputLength, reply, &length);
    if (reply && replyLength > 0) {
        std::string kept = vorlan::CardServerReply(reply, static_cast<size_t>(replyLength),
                                                   length < 0 ? 0 : static_cast<size_t>(length));
        std::fill(reply + kept.size(), reply + replyLength, '\0');
    }
    return result;
}

std::string CCardServer::Ask(const char* text, size_t size, bool* succeeded) {
    std::vector<char> reply(size);
    int result = Command(text, nullptr, 0, reply.data(), static_cast<long>(size));
    if (succeeded) *succeeded = result == 0;
    if (result != 0) return std::string();
    return reply.data();
}

void CCardServer::SetStatus(const std::string& word) {
    vorlan::TraceFunction("CCardServer::SetStatus");
    m_nStatus = vorlan::CardStatusNumber(word);
}

LRESULT CCardServer::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == kCardMessage) {
        OnCardEvent(wParam);
        return 0;
    }
    return CWnd::WindowProc(msg, wParam, lParam);
}

void CCardServer::OnCardEvent(WPARAM status) {
    vorlan::TraceFunction("CCardServer::OnCardEvent");
    m_nStatus = static_cast<int>(status);
    ForwardStatus();
}

void CCardServer::ForwardStatus() {
    if (m_hOwner && ::IsWindow(m_hOwner))
        ::SendMessageA(m_hOwner, kCardMessage, static_cast<WPARAM>(m_nStatus), 0);
}
