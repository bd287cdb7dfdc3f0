#pragma once
// The load of a large grid as the program opens it, beside the same row requests alone.

// Opens GRX against the dbserver at the port in the real main frame; prints "load ratio R"
// and "getrow per row R". Returns 0, or an exit code when the program could not be started.
int RunGridLoadBench(const char* dbserverPort);
