#include "cards/CardLines.h"

#include "common/MQuote.h"

namespace vorlan {

std::string CardKindLine(std::string_view kind) {
    return "S %WIN(\"READCARD\",\"CARD\")=" + MQuote(kind);
}

std::string KvkFieldLine(int n, std::string_view text) {
    return "S %WIN(\"READCARD\"," + std::to_string(n) + ")=" + MQuote(text);
}

std::string CardPortLine(int port) {
    return "S %WIN(\"READCARD\",\"PORT\")=" + std::to_string(port);
}

namespace {

struct DocumentNames {
    const char* node;
    const char* stem; // of the files under C:\TEMP
};

const DocumentNames& NamesOf(EgkDocument document) {
    static const DocumentNames kNames[] = {
        {"EGK-EF-PD", "EF.PD"}, {"EGK-EF-VD", "EF.VD"}, {"EGK-EF-GVD", "EF.GVD"}};
    return kNames[static_cast<int>(document)];
}

} // namespace

const char* EgkNodeName(EgkDocument document) {
    return NamesOf(document).node;
}

std::string EgkPlainPath(EgkDocument document) {
    return std::string(kEgkFolder) + "\\" + NamesOf(document).stem + ".xml";
}

std::string EgkPackedPath(EgkDocument document) {
    return EgkPlainPath(document) + ".gz";
}

std::string EgkPieceLine(EgkDocument document, int n, std::string_view piece) {
    std::string text;
    text.reserve(piece.size());
    for (char c : piece)
        if (c != '\r' && c != '\n') text += c;
    return std::string("S ^TEMPEGK(%JOB,\"") + EgkNodeName(document) + "\"," + std::to_string(n) +
           ")=" + MQuote(text);
}

const char* CardMessageText(CardMessage message) {
    switch (message) {
    case CardMessage::LibraryMissing:
        return "Die Datei ct_api_usb.dll konnte nicht geladen werden.\nStellen Sie sicher das sich diese "
               "Datei im Verzeichnis der VORLAN.exe befindet!";
    case CardMessage::NoConnection:
        return "Es konnte keine Verbindung zum Kartenlesegerät aufgebaut werden.\nBitte überprüfen Sie, "
               "ob das Gerät korrekt angeschlossen ist.";
    case CardMessage::TerminalNoAnswer: return "Keine Verbindung zum Kartenlesegerät!";
    case CardMessage::CardUnreadable: return "Die Karte konnte nicht gelesen werden.";
    case CardMessage::EgkSelectFailed: return "Probleme beim Einlesen der Daten!";
    case CardMessage::EraseFailed: return "Datensatz konnte nicht gelöscht werden!";
    case CardMessage::EjectFailed: return "Fehler beim Lesen der Karte!";
    case CardMessage::ZlibMissing:
        return "Die Datei zlibwapi.dll konnte nicht geladen werden.\nStellen Sie sicher das sich diese "
               "Datei im Verzeichnis der VORLAN.exe befindet!";
    case CardMessage::OrgaLibraryMissing: return "DLL kann nicht eingebunden werden";
    case CardMessage::OrgaConnect:
        return "Verbindungsaufbau zum CT nicht möglich. Bitte das CT anschliessen und einschalten!";
    case CardMessage::OrgaInsertCard: return "Karte konnte nicht gelesen werden. Bitte Karte einführen!";
    case CardMessage::OrgaReadFailed: return "Daten konnten nicht gelesen werden!";
    case CardMessage::OrgaEraseFailed: return "Daten konnten nicht gelöscht werden!";
    case CardMessage::TestLibraryMissing: return "Fehler - keine CTCPSC31.dll";
    }
    return "";
}

} // namespace vorlan
