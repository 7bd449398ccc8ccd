// The store file's text: the format of registry exports.
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_LOCAL_MACHINE\System\CurrentControlSet\Services\Class\Modem\0001]
//   "InfPath"="usbmodem.inf"
//   "DriverDate"="3-14-2024"
//   @="default value"
//   "Path"="C:\\Drivers\\\"quoted\""
//   "Count"=dword:0000001f
//   "Blob"=hex:01,02,ff
//   "Other"=hex(7):41,00,00,00
//
// Keys are written parent before child, each followed by its values and a
// blank line. Strings escape "\\" and "\""; a carriage return or line feed
// inside a string is written "\r" or "\n" so that a value never spans lines.
// Long hex data continues on the next line after ",\" with two blanks of
// indent. Lines starting with ";" are comments (they are not written back);
// a repeated header line, as in exports pasted together, is passed over.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry/key_tree.h"

namespace norix::platform::registry {

inline constexpr std::string_view kRegFileHeader = "Windows Registry Editor Version 5.00";

// Something in a store file that could not be read.
struct StoreProblem {
  std::string file;
  std::size_t line = 0;  // 1-based; 0 when it concerns the whole file
  std::string message;

  // "file:12: message", or "file: message" for the whole file.
  [[nodiscard]] std::string Text() const;
  bool operator==(const StoreProblem&) const = default;
};

struct ParsedStore {
  // The keys that could be read. The root has no name; its subkeys are the
  // hives ("HKEY_LOCAL_MACHINE", ...).
  KeyNode root;
  // Lines that could not be read, in file order; empty when the file is clean.
  std::vector<StoreProblem> problems;
};

// Reads store text. Never fails as a whole: each line that cannot be read
// is left out and reported, and so are the values under a key line that
// cannot be read. Empty text (or blank lines only) is a clean, empty store.
// Deletion entries ("[-key]", "name"=-) belong to import files and are
// reported as problems here. `file` only labels the problems.
[[nodiscard]] ParsedStore ParseRegText(std::string_view text, std::string_view file);

// Writes a tree in the same format. ParseRegText of the result gives back an
// equal tree, for any tree whose key names hold neither line breaks nor
// backslashes and whose hives are known.
[[nodiscard]] std::string FormatRegText(const KeyNode& root);

// Whether ParseRegText accepts `name` as a hive.
[[nodiscard]] bool IsHiveName(std::string_view name) noexcept;

}  // namespace norix::platform::registry
