#pragma once
// What the card readers send to the server and say to the user, apart from any window. Every
// value goes into a line through MQuote.

#include <string>
#include <string_view>

namespace vorlan {

// The two kinds of card a terminal path reports before the card's data.
constexpr const char* kCardKindKvk = "KVK";
constexpr const char* kCardKindEgk = "EGK";

// S %WIN("READCARD","CARD")="KVK"
std::string CardKindLine(std::string_view kind);
// One field of the memory card, n = 1..18.
std::string KvkFieldLine(int n, std::string_view text);
// The port a searching terminal path opened, as a number.
std::string CardPortLine(int port);
// Writes the port the server asks a searching terminal path to use; empty means search.
constexpr const char* kCardPortQuestion = "W $G(%WIN(\"READCARD\",\"PORT\"))";

// The three documents of the processor card, in the order they are sent.
enum class EgkDocument { PD, VD, GVD };
constexpr EgkDocument kEgkDocuments[] = {EgkDocument::PD, EgkDocument::VD, EgkDocument::GVD};
// "EGK-EF-PD", "EGK-EF-VD", "EGK-EF-GVD"
const char* EgkNodeName(EgkDocument document);
// "C:\TEMP\EF.PD.xml.gz" and its unpacked twin "C:\TEMP\EF.PD.xml" (VD, GVD alike).
constexpr const char* kEgkFolder = "C:\\TEMP";
std::string EgkPackedPath(EgkDocument document);
std::string EgkPlainPath(EgkDocument document);
constexpr const char* kEgkKillLine = "K ^TEMPEGK(%JOB)";
// Piece n (from 1) of an unpacked document: line breaks dropped, a piece of nothing else
// sends an empty value.
std::string EgkPieceLine(EgkDocument document, int n, std::string_view piece);
// The unpacked documents travel in pieces of at most this many bytes.
constexpr int kEgkPieceSize = 256;

// The messages of the terminal paths.
enum class CardMessage {
    LibraryMissing,   // a terminal library does not load or lacks an entry
    NoConnection,     // the terminal does not open
    TerminalNoAnswer, // the reset is not answered as expected
    CardUnreadable,   // no card, or an unknown card answer
    EgkSelectFailed,  // the health application cannot be selected
    EraseFailed,      // the mobile terminal's record is not erased
    EjectFailed,      // the card is not ejected
    ZlibMissing,      // the unpacking library does not load
    // The organiser terminal's own texts (kind 2) and the test terminal's (kind 6).
    OrgaLibraryMissing,
    OrgaConnect,    // asked with OK and Cancel
    OrgaInsertCard, // asked with OK and Cancel
    OrgaReadFailed,
    OrgaEraseFailed,
    TestLibraryMissing,
};
// The text, in code page 1252.
const char* CardMessageText(CardMessage message);

} // namespace vorlan
