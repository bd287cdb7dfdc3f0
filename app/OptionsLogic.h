#pragma once
// What the options sheet's pages decide without a window, and the M lines of the Word forms
// folder kept on the server per user (every value pasted through MQuote).

#include <string>
#include <string_view>

namespace vorlan {

inline constexpr char kCurrentUserLine[] = "W $G(%USER)";
std::string WordPathLine(std::string_view user);
std::string SetWordPathLine(std::string_view user, std::string_view folder);

// The font page's size box: what was typed, what it reads as, and the text it is corrected
// to (the same text when it stands): above 64 reads 64, a text that reads 0 without being
// empty reads 8, an empty text reads 0.
struct FontSizeInput {
    int size = 0;
    std::string text;
    bool corrected = false;
};
FontSizeInput ReadFontSize(std::string_view text);
inline constexpr int kFontSlots = 11;
// The string resource naming font slot n (0-10).
unsigned FontSlotTextId(int slot);
inline constexpr int kFontSizes[] = {5, 6, 7, 8, 9, 10, 11, 12, 14, 16, 18, 20, 24};
inline constexpr char kStandardFont[] = "<Standard>";

// The connection page's kind of connection, as the start-up reads it: "1" is the server,
// anything else the local database, and an absent value the server. The page writes a stored
// value back as it stands while the choice is the one it means.
inline constexpr char kRemoteConnectionDefault[] = "1";
bool IsRemoteConnection(std::string_view stored);
std::string RemoteConnectionValue(std::string_view stored, bool remote);

// The connection page's transport box: "KVX API" 0, "VORLAN API" 1; anything else selects 0.
int TransportIndex(std::string_view stored);

} // namespace vorlan
