// Stands in for the program a collecting job runs for each file: appends its arguments, one
// a line, to the file named by VORLAN_ARGLOG.
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    const char* log = std::getenv("VORLAN_ARGLOG");
    if (!log) return 2;
    FILE* f = std::fopen(log, "ab");
    if (!f) return 3;
    for (int i = 1; i < argc; ++i)
        std::fprintf(f, "%s\n", argv[i]);
    std::fclose(f);
    return 0;
}
