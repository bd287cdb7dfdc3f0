// The help window's text on arbitrary server answers: the nodes joined and streamed in pieces
// of any size come out whole; and the support dump pastes back only nodes of their name.
#include "frame/FrameDialogsLogic.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    std::string input(reinterpret_cast<const char*>(data), size);
    // The first byte sets the piece size; the rest is split at NUL into the server's nodes.
    size_t piece = size ? data[0] % 97 + 1 : 1;
    std::string joined;
    for (size_t at = size ? 1 : 0, nul; at <= input.size(); at = nul + 1) {
        nul = input.find('\0', at);
        if (nul == std::string::npos) nul = input.size();
        joined += input.substr(at, nul - at);
    }
    vorlan::HelpText help = vorlan::MakeHelpText(joined);
    if (help.rich != !joined.empty()) std::abort();
    vorlan::HelpStream stream(help.text);
    std::string read;
    char buffer[128];
    for (size_t n; (n = stream.Read(buffer, piece)) > 0;) {
        if (n > piece) std::abort();
        read.append(buffer, n);
    }
    if (read != help.text) std::abort();

    size_t open = input.find('(');
    std::string name = input.substr(0, open);
    if (vorlan::IsNodeOf(input, name)) {
        if (!vorlan::IsLocalName(name)) std::abort();
        // A node ends with its name or its closing parenthesis: nothing follows it.
        if (open != std::string::npos && input.back() != ')') std::abort();
        if (input.find('\n') != std::string::npos && input.find('"') == std::string::npos) std::abort();
    }
    return 0;
}
