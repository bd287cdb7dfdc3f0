#pragma once
// The support mail link of the error dialog.

#include <string>
#include <utility>
#include <vector>

namespace vorlan {

// Every byte outside the unreserved set (letters, digits, "-", ".", "_", "~") as %XX.
std::string PercentEncode(const std::string& text);

struct SupportMail {
    std::string recipient;
    std::string copyTo;                                            // empty: no copy
    std::string message;                                           // the error text
    std::string line;                                              // the M line
    std::vector<std::pair<std::string, std::string>> serverValues; // {"HOME", value}, ...
    std::string horolog;                                           // $H
};

// "mailto:" link with subject and a body for the user to fill in.
std::string BuildSupportMailLink(const SupportMail& mail);

} // namespace vorlan
