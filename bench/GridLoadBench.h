#pragma once
// The form's loading of GRX against a fresh dbserver at that port, beside the bare
// $$GETROW^QCC round trips of the same rows; prints "load ratio R" and "getrow per row R"
// and returns the program's exit code. grid_bench calls it after its own figures when a
// port is given and bench/GridLoadBench.cpp is part of the tree.
int RunGridLoadBench(const char* dbserverPort);
