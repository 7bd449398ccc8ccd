#pragma once

// Text catalogues: the program's own string table and the language catalogues
// share one line format, read here.
//
//   # comment
//   2092<TAB>NORIX message
//   2110<TAB>Your modem is not responding properly.\nWould you like to try again?
//
// Escapes in a text: \n line break, \t tab, \\ backslash. Texts are UTF-8.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace norix::resources::strings {

// The program's string numbers: the system's texts 2001-2328, and 2400-2599
// for texts of this program's own (failures the system never reported).
inline constexpr int kFirstTextId = 2001;
inline constexpr int kLastSystemTextId = 2328;
inline constexpr int kFirstOwnTextId = 2400;
inline constexpr int kLastTextId = 2599;
inline constexpr int kTextIdCount = kLastTextId - kFirstTextId + 1;

// True for a number of either range.
[[nodiscard]] constexpr bool IsTextId(int id) {
  return (id >= kFirstTextId && id <= kLastSystemTextId) ||
         (id >= kFirstOwnTextId && id <= kLastTextId);
}

// Longest text, in characters: the program's largest text buffer holds 1024
// characters including the terminator. Longer texts are cut to this length.
inline constexpr std::size_t kMaxTextChars = 1023;

// Catalogue files larger than this are not read.
inline constexpr std::uintmax_t kMaxCatalogueBytes = std::uintmax_t{1024} * 1024;

struct CatalogueEntry {
  int id = 0;
  std::string text;  // decoded, never empty
  int line = 0;      // line number in the source, from 1
};

struct Catalogue {
  std::vector<CatalogueEntry> entries;  // in source order, each id once
  std::vector<std::string> problems;    // "source:line: reason", in source order

  // The entry with this string number, or nullptr.
  [[nodiscard]] const CatalogueEntry* Find(int id) const;
};

// Parses catalogue text. A bad line (no string number, no tab, a number
// outside 2001-2328 and 2400-2599, an unknown escape, invalid UTF-8, a raw control
// character, an empty text) is reported and skipped; the good lines are kept.
// A repeated string number is reported and the first line wins. A text longer
// than kMaxTextChars is cut and reported. Never throws on any input except
// std::bad_alloc.
[[nodiscard]] Catalogue ParseCatalogue(std::string_view content, std::string_view source_name);

// Reads and parses a catalogue file. nullopt when the file does not exist; a
// file that exists but cannot be read, or is larger than kMaxCatalogueBytes,
// gives a catalogue without entries and one problem.
[[nodiscard]] std::optional<Catalogue> ReadCatalogueFile(const std::filesystem::path& path);

// The printf arguments a text takes, in order, each as "%", its length
// modifier and its conversion: "%s and %-3lu" gives "%s%lu"; "%%" gives
// nothing; a "*" width or precision gives "%*"; a conversion cut off by the
// end of the text gives "%?". A translated text must take the same arguments
// as the program's own text for the same number.
[[nodiscard]] std::string FormatConversions(std::string_view text);

// Writes a text in catalogue form: the inverse of the escapes above.
[[nodiscard]] std::string EscapeCatalogueText(std::string_view text);

}  // namespace norix::resources::strings
