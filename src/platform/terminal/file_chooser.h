// The open-file dialog of the terminal: a path typed into an entry, with
// completion of its last part, and the entries of the folder it names that
// can be chosen there (subfolders and the files the filter lets through).
// Reads the file system; never changes it.
#pragma once

#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace norix::platform::terminal {

struct FolderEntry {
  std::string name;  // file or folder name, a folder with '/' at its end
  bool folder = false;

  friend bool operator==(const FolderEntry&, const FolderEntry&) = default;
};

// "*.lfu;*.LFU" as its patterns; blanks around them are dropped. "*" and
// "*.*" stand for every file.
[[nodiscard]] std::vector<std::string> SplitPatterns(std::string_view patterns);

// Whether a file name matches one of the patterns (without regard to case);
// every name matches when there are none.
[[nodiscard]] bool MatchesPattern(std::string_view name, std::span<const std::string> patterns);

// The folder a typed path names (up to its last '/'; "." for none) and the
// part after it.
struct TypedPath {
  std::string folder;  // as typed, with its '/' ("" for a bare name)
  std::string name;
};
[[nodiscard]] TypedPath SplitTypedPath(std::string_view typed);

// Where typed paths start: a relative path at `base`, "~/" at `home`.
struct PathContext {
  std::filesystem::path base;
  std::string home;
};

// `typed` as a path of the file system.
[[nodiscard]] std::filesystem::path ResolveTyped(std::string_view typed,
                                                 const PathContext& context);

// What `typed` lists: the folder's subfolders and matching files whose names
// start with the typed name part, folders first, each group by name; "../"
// first in a folder that has a parent (while no name is typed), and hidden
// entries only when the name part starts with '.'. Empty for a folder that
// cannot be read.
[[nodiscard]] std::vector<FolderEntry> ListTyped(std::string_view typed,
                                                 std::span<const std::string> patterns,
                                                 const PathContext& context);

// `typed` with its name part extended as far as every listed entry that
// starts with it agrees; a single folder gets its '/'. Unchanged when
// nothing matches.
[[nodiscard]] std::string CompleteTyped(std::string_view typed,
                                        std::span<const std::string> patterns,
                                        const PathContext& context);

}  // namespace norix::platform::terminal
