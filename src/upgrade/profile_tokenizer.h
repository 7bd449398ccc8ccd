// Splits profile-style text ("[Section]" lines and "key=value" lines, as in an
// .ini file) into its meaningful lines, one at a time, so that a reader can
// stop as soon as it has what it needs.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace norix::upgrade {

struct ProfileLine {
  enum class Kind : std::uint8_t { Section, Entry };
  Kind kind = Kind::Entry;
  // Section name without brackets, or the entry's key; trimmed of blanks.
  std::string_view name;
  // The entry's value, trimmed of blanks, one pair of enclosing quotes ('' or
  // "") removed; empty for a section.
  std::string_view value;
};

class ProfileTokenizer {
 public:
  explicit ProfileTokenizer(std::string_view text) : text_(text) {}

  // The next section or entry line. Lines end in LF or CR LF; lines that are
  // neither a section nor hold a '=' are skipped. None at the end of the text.
  std::optional<ProfileLine> Next();

 private:
  std::string_view text_;
  std::size_t position_ = 0;
};

}  // namespace norix::upgrade
