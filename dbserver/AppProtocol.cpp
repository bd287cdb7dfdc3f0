#include "dbserver/AppProtocol.h"

#include "dbserver/ErrorText.h"
#include "dbserver/JobInput.h"
#include "dbserver/Requests.h"

#include <algorithm>
#include <cstring>

namespace vorlan::dbserver::app {

namespace {

const std::string kAccepted("1\0", 2);
const std::string kRefused("0\0", 2);
// Reason "1": not reason "3", which the program reads as a refusal of its licence.
const std::string kLoginRefused("0,1\0", 4);

bool IsCommand(char c) {
    return c == '/' || c == 'C' || c == 'L' || c == 'X';
}

// "UCI" or "UCI,VOL".
const Namespace* FindLogin(const Database& db, const std::string& login) {
    size_t comma = login.find(',');
    if (comma == std::string::npos) return db.Find(login, "");
    return db.Find(std::string_view(login).substr(0, comma), std::string_view(login).substr(comma + 1));
}

} // namespace

FrameReader::Result FrameReader::Feed(const void* data, size_t size, size_t* consumed) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    size_t used = 0;
    if (m_complete) {
        m_complete = false;
        m_frame = Frame();
    }
    Result result = Result::NeedMore;
    while (used < size && m_stage != Stage::Failed) {
        if (m_stage == Stage::Length) {
            m_length[m_lengthBytes++] = bytes[used++];
            if (m_lengthBytes < 2) continue;
            m_lengthBytes = 0;
            m_bodyLength = m_length[0] | (static_cast<size_t>(m_length[1]) << 8);
            if (m_bodyLength == 0 || m_bodyLength > m_maxLength) {
                m_error =
                    m_bodyLength == 0 ? "a request without its command" : "a request longer than allowed";
                m_stage = Stage::Failed;
                break;
            }
            m_body.clear();
            m_stage = Stage::Body;
            continue;
        }
        size_t take = std::min(size - used, m_bodyLength - m_body.size());
        m_body.append(reinterpret_cast<const char*>(bytes + used), take);
        used += take;
        if (m_body.size() < m_bodyLength) continue;
        m_stage = Stage::Length;
        if (!IsCommand(m_body[0])) {
            m_error = "an unknown command";
            m_stage = Stage::Failed;
            break;
        }
        m_frame.command = m_body[0];
        m_frame.text = m_body.substr(1);
        m_complete = true;
        result = Result::Complete;
        break;
    }
    if (consumed) *consumed = used;
    return m_stage == Stage::Failed ? Result::Malformed : result;
}

std::string EncodeFrame(char command, const std::string& text) {
    size_t length = text.size() + 1;
    std::string frame;
    frame += static_cast<char>(length & 0xFF);
    frame += static_cast<char>((length >> 8) & 0xFF);
    frame += command;
    return frame + text;
}

LoginOutcome CheckLogin(const Frame& frame, const Database& db) {
    LoginOutcome out;
    if (frame.command != '/') {
        out.wellFormed = false;
        return out;
    }
    out.ns = FindLogin(db, frame.text);
    out.reply = out.ns ? kAccepted : kLoginRefused;
    return out;
}

Handler::Outcome Handler::Handle(const Frame& frame) {
    switch (frame.command) {
    case 'X': return Execute(frame.text);
    case 'C': return Change(frame.text);
    case 'L': return {Action::ReplyAndEnd, kAccepted};
    default: return {Action::Close, std::string("request ") + frame.command + " after the log-in"};
    }
}

Handler::Outcome Handler::Change(const std::string& login) {
    const Namespace* ns = FindLogin(m_db, login);
    if (!ns) return {Action::Reply, kRefused};
    JobInput input;
    std::string line = "S $ZGBLDIR=" + input.Ref(ns->gld);
    if (m_engine.Put(input.Blob(line)) != 0 || m_engine.Xecute() != 0) {
        m_engine.Reset();
        m_engine.TakeOutput();
        return {Action::Reply, kRefused};
    }
    m_engine.TakeOutput();
    return {Action::Reply, kAccepted};
}

Handler::Outcome Handler::Execute(const std::string& code) {
    std::string errorText;
    std::string output = RunLine(m_engine, code, errorText);
    // The client would end the output at the NUL and read the rest as the status.
    if (output.find('\0') != std::string::npos) {
        output.clear();
        errorText = ErrorText("SYSTM", "output contains a NUL byte");
    }
    if (output.size() > kMaxOutput) output.resize(kMaxOutput);
    std::replace(errorText.begin(), errorText.end(), '\0', ' ');
    std::string reply = "1" + output;
    reply += '\0';
    reply += errorText.empty() ? "1" : "0" + errorText;
    reply.append(3, '\0');
    return {Action::Reply, reply};
}

} // namespace vorlan::dbserver::app
