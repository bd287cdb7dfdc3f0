#pragma once
// The support mail link of the error dialog.

#include <string>
#include <utility>
#include <vector>

namespace vorlan {

// The maker's support mailbox.
inline constexpr char kSupportAddress[] = "support@vorlan.example";

// Every byte outside the unreserved set (letters, digits, "-", ".", "_", "~") as %XX.
std::string PercentEncode(const std::string& text);
// A text for a mail body: CR dropped, then percent-encoded (a line feed becomes "%0A").
std::string MailBodyEncode(const std::string& text);

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

// "mailto:" link of a support request: the user's description, a blank line and the report,
// both already in mail-body encoding.
std::string BuildSupportRequestLink(const std::string& recipient, const std::string& subject,
                                    const std::string& encodedDescription, const std::string& encodedReport);

} // namespace vorlan
