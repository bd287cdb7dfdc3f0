// grid_load DBSERVER_PORT: the grid load benchmark on its own.
#include "bench/GridLoadBench.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: grid_load DBSERVER_PORT\n");
        return 2;
    }
    return RunGridLoadBench(argv[1]);
}
