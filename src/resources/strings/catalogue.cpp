#include "resources/strings/catalogue.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <system_error>
#include <unordered_map>

namespace norix::resources::strings {

namespace {

// Longest run of digits accepted as a string number; longer runs are out of
// range anyway and would overflow.
constexpr std::size_t kMaxIdDigits = 6;
constexpr const char* kOutsideRanges = " outside 2001-2328 and 2400-2599";

std::string Problem(std::string_view source, int line, std::string_view reason) {
  std::string message(source);
  message += ':';
  message += std::to_string(line);
  message += ": ";
  message += reason;
  return message;
}

// Length in bytes of the UTF-8 sequence at the start of text, or 0 when it is
// not a valid sequence (overlong forms, surrogates and values above U+10FFFF
// are invalid).
std::size_t Utf8SequenceLength(std::string_view text) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const auto is_continuation = [&](std::size_t i) {
    return i < text.size() && (byte(i) & 0xC0U) == 0x80U;
  };
  const unsigned char lead = byte(0);
  if (lead < 0x80U) return 1;
  if (lead >= 0xC2U && lead <= 0xDFU) return is_continuation(1) ? 2 : 0;
  if (lead >= 0xE0U && lead <= 0xEFU) {
    if (!is_continuation(1) || !is_continuation(2)) return 0;
    if (lead == 0xE0U && byte(1) < 0xA0U) return 0;   // overlong
    if (lead == 0xEDU && byte(1) >= 0xA0U) return 0;  // surrogate
    return 3;
  }
  if (lead >= 0xF0U && lead <= 0xF4U) {
    if (!is_continuation(1) || !is_continuation(2) || !is_continuation(3)) return 0;
    if (lead == 0xF0U && byte(1) < 0x90U) return 0;   // overlong
    if (lead == 0xF4U && byte(1) >= 0x90U) return 0;  // above U+10FFFF
    return 4;
  }
  return 0;
}

struct DecodedText {
  std::string text;
  std::string error;  // empty when the text is good
  bool cut = false;   // longer than kMaxTextChars, cut to it
};

// Decodes the escapes of a raw text and checks its encoding; counts
// characters so that the cut never splits a UTF-8 sequence.
DecodedText DecodeText(std::string_view raw) {
  DecodedText out;
  std::size_t chars = 0;
  std::size_t i = 0;
  while (i < raw.size()) {
    const auto c = static_cast<unsigned char>(raw[i]);
    std::string_view piece;
    char escaped = 0;
    if (c == '\\') {
      if (i + 1 == raw.size()) {
        out.error = "backslash at the end of the line";
        return out;
      }
      switch (raw[i + 1]) {
        case 'n':
          escaped = '\n';
          break;
        case 't':
          escaped = '\t';
          break;
        case '\\':
          escaped = '\\';
          break;
        default: {
          const std::size_t len = Utf8SequenceLength(raw.substr(i + 1));
          out.error = "unknown escape \\" + std::string(raw.substr(i + 1, len == 0 ? 1 : len));
          return out;
        }
      }
      i += 2;
    } else if (c < 0x20U || c == 0x7FU) {
      out.error = "control character in the text (write line breaks and tabs as \\n and \\t)";
      return out;
    } else {
      const std::size_t len = Utf8SequenceLength(raw.substr(i));
      if (len == 0) {
        out.error = "text is not valid UTF-8";
        return out;
      }
      piece = raw.substr(i, len);
      i += len;
    }
    if (chars == kMaxTextChars) {
      // Keep scanning: a bad escape or encoding further on still rejects the line.
      out.cut = true;
      continue;
    }
    if (escaped != 0) {
      out.text += escaped;
    } else {
      out.text += piece;
    }
    ++chars;
  }
  return out;
}

bool IsBlank(std::string_view line) {
  return std::all_of(line.begin(), line.end(), [](char c) { return c == ' ' || c == '\t'; });
}

}  // namespace

const CatalogueEntry* Catalogue::Find(int id) const {
  const auto it =
      std::find_if(entries.begin(), entries.end(), [id](const auto& e) { return e.id == id; });
  return it == entries.end() ? nullptr : &*it;
}

Catalogue ParseCatalogue(std::string_view content, std::string_view source_name) {
  Catalogue catalogue;
  std::unordered_map<int, int> first_line;  // string number -> line that defined it

  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  if (content.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    content.remove_prefix(kByteOrderMark.size());
  }

  int line_number = 0;
  while (!content.empty()) {
    ++line_number;
    const std::size_t end = content.find('\n');
    std::string_view line = content.substr(0, end);
    content.remove_prefix(end == std::string_view::npos ? content.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

    if (IsBlank(line) || line.front() == '#') continue;

    const auto report = [&](std::string_view reason) {
      catalogue.problems.push_back(Problem(source_name, line_number, reason));
    };

    std::size_t digits = 0;
    while (digits < line.size() && line[digits] >= '0' && line[digits] <= '9') ++digits;
    if (digits == 0) {
      report("expected a string number at the start of the line");
      continue;
    }
    if (digits > kMaxIdDigits) {
      report("string number " + std::string(line.substr(0, digits)) + kOutsideRanges);
      continue;
    }
    if (digits == line.size() || line[digits] != '\t') {
      report("expected a tab after the string number");
      continue;
    }
    int id = 0;
    for (std::size_t i = 0; i < digits; ++i) id = id * 10 + (line[i] - '0');
    if (!IsTextId(id)) {
      report("string number " + std::to_string(id) + kOutsideRanges);
      continue;
    }

    DecodedText decoded = DecodeText(line.substr(digits + 1));
    if (!decoded.error.empty()) {
      report(decoded.error);
      continue;
    }
    if (decoded.text.empty()) {
      report("empty text for string " + std::to_string(id));
      continue;
    }
    const auto [it, inserted] = first_line.emplace(id, line_number);
    if (!inserted) {
      report("string " + std::to_string(id) + " already given at line " +
             std::to_string(it->second) + "; this line is ignored");
      continue;
    }
    if (decoded.cut) {
      report("text of string " + std::to_string(id) + " cut to " + std::to_string(kMaxTextChars) +
             " characters");
    }
    catalogue.entries.push_back({id, std::move(decoded.text), line_number});
  }
  return catalogue;
}

std::optional<Catalogue> ReadCatalogueFile(const std::filesystem::path& path) {
  const std::string name = path.string();
  const auto failed = [&](std::string_view reason) {
    Catalogue catalogue;
    catalogue.problems.push_back(name + ": " + std::string(reason));
    return catalogue;
  };

  std::error_code ec;
  const auto status = std::filesystem::status(path, ec);
  if (status.type() == std::filesystem::file_type::not_found) return std::nullopt;
  if (ec) return failed("cannot read: " + ec.message());
  if (!std::filesystem::is_regular_file(status)) return failed("not a regular file");
  const std::uintmax_t size = std::filesystem::file_size(path, ec);
  if (ec) return failed("cannot read: " + ec.message());
  if (size > kMaxCatalogueBytes) {
    return failed("larger than " + std::to_string(kMaxCatalogueBytes) + " bytes; not read");
  }

  std::ifstream in(path, std::ios::binary);
  if (!in) return failed("cannot open");
  std::string content;
  content.reserve(static_cast<std::size_t>(size));
  // Read at most one byte past the limit, so that a file that grew meanwhile is caught.
  std::array<char, 4096> buffer{};
  while (in && content.size() <= kMaxCatalogueBytes) {
    in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    content.append(buffer.data(), static_cast<std::size_t>(in.gcount()));
  }
  if (in.bad()) return failed("read error");
  if (content.size() > kMaxCatalogueBytes) {
    return failed("larger than " + std::to_string(kMaxCatalogueBytes) + " bytes; not read");
  }
  return ParseCatalogue(content, name);
}

std::string FormatConversions(std::string_view text) {
  constexpr std::string_view kFlags = "-+ #0'";
  constexpr std::string_view kLengths = "hlLqjzt";
  std::string conversions;
  std::size_t i = 0;
  const auto digits = [&] {
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
  };
  while (i < text.size()) {
    if (text[i++] != '%') continue;
    if (i < text.size() && text[i] == '%') {
      ++i;
      continue;
    }
    while (i < text.size() && kFlags.find(text[i]) != std::string_view::npos) ++i;
    if (i < text.size() && text[i] == '*') {
      conversions += "%*";
      ++i;
    } else {
      digits();
    }
    if (i < text.size() && text[i] == '.') {
      ++i;
      if (i < text.size() && text[i] == '*') {
        conversions += "%*";
        ++i;
      } else {
        digits();
      }
    }
    conversions += '%';
    // The length modifier decides the argument's type as much as the conversion does.
    while (i < text.size() && kLengths.find(text[i]) != std::string_view::npos) {
      conversions += text[i++];
    }
    conversions += i < text.size() ? text[i++] : '?';
  }
  return conversions;
}

std::string EscapeCatalogueText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\\':
        out += "\\\\";
        break;
      default:
        out += c;
    }
  }
  return out;
}

}  // namespace norix::resources::strings
