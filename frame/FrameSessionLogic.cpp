#include "frame/FrameSessionLogic.h"
#include "common/TextChars.h"

#include "app/ReplyFields.h"
#include "common/MQuote.h"

#include <cstdlib>

namespace vorlan {

bool TimerStep(int& countdown, int interval) {
    if (interval == 0) return false;
    if (--countdown > 0) return false;
    countdown = interval;
    return true;
}

std::string MessagesExistLine(std::string_view ref) {
    return "W $D(" + std::string(ref) + "))";
}

std::string FirstMessageKeyLine(std::string_view ref) {
    return "S %QCC=$O(" + std::string(ref) + ",\"\")) W %QCC";
}

std::string NextMessageKeyLine(std::string_view ref, std::string_view key) {
    return "S %QCC=$O(" + std::string(ref) + "," + MQuote(key) + ")) W %QCC";
}

std::string MessageSenderLine(std::string_view ref) {
    return "W $G(" + std::string(ref) + ",%QCC,\"SENDER\"))";
}

std::string MessageTextLine(std::string_view ref) {
    return "W $G(" + std::string(ref) + ",%QCC,\"TEXT\"))";
}

std::string NextMessageTextKeyLine(std::string_view ref) {
    return "S %QC=$O(" + std::string(ref) + ",%QCC,\"TEXT\",%QC)) W %QC";
}

std::string MessageTextPartLine(std::string_view ref) {
    return "W $G(" + std::string(ref) + ",%QCC,\"TEXT\",%QC))";
}

std::string MessageHasDialogLine(std::string_view ref) {
    return "W $D(" + std::string(ref) + ",%QCC,\"DIALOG\"))";
}

std::string MessageDialogLine(std::string_view ref) {
    return "W " + std::string(ref) + ",%QCC,\"DIALOG\")";
}

std::string KillMessageLine(std::string_view ref) {
    return "K " + std::string(ref) + ",%QCC)";
}

std::string MessageTitle(std::string_view sender) {
    auto piece = [&](int n) { return PieceOf(sender, n).substr(0, 127); };
    return piece(1) + " - " + piece(3) + " am " + piece(2);
}

unsigned MemoGroupPlaceholderId(int group) {
    return 32900u + 10u * static_cast<unsigned>(group - 1);
}

int MemoGroupOfPlaceholder(unsigned id) {
    if (id < 32900u || id > 32980u || (id - 32900u) % 10u != 0) return 0;
    return static_cast<int>((id - 32900u) / 10u) + 1;
}

unsigned MemoEntryId(int group, int n) {
    return kMemoEntryFirst - 1 + 10u * static_cast<unsigned>(group - 1) + static_cast<unsigned>(n);
}

std::string MemoGroupNameLine(int group) {
    return "W $G(^Z(\"MEMO\"," + std::to_string(group) + "))";
}

std::string NextMemoKeyLine(int group) {
    return "S %QCC=$O(^Z(\"MEMO\"," + std::to_string(group) + ",%QCC)) W %QCC";
}

std::string MemoEntryTextLine(int group) {
    return "W $G(^Z(\"MEMO\"," + std::to_string(group) + ",%QCC))";
}

std::string MemoGroupItemText(int group, std::string_view name) {
    return "&" + std::to_string(group) + " " + std::string(name);
}

std::string MemoEntryItemText(int n, std::string_view text, std::string_view key) {
    return "&" + std::to_string(n) + " " + std::string(text) + "\t[" + std::string(key) + "]";
}

std::string MemoEntryOfItemText(std::string_view text) {
    text = text.substr(0, 127);
    size_t open = text.find('[');
    if (open == std::string_view::npos) return "";
    size_t close = text.find(']', open + 1);
    if (close == std::string_view::npos) return "";
    return std::string(text.substr(open + 1, close - open - 1));
}

int LanguageOfCommand(unsigned id) {
    if (id > kLanguageFirst && id <= kLanguageFirst + kMaxLanguages)
        return static_cast<int>(id - kLanguageFirst);
    return 1;
}

std::string SetLanguageLine(int number) {
    return "W $$NUMTOLAN^QCC(" + std::to_string(number) + ") S ^Z(\"PC\",%USER,12)=%LAN";
}

std::string LanguageNameLine(int number) {
    return "W $$NUMTOLAN^QCC(" + std::to_string(number) + ")";
}

int CurrentLanguageNumber(std::string_view answer) {
    int n = std::atoi(std::string(answer).c_str());
    return n == 0 ? 1 : n;
}

std::string GroupDescriptionLine(std::string_view group) {
    return "W $G(^QME(\"ME\"," + MQuote(group) + "))";
}

std::string SetGroupDescriptionLine(std::string_view description) {
    return "S %BDESC=" + MQuote(description);
}

std::string SetTemplateGroupLine(std::string_view group) {
    return "S %BGA=" + MQuote(group);
}

bool GroupOffered(std::string_view group, std::string_view currentGroup) {
    if (group == "998" || group == "999") return false;
    return currentGroup == "999" || std::atoi(std::string(currentGroup).c_str()) != 0;
}

bool GroupDescriptionEditable(std::string_view group) {
    return !group.empty() && std::atoi(std::string(group).c_str()) < 998;
}

std::string GroupEntryText(std::string_view group, std::string_view description) {
    if (description.empty()) return std::string(group);
    return std::string(group) + " (" + std::string(description) + ")";
}

char GroupKeyFilter(char key, bool developer) {
    if (!IsTextLetter(static_cast<unsigned char>(key))) return key;
    if (!developer) return 0;
    return TextUpper(key);
}

GroupTyping TypeGroup(std::string_view text, int exactMatch, int entries) {
    GroupTyping t;
    if (text == "998" || text == "999") {
        t.defaultButton = GroupButton::Cancel;
        return t;
    }
    if (text.empty() || exactMatch >= 0) {
        t.select = text.empty() ? (entries > 0 ? 0 : -1) : exactMatch;
        t.ok = entries > 0;
        return t;
    }
    t.newGroup = t.templates = true;
    t.defaultButton = GroupButton::NewGroup;
    return t;
}

std::string UnlockLoginLine(std::string_view user, std::string_view password) {
    return "W $$LOGIN^QCC(" + MQuote(user) + "," + MQuote(password) + ")";
}

std::string RestoreUserLine(std::string_view user) {
    return "S %USER=" + MQuote(user);
}

std::string RestoreGroupLine(std::string_view group) {
    return "S %BG=" + MQuote(group);
}

std::string RestoreActiveUserLine(std::string_view user) {
    return "I $D(^%QSERVER(\"ACTIVE\",$J,\"IP\")) S ^%QSERVER(\"ACTIVE\",$J,\"USER\")=" + MQuote(user);
}

UnlockResult JudgeUnlock(std::string_view answer, std::string_view groupAfter, std::string_view groupAtLock,
                         std::string_view lockedUser) {
    if (answer.empty() || groupAfter != groupAtLock) return UnlockResult::Refused;
    return answer == lockedUser ? UnlockResult::Unlocked : UnlockResult::OtherUser;
}

} // namespace vorlan
