// dbserver's request reader: any byte stream is decoded under the server's caps, and every
// request it yields is handled by the same code as in a real job (log-ins by the log-in
// check), over a stand-in M job. No crash, no runaway allocation, every reply whole.
#include "common/RequestDecoder.h"
#include "dbserver/Database.h"
#include "dbserver/JobInput.h"
#include "dbserver/Requests.h"

#include <cstdlib>
#include <string>

namespace {

using namespace vorlan::dbserver;

// Answers every step from the request itself: a value, an error, or output.
class EchoJob : public MEngine {
  public:
    int Put(std::string_view blob) override {
        m_blob = blob;
        return 0;
    }
    int Xecute() override {
        m_output = m_blob.substr(m_blob.size() / 2);
        return m_blob.size() % 3 == 0;
    }
    int Eval(std::string& value) override {
        value = m_blob.substr(m_blob.size() / 3);
        return m_blob.size() % 5 == 0;
    }
    void Reset() override {}
    std::string ZStatus() override { return "1,X^Y,%GTM-E-" + m_blob.substr(m_blob.size() / 4); }
    std::string TakeOutput() override { return std::move(m_output); }

  private:
    std::string m_blob, m_output;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    static const Database db = Database::Parse("/db", "VOR DBK VOR.gld default\nSYS DBK SYS.gld system\n");
    auto limits = ServerLimits();
    limits.maxFieldLength = 1 << 16; // lines still longer than GT.M takes, so literals get lifted
    limits.maxRequestBytes = 1 << 20;
    vorlan::wire::RequestDecoder decoder(limits);
    EchoJob job;
    RequestHandler handler(db, job);
    std::string password = "pw";
    for (size_t at = 0, used = 0; at < size; at += used) {
        auto r = decoder.Feed(data + at, size - at, &used);
        if (r != vorlan::wire::RequestDecoder::Result::Complete) break;
        const auto& request = decoder.request();
        if (request.code == "L") {
            auto login = CheckLogin(request, db, &password);
            if (login.wellFormed && login.reply.size() < 30) std::abort();
            continue;
        }
        auto outcome = handler.Handle(request);
        if (outcome.action == RequestHandler::Action::Reply && outcome.reply.size() < 10) std::abort();
        if (outcome.action != RequestHandler::Action::Reply &&
            outcome.action != RequestHandler::Action::Silent)
            break;
    }
    return 0;
}
