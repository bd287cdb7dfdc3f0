// The health card's file assembly fed arbitrary answers: the fuzzer's bytes are the card's
// answers one after another, each led by two length bytes. Whatever the card says, the reads
// stay within the health application's files, no block number names a file, and each document
// fits its 64 KiB image; every piece of it goes out as one whole line.
#include "cards/CardLines.h"
#include "cards/EgkFiles.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    size_t at = 0;
    int commands = 0;
    auto exchange = [&](const std::vector<uint8_t>& command, size_t bufferSize) {
        ++commands;
        if (command.size() < 5 || command[0] != 0x00 || command[1] != 0xB0) std::abort();
        if (command[2] >= 0x80 && command[2] != 0x8C && command[2] != 0x81 && command[2] != 0x82)
            std::abort();
        std::vector<uint8_t> answer;
        if (at + 2 > size) return answer;
        size_t n = static_cast<size_t>(data[at]) << 8 | data[at + 1];
        at += 2;
        n = std::min({n, size - at, bufferSize});
        answer.assign(data + at, data + at + n);
        at += n;
        return answer;
    };
    for (bool extendedLe : {false, true}) {
        at = 0;
        commands = 0;
        vorlan::EgkDocuments documents = vorlan::ReadEgkFiles(extendedLe, exchange);
        if (commands > 3 + 2 * 127) std::abort();
        for (const std::string* d : {&documents.pd, &documents.vd, &documents.gvd}) {
            if (d->size() > vorlan::EgkFileImage::kMaxSize) std::abort();
            std::string piece = d->substr(0, vorlan::kEgkPieceSize);
            std::string line = vorlan::EgkPieceLine(vorlan::EgkDocument::GVD, 1, piece);
            if (line.find_first_of(std::string("\r\n\0", 3)) != std::string::npos) std::abort();
        }
    }
    return 0;
}
