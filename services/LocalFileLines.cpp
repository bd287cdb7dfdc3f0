#include "services/LocalFileLines.h"
#include "common/TextChars.h"
#include "app/ReplyFields.h"
#include "common/MQuote.h"
#include "services/DataLines.h"
#include "services/HubLines.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace vorlan {

namespace {

constexpr size_t kPieceLimit = 1023;

std::string JobReference(std::string_view key) {
    return "^QTEMP(%JOB,\"%FILE\",0," + MQuote(key) + ")";
}

std::string DataReference(std::string_view path, long n) {
    return "^QTEMP(%JOB,\"%FILE\"," + MQuote(path) + "," + std::to_string(n) + ")";
}

// An open reference the server gave, or ours when it gave none.
std::string Prefix(std::string_view resultRef, const char* ours) {
    return resultRef.empty() ? std::string(ours) : std::string(resultRef);
}

std::string CountedSet(const std::string& first, const std::string& rest) {
    return "S:$G(COUNT)=\"\" COUNT=1 S " + first + rest + ",COUNT=COUNT+1";
}

} // namespace

FileJob ParseFileJob(std::string_view value) {
    auto piece = [&](int n) {
        std::string p = PieceOf(value, n);
        if (p.size() > kPieceLimit) p.resize(kPieceLimit);
        return p;
    };
    FileJob job;
    // Beyond the integers a size stays beyond them: it must not wrap round to a usable one.
    long long size = std::strtoll(piece(4).c_str(), nullptr, 10);
    job.blockSize = static_cast<int>(std::clamp<long long>(size, INT_MIN, INT_MAX));
    job.operation = std::atoi(piece(5).c_str());
    job.target = piece(6);
    job.option = piece(7);
    job.resultRef = piece(8);
    job.secondTarget = piece(9);
    job.secondPrefix = piece(10);
    job.command = piece(11);
    job.commandMiddle = piece(12);
    job.deleteSource = !piece(13).empty();
    return job;
}

std::string DataNodeDecoder::Decode(std::string_view node) {
    std::string out;
    out.reserve(node.size());
    for (char c : node) {
        if (m_pendingEscape) {
            m_pendingEscape = false;
            switch (c) {
            case 1: out += '\x01'; break;
            case 2: out += '\0'; break;
            case 3: out += '<'; break;
            default: break;
            }
        } else if (c == 1) {
            m_pendingEscape = true;
        } else {
            out += c;
        }
    }
    return out;
}

std::string WideUnits(std::string_view bytes, bool bigEndian) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char c : bytes) {
        if (bigEndian) out += '\0';
        out += c;
        if (!bigEndian) out += '\0';
    }
    return out;
}

std::string ByteOrderMark(std::string_view option) {
    if (option == "LE") return "\xFF\xFE";
    if (option == "BE") return "\xFE\xFF";
    return std::string();
}

std::string FirstByteReader::Take(std::string_view block) {
    m_carry.append(block.data(), block.size());
    std::string out;
    size_t whole = m_carry.size() / 2 * 2;
    for (size_t i = 0; i < whole; i += 2)
        out += m_carry[i];
    m_carry.erase(0, whole);
    return out;
}

std::string FileNextJobLine(std::string_view key) {
    return "W $O(" + JobReference(key) + ")";
}

std::string FileJobPathLine(std::string_view key) {
    return "W $G(" + JobReference(key) + ")";
}

std::string FileJobKillLine(std::string_view key) {
    return "K " + JobReference(key);
}

std::string FileJobParamsLine(std::string_view path) {
    return "W $G(^QTEMP(%JOB,\"%FILE\"," + MQuote(path) + "))";
}

std::string FileNextDataLine(std::string_view path, long n) {
    return "W $O(" + DataReference(path, n) + ")";
}

std::string FileDataLine(std::string_view path, long n) {
    return "W $G(" + DataReference(path, n) + ")";
}

std::vector<std::string> FileReadLines(std::string_view path, long n, std::string_view bytes) {
    return AppendingSetLines(DataReference(path, n), ValueParts(bytes, true));
}

std::string FileDoneLine(std::string_view path, bool ok, std::string_view routine) {
    std::string line = "S FILE=" + MQuote(path) + ",OKAY=\"" + (ok ? "1" : "0") + "\"";
    if (!routine.empty()) line += " " + DoLine(routine);
    return line;
}

std::string FileRequestKillLine() {
    return "K ^QTEMP(%JOB,\"%FILE\")";
}

// A NEW of its own line would end with that line: the count starts afresh instead.
std::string ListStartLine() {
    return "K ^TEMPDAT(%JOB,%DN) S COUNT=1";
}

std::string ListEntryLine(std::string_view resultRef, std::string_view name, std::string_view time) {
    std::string r = Prefix(resultRef, "^TEMPDAT(%JOB,%DN,");
    return CountedSet(r + "\"DIR\",COUNT)=" + MQuote(name),
                      "," + r + "\"DIR\",COUNT,\"TIME\")=" + MQuote(time));
}

std::string CountEndLine() {
    return "K COUNT";
}

std::string FileTimeText(int day, int month, int year, int hour, int minute, int second) {
    return std::to_string(day) + "." + std::to_string(month) + "." + std::to_string(year) + " " +
           std::to_string(hour) + ":" + std::to_string(minute) + ":" + std::to_string(second);
}

std::string UpperName(std::string_view name) {
    return TextUpper(name);
}

bool NameMatches(std::string_view upperName, std::string_view filter) {
    return filter.empty() || upperName.find(filter) != std::string_view::npos;
}

// The folder ends at the last separator: cutting at the last "*" would keep "*." of "*.*".
std::string SourceFolderOf(std::string_view pattern) {
    size_t slash = pattern.find_last_of("\\/");
    return slash == std::string_view::npos ? std::string() : std::string(pattern.substr(0, slash + 1));
}

std::string ExtensionOf(std::string_view name) {
    size_t dot = name.rfind('.');
    size_t slash = name.find_last_of("\\/+");
    if (dot == std::string_view::npos || (slash != std::string_view::npos && slash > dot))
        return std::string();
    return std::string(name.substr(dot));
}

SubName SplitSubName(std::string_view entry) {
    size_t plus = entry.rfind('+');
    if (plus == std::string_view::npos) return SubName{std::string(), std::string(entry)};
    return SubName{std::string(entry.substr(0, plus)), std::string(entry.substr(plus + 1))};
}

std::string CollectTarget(std::string_view target, std::string_view prefix, int number,
                          std::string_view entry) {
    if (!prefix.empty())
        return std::string(target) + std::string(prefix) + std::to_string(number) + ExtensionOf(entry);
    SubName parts = SplitSubName(entry);
    if (parts.sub.empty()) return std::string(target) + parts.name;
    return std::string(target) + parts.sub + "\\" + parts.name;
}

std::string CollectNameLine(std::string_view resultRef, std::string_view name, std::string_view sub) {
    return "S " + Prefix(resultRef, "^TEMPDAT(\"NAME\",") + MQuote(name) + ")=" + MQuote(sub);
}

std::string CollectCommand(std::string_view command, std::string_view middle, std::string_view file) {
    std::string quoted = "\"" + std::string(file) + "\"";
    std::string line = std::string(command) + quoted;
    if (!middle.empty()) line += std::string(middle) + quoted;
    return line;
}

std::string DriveFailureText(std::string_view target, bool second) {
    return "Fehler: Es konnte nicht auf das Laufwerk " + std::string(target) +
           (second ? " zugegriffen werden.!" : " zugegriffen werden.") +
           "\n Bitte kontaktieren Sie Ihren Netzwerk-Administrator!";
}

bool IsImportedKind(std::string_view upperName) {
    std::string ext = ExtensionOf(upperName);
    return ext == ".TXT" || ext == ".XML" || ext == ".JPG" || ext == ".LDT";
}

bool IsSkippedKind(std::string_view upperName) {
    std::string ext = UpperName(ExtensionOf(upperName));
    return ext == ".PDF" || ext == ".EXE" || ext == ".DOCX" || ext == ".DOC";
}

std::string ImportedTestLine(std::string_view resultRef, std::string_view name) {
    return "W $D(" + Prefix(resultRef, "^TEMPDAT(") + "\"TEXT\"," + MQuote(name) + "))";
}

std::string ImportLine(std::string_view resultRef, std::string_view name, std::string_view line) {
    return CountedSet(Prefix(resultRef, "^TEMPDAT(") + "\"TEXT\"," + MQuote(name) + ",COUNT)=" + MQuote(line),
                      "");
}

std::string MapImportLine(std::string_view bytes, bool wide) {
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        switch (c) {
        case '\r':
        case '\n': break;
        case '\t': out += wide ? '_' : '\xA7'; break;
        case '\x1D': out += '\xA7'; break;
        case '\0': out += wide ? '_' : '\0'; break;
        case '"': out += wide ? '"' : '$'; break;
        default: out += c;
        }
    }
    return out;
}

std::vector<std::string> SplitLines(std::string_view content, size_t limit) {
    std::vector<std::string> lines;
    size_t at = 0;
    while (at < content.size()) {
        size_t end = content.find('\n', at);
        size_t body = end == std::string_view::npos ? content.size() : end;
        size_t stop = end == std::string_view::npos ? content.size() : end + 1;
        // A long line goes in parts of the reader's line buffer; its end does not count.
        while (body - at > limit) {
            lines.emplace_back(content.substr(at, limit));
            at += limit;
        }
        lines.emplace_back(content.substr(at, stop - at));
        at = stop;
    }
    return lines;
}

std::string ArchiveNameLine(std::string_view resultRef, std::string_view sub, std::string_view name) {
    std::string line = "S " + Prefix(resultRef, "^TEMPDAT(\"NAME\",");
    if (!sub.empty()) line += MQuote(sub) + ",";
    return line + MQuote(name) + ")=" + MQuote(sub.empty() ? std::string() : std::string(sub) + "\\");
}

} // namespace vorlan
