// Text read from a file or a product, quoted for a diagnostic line: a
// damaged or binary file must not put raw control bytes (terminal escapes,
// line breaks) or kilobytes of one line into the user's terminal.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

namespace norix::platform::ascii {

// How many bytes of the text a diagnostic shows.
inline constexpr std::size_t kQuotedTextLimit = 60;

// `text` for a diagnostic line: printable ASCII as it is, a backslash and a
// double quote escaped, \t \r \n, every other byte (control characters and
// bytes above 0x7E) as \xNN. A text longer than `limit` bytes shows its
// first `limit` bytes followed by "...".
[[nodiscard]] inline std::string EscapedText(std::string_view text,
                                             std::size_t limit = kQuotedTextLimit) {
  constexpr std::string_view kHex = "0123456789abcdef";
  std::string out;
  for (const char c : text.substr(0, std::min(text.size(), limit))) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '"':
        out += "\\\"";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      default:
        if (byte < 0x20 || byte > 0x7E) {
          out += "\\x";
          out += kHex[byte >> 4];
          out += kHex[byte & 0xF];
        } else {
          out += c;
        }
    }
  }
  if (text.size() > limit) {
    out += "...";
  }
  return out;
}

// EscapedText in double quotes.
[[nodiscard]] inline std::string QuotedText(std::string_view text,
                                            std::size_t limit = kQuotedTextLimit) {
  return '"' + EscapedText(text, limit) + '"';
}

}  // namespace norix::platform::ascii
