#pragma once
// Folder paths of the workplace tools without Windows in them: the levels a folder is made
// in, the path placeholders and status-line abbreviations.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vorlan {

// A path with its terminator fits this many characters.
constexpr size_t kPathCapacity = 260;

// True when the path fits kPathCapacity with its terminator: a longer one is refused, never cut.
bool PathFits(std::string_view path);
// folder + '\' + name (the backslash only when the folder has none at its end); empty when the
// name is empty or the result would not fit.
std::string JoinPath(std::string_view folder, std::string_view name);

// What the system said when asked for a name's attributes: the name is free only when it
// found nothing and said the file or its path does not exist (a locked or unreadable file is
// still there, and is never overwritten).
bool NameTaken(bool attributesFound, unsigned long lastError);

enum class FreeName { Ok, TooLong, NoneFree };
// Tries the candidates first..last in turn; `claim` takes a path and says whether it is now
// the caller's (free, or free and made). A candidate that is empty or would not fit stops the
// search: names only grow longer, and a path is refused, never cut.
FreeName ClaimFirstFree(int first, int last, const std::function<std::string(int)>& candidate,
                        const std::function<bool(const std::string&)>& claim, std::string& path);

// The folders to create one after another for the path, parents first and the path itself
// last. Neither a drive root nor the server and share of a UNC path are among them.
std::vector<std::string> DirectoryLevels(std::string_view path);

// The source with every "%vorlan%" replaced by the program file's path and every
// "%program%" by its folder (the path up to its last backslash); replaced text is not
// searched again. False, with out empty, when the result would not fit kPathCapacity.
bool TranslatePlaceholders(std::string_view source, std::string_view programPath, std::string& out);

// A path for a status line: the first `keep` characters and "..." when it is longer.
std::string ShortenPath(std::string_view path, size_t keep = 35);

} // namespace vorlan
