// The double as a program that COM starts with -Embedding for the classes it serves out of
// process; /RegServer and /UnregServer also register the DLL beside it for the others.
#include "tests/com/AutomationDouble.h"

#include <cstring>

int main(int argc, char** argv) {
    using namespace automationdouble;
    bool reg = argc >= 2 && (!::lstrcmpiA(argv[1], "/RegServer") || !::lstrcmpiA(argv[1], "-RegServer"));
    bool unreg =
        argc >= 2 && (!::lstrcmpiA(argv[1], "/UnregServer") || !::lstrcmpiA(argv[1], "-UnregServer"));
    if (reg || unreg) {
        std::vector<std::string> names(argv + 2, argv + argc);
        if (!RegisterInProcess(names, reg)) return 1;
    }
    std::vector<comdouble::ServerClass> local;
    for (size_t i = 0; i < kClassCount; ++i)
        if (!kClasses[i].inProcess) local.push_back({kClasses[i].progId, ClassId(i)});
    // Named in-process classes only: nothing of the program's to register.
    if ((reg || unreg) && argc > 2) {
        bool any = false;
        for (int a = 2; a < argc; ++a)
            for (const auto& c : local)
                any = any || c.progId == argv[a];
        if (!any) return 0;
    }
    return comdouble::RunServer(local, [](const std::string& progId) { return Create(progId); });
}
