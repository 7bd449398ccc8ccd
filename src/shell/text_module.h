#pragma once

// The text module: where every user text of the program is loaded from, by
// its string number (2001 to 2328, and 2400 to 2599 for the program's own). Either a language
// catalogue, the file norix%03d.txt (by country code) in the program's data folder, or the
// program's own compiled-in table.

#include <array>
#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "resources/strings/catalogue.h"

namespace norix::shell {

// The string that decides whether a language catalogue is used: a catalogue
// that lacks it is not.
inline constexpr int kLanguageProbeTextId = 2249;

class TextModule {
 public:
  // The program's own table.
  TextModule();

  // The text of string number id; empty when the module has none (also for
  // numbers outside both ranges), as the system treats a missing text.
  // The view stays valid as long as any copy of this module exists.
  [[nodiscard]] std::string_view Text(int id) const noexcept;

  // The text as a string-loading call into a buffer of buffer_chars
  // characters would give it: at most buffer_chars - 1 characters, never cut
  // inside a UTF-8 sequence; empty when buffer_chars is 0 or 1.
  [[nodiscard]] std::string LoadText(int id, std::size_t buffer_chars) const;

  // True for the program's own table.
  [[nodiscard]] bool IsProgramOwn() const noexcept { return catalogue_path_.empty(); }

  // The language catalogue in use; empty for the program's own table.
  [[nodiscard]] const std::filesystem::path& CataloguePath() const noexcept {
    return catalogue_path_;
  }

  // A module with the texts of a parsed language catalogue. Entries whose
  // printf conversions differ from the program's own text of that number are
  // replaced by the program's own text, with a problem added to *problems
  // (when given): formatting a text that takes other arguments is unsafe.
  [[nodiscard]] static TextModule FromCatalogue(const resources::strings::Catalogue& catalogue,
                                                std::filesystem::path path,
                                                std::vector<std::string>* problems);

 private:
  using Texts = std::array<std::string, resources::strings::kTextIdCount>;

  TextModule(std::shared_ptr<const Texts> texts, std::filesystem::path path);

  // Shared and never changed after construction, so that copies are cheap and
  // any number of page threads may read at once without locks.
  std::shared_ptr<const Texts> texts_;
  std::filesystem::path catalogue_path_;
};

// File name of the language catalogue of a country code ("norix045.txt").
[[nodiscard]] std::string LanguageCatalogueName(int country_code);

struct TextModuleChoice {
  TextModule module;
  // Problems found in the language catalogue, "file:line: reason". The
  // program shows none of them; start-up may print them for a translator.
  std::vector<std::string> problems;
};

// Chooses the text module for a country code: the language catalogue in
// data_folder when it exists and holds string 2249, else the program's own
// table. A missing, unreadable or incomplete catalogue gives the program's
// own table without any message to the user. Reads one file; does not block
// otherwise.
[[nodiscard]] TextModuleChoice LoadTextModule(int country_code,
                                              const std::filesystem::path& data_folder);

}  // namespace norix::shell
