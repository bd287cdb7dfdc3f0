#pragma once
// The two invented health cards of the card tests and the demo's terminal: a memory card
// (KVK) and a processor card (eGK) of people who do not exist, laid out as the terminals
// hand them over, and what the server should receive of them.

#include <map>
#include <string>

namespace testcards {

struct KvkOptions {
    bool further = false; // records 91 and 92 after the checksum
    bool overrun = false; // a last record whose length runs past the memory
};

// The card's memory: header bytes, then the tag-length-value records.
std::string KvkMemory(const KvkOptions& options = {});
// Field number -> text as the server holds it (code page 1252); fields not sent are absent.
std::map<int, std::string> KvkFields(const KvkOptions& options = {});

struct EgkOptions {
    bool gvd = true;         // the protected insurance data is there
    bool gvdOnBlock = false; // and starts on a 256-byte block boundary
};

// The card's three files as the health application holds them.
struct EgkFiles {
    std::string pd;       // EF.PD: count bytes, the compressed personal data, padding
    std::string vd;       // EF.VD: four offsets, the compressed VD and GVD, padding
    std::string statusVd; // EF.StatusVD
};
EgkFiles EgkCard(const EgkOptions& options = {});

// The documents as the server should receive them: the plain XML.
std::string PdDocument();
std::string VdDocument();
std::string GvdDocument();
// A document as it should arrive: quotes kept single, carriage returns and line feeds gone.
std::string WithoutLineBreaks(const std::string& document);

// gzip stream of the text; level 0 stores it, which makes its size exact.
std::string Gzip(const std::string& text, int level);

} // namespace testcards
