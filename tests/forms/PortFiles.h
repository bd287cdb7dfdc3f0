#pragma once
// The files that the ports COM2 to COM6 and LPT1 of the test's Wine prefix lead to (the
// fixture forms.keys.ports names their folder in VORLAN_PORT_FILES).

#include "tests/harness/Harness.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>

namespace portfiles {

inline std::string PortFile(const char* name) {
    char ports[MAX_PATH] = {};
    EXPECT_TRUE(GetEnvironmentVariableA("VORLAN_PORT_FILES", ports, sizeof ports)) << "the ports fixture";
    return std::string(ports) + name + "-port.bin";
}

inline std::string ReadPort(const char* name) {
    std::string bytes;
    if (FILE* f = std::fopen(PortFile(name).c_str(), "rb")) {
        char buffer[256];
        bytes.assign(buffer, std::fread(buffer, 1, sizeof buffer, f));
        std::fclose(f);
    }
    return bytes;
}

inline void ClearPorts() {
    for (const char* name : {"com2", "com3", "com4", "com5", "com6", "lpt1"})
        harness::WriteTextFile(PortFile(name), "");
}

} // namespace portfiles
