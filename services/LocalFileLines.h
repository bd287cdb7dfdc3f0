#pragma once
// The local file service's rules apart from any file: the job's parameters, the data-node
// escapes, 16-bit units, the names, folders and lines of the batch operations, and the M
// lines it sends. Every value goes into a line through MQuote or as $C(...) codes.

#include <string>
#include <string_view>
#include <vector>

namespace vorlan {

// Paths this long or longer are refused.
constexpr size_t kFilePathLimit = 260;

enum FileOperation {
    kWriteBytes = 1,
    kReadBytes,
    kWrite16,
    kRead16,
    kCopyFile,
    kShortcut,
    kMoveFile,
    kListFolder,
    kCollect,
    kImportArchive,
    kImportAll,
};

// The most bytes one data node may be read with: a node is one M string, and no server holds
// more than a megabyte in one. Larger block sizes are refused like missing ones.
constexpr int kBlockSizeLimit = 1 << 20;

// The 13 pieces of a job's parameter node, each cut to 1,023 characters.
struct FileJob {
    int blockSize = 0;
    int operation = 0;
    std::string target, option, resultRef, secondTarget, secondPrefix, command, commandMiddle;
    bool deleteSource = false;
};
FileJob ParseFileJob(std::string_view value);

// Undoes the escapes of written data nodes: 1 1 is byte 1, 1 2 byte 0, 1 3 "<", other codes
// are dropped; an escape at a node's end takes the next node's first character.
class DataNodeDecoder {
  public:
    std::string Decode(std::string_view node);

  private:
    bool m_pendingEscape = false;
};

// Every byte as one 16-bit unit, little- or big-endian.
std::string WideUnits(std::string_view bytes, bool bigEndian);
// The byte-order mark the option asks for ("LE" or "BE"), else none.
std::string ByteOrderMark(std::string_view option);
inline bool IsBigEndian(std::string_view option) {
    return option == "BE";
}

// Keeps the first byte of every 16-bit unit; an odd byte waits for the next block.
class FirstByteReader {
  public:
    std::string Take(std::string_view block);

  private:
    std::string m_carry;
};

// The job walk.
std::string FileNextJobLine(std::string_view key);
std::string FileJobPathLine(std::string_view key);
std::string FileJobKillLine(std::string_view key);
std::string FileJobParamsLine(std::string_view path);
std::string FileNextDataLine(std::string_view path, long n);
std::string FileDataLine(std::string_view path, long n);
// Data node n of the path holds exactly the bytes, as codes.
std::vector<std::string> FileReadLines(std::string_view path, long n, std::string_view bytes);
// FILE and OKAY for the routine of operations 1-4, then the routine.
std::string FileDoneLine(std::string_view path, bool ok, std::string_view routine);
std::string FileRequestKillLine();

// The listing.
std::string ListStartLine();
std::string ListEntryLine(std::string_view resultRef, std::string_view name, std::string_view time);
std::string CountEndLine();
std::string FileTimeText(int day, int month, int year, int hour, int minute, int second);
std::string UpperName(std::string_view name);
// The filter is matched against the upper-cased name as it is given.
bool NameMatches(std::string_view upperName, std::string_view filter);

// The collection.
// The folder of the pattern, with its separator (C:\IN\ of C:\IN\*.*).
std::string SourceFolderOf(std::string_view pattern);
// The extension with its dot ("" when the name has none).
std::string ExtensionOf(std::string_view name);
// "SUB+NAME": the subfolder before the last "+" ("" without one) and the name after it.
struct SubName {
    std::string sub, name;
};
SubName SplitSubName(std::string_view entry);
// Where an entry goes: target + sub + "\" + name, or target + prefix + number + extension.
std::string CollectTarget(std::string_view target, std::string_view prefix, int number,
                          std::string_view entry);
std::string CollectNameLine(std::string_view resultRef, std::string_view name, std::string_view sub);
// The command for a copied file, every file argument between double quotes.
std::string CollectCommand(std::string_view command, std::string_view middle, std::string_view file);
std::string DriveFailureText(std::string_view target, bool second);

// The imports.
bool IsImportedKind(std::string_view upperName); // import and archive
bool IsSkippedKind(std::string_view upperName);  // import all
std::string ImportedTestLine(std::string_view resultRef, std::string_view name);
std::string ImportLine(std::string_view resultRef, std::string_view name, std::string_view line);
// A wide file (FE FF) keeps its quotes; a narrow one turns them into "$". Line ends go.
std::string MapImportLine(std::string_view bytes, bool wide);
// The file's lines, each cut into parts of at most `limit` bytes, whatever bytes they hold.
std::vector<std::string> SplitLines(std::string_view content, size_t limit);
std::string ArchiveNameLine(std::string_view resultRef, std::string_view sub, std::string_view name);

} // namespace vorlan
