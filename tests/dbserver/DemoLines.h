#pragma once
// What the demo application's tests share: the client's list loops and the demo's trace of
// one job. The lines themselves come from the client's own builders.

#include "app/AppLogic.h"
#include "app/ReplyFields.h"
#include "common/MQuote.h"
#include "forms/FormLogic.h"
#include "frame/FormFrameLogic.h"
#include "frame/FrameLogic.h"
#include "frame/MenuTreeLogic.h"
#include "services/HubLines.h"
#include "tests/dbserver/TestClient.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vorlan::dbserver::test {

inline const std::string S = "\xa7";

// The client's loops over a list: "S X=\"\"" then the step line until it writes nothing.
inline std::vector<std::string> Loop(TestClient& c, const std::string& start, const std::string& step) {
    std::vector<std::string> items;
    c.Exec(start);
    for (std::string item; !(item = c.Exec(step)).empty() && items.size() < 100;)
        items.push_back(item);
    return items;
}

// The trace lines of one job, in order.
inline std::vector<std::string> TraceOf(TestClient& reader, const std::string& job) {
    std::vector<std::string> lines;
    std::string all = reader.Exec("S n=\"\" F  S n=$O(^ZTRACE(n)) Q:n=\"\"  W ^ZTRACE(n),$C(10)");
    for (size_t at = 0, nl; (nl = all.find('\n', at)) != std::string::npos; at = nl + 1) {
        std::string line = all.substr(at, nl - at);
        if (line.compare(0, job.size() + 1, job + " ") == 0) lines.push_back(line.substr(job.size() + 1));
    }
    return lines;
}

} // namespace vorlan::dbserver::test
