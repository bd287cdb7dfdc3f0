// dbserver's reader of the application protocol: any byte stream is cut into frames, the
// first checked as a log-in and the rest handled over a stand-in M job. No crash, and every
// reply ends as the client's reader expects it to.
#include "dbserver/AppProtocol.h"

#include <cstdlib>
#include <string>

namespace {

using namespace vorlan::dbserver;

// Output and errors made from the line itself, NUL bytes and long output included.
class LineJob : public MEngine {
  public:
    int Put(std::string_view blob) override {
        m_blob = blob;
        return 0;
    }
    int Xecute() override {
        m_output = m_blob;
        if (m_blob.size() % 7 == 1) m_output.append(70000, 'x');
        return m_blob.size() % 3 == 0;
    }
    int Eval(std::string& value) override {
        value = m_blob;
        return 0;
    }
    void Reset() override {}
    std::string ZStatus() override { return "1,X^Y,%GTM-E-" + m_blob.substr(m_blob.size() / 2); }
    std::string TakeOutput() override { return std::move(m_output); }

  private:
    std::string m_blob, m_output;
};

bool EndsInNuls(const std::string& reply, size_t nuls) {
    return reply.size() >= nuls && reply.find_first_not_of('\0', reply.size() - nuls) == std::string::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    static const Database db = Database::Parse("/db", "VOR DBK VOR.gld default\nSYS DBK SYS.gld system\n");
    app::FrameReader reader;
    LineJob job;
    app::Handler handler(db, job);
    bool loggedIn = false;
    for (size_t at = 0, used = 0; at < size; at += used) {
        auto r = reader.Feed(data + at, size - at, &used);
        if (r != app::FrameReader::Result::Complete) break;
        if (!loggedIn) {
            auto login = app::CheckLogin(reader.request(), db);
            if (!login.wellFormed || !login.ns) break;
            loggedIn = true;
            continue;
        }
        auto outcome = handler.Handle(reader.request());
        if (outcome.action == app::Handler::Action::Close) break;
        bool execute = reader.request().command == 'X';
        if (!EndsInNuls(outcome.reply, execute ? 3 : 1)) std::abort();
        // The output holds no NUL, so the client finds the status right after it.
        if (execute && (outcome.reply[0] != '1' || outcome.reply.size() > 1 + app::kMaxOutput + 1 + 1001 + 3))
            std::abort();
    }
    return 0;
}
