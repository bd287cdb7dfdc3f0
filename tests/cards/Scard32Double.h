#pragma once
// What the card server double SCARD32.DLL holds unless its scenario says otherwise: an
// invented insured person, field by field in the card server's reading order.

#include <string>
#include <vector>

namespace scard32double {

struct Field {
    const char* name; // as the field-reading command names it
    std::string text;
};

inline const std::vector<Field>& Person() {
    static const std::vector<Field> person = {
        {"Krankenkasse", "AOK Musterland"},
        {"KNummer", "1234567"},
        {"VkNr", "98765"},
        {"VNummer", "A123456789"},
        {"Status", "1000"},
        {"StatusExt", "1"},
        {"Titel", "Dr."},
        {"Vorname", "Erika"},
        {"Zusatz", "von"},
        {"Name", "M\xFCller-\"Testfall\""},
        {"GebDatum", "12081964"},
        {"Strasse", "Hauptstra\xDF"
                    "e 1"},
        {"Land", "D"},
        {"PLZ", "12345"},
        {"Ort", "Musterstadt"},
        {"Gultigkeit", "1230"},
    };
    return person;
}

// Field n (1..16) as text.
inline const std::string& Text(int n) {
    return Person()[static_cast<size_t>(n) - 1].text;
}

} // namespace scard32double
