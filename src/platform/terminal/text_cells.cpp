#include "platform/terminal/text_cells.h"

#include <array>
#include <cstdint>

namespace norix::platform::terminal {

namespace {

bool IsContinuation(unsigned char byte) { return (byte & 0xC0U) == 0x80U; }

bool IsBreakBlank(char32_t c) { return c == U' ' || c == U'\t'; }

struct Range {
  char32_t first;
  char32_t last;
};

// Combining marks that the pages' languages and the products' replies may
// carry; they sit on the character before them.
constexpr std::array<Range, 5> kCombining{{
    {0x0300, 0x036F},
    {0x1AB0, 0x1AFF},
    {0x1DC0, 0x1DFF},
    {0x20D0, 0x20FF},
    {0xFE20, 0xFE2F},
}};

// Characters that take two columns.
constexpr std::array<Range, 9> kWide{{
    {0x1100, 0x115F},
    {0x2E80, 0x303E},
    {0x3041, 0x33FF},
    {0x3400, 0x4DBF},
    {0x4E00, 0x9FFF},
    {0xAC00, 0xD7A3},
    {0xF900, 0xFAFF},
    {0xFF00, 0xFF60},
    {0x20000, 0x3FFFD},
}};

template <std::size_t N>
bool InRanges(const std::array<Range, N>& ranges, char32_t c) {
  for (const Range& range : ranges) {
    if (c >= range.first && c <= range.last) {
      return true;
    }
  }
  return false;
}

// U+00C0 ... U+00FF without their accents.
constexpr std::string_view kLatin1Letters =
    "AAAAAAACEEEEIIIIDNOOOOOxOUUUUYPs"
    "aaaaaaaceeeeiiiidnooooo/ouuuuypy";

}  // namespace

std::u32string DecodeUtf8(std::string_view text) {
  std::u32string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    int length = 0;
    char32_t c = 0;
    if (lead < 0x80U) {
      length = 1;
      c = lead;
    } else if (lead >= 0xC2U && lead <= 0xDFU) {
      length = 2;
      c = lead & 0x1FU;
    } else if (lead >= 0xE0U && lead <= 0xEFU) {
      length = 3;
      c = lead & 0x0FU;
    } else if (lead >= 0xF0U && lead <= 0xF4U) {
      length = 4;
      c = lead & 0x07U;
    }
    bool valid = length > 0 && i + static_cast<std::size_t>(length) <= text.size();
    for (int k = 1; valid && k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
      valid = IsContinuation(next);
      c = (c << 6U) | (next & 0x3FU);
    }
    // Overlong forms, surrogates and values beyond Unicode are not UTF-8.
    constexpr std::array<char32_t, 5> kSmallest{0, 0, 0x80, 0x800, 0x10000};
    if (valid && (c < kSmallest.at(static_cast<std::size_t>(length)) || c > 0x10FFFF ||
                  (c >= 0xD800 && c <= 0xDFFF))) {
      valid = false;
    }
    if (!valid) {
      out.push_back(kReplacementCharacter);
      ++i;
      continue;
    }
    out.push_back(c);
    i += static_cast<std::size_t>(length);
  }
  return out;
}

std::string EncodeUtf8(std::u32string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char32_t c : text) {
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
      c = kReplacementCharacter;
    }
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0U | (c >> 6U)));
      out.push_back(static_cast<char>(0x80U | (c & 0x3FU)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0U | (c >> 12U)));
      out.push_back(static_cast<char>(0x80U | ((c >> 6U) & 0x3FU)));
      out.push_back(static_cast<char>(0x80U | (c & 0x3FU)));
    } else {
      out.push_back(static_cast<char>(0xF0U | (c >> 18U)));
      out.push_back(static_cast<char>(0x80U | ((c >> 12U) & 0x3FU)));
      out.push_back(static_cast<char>(0x80U | ((c >> 6U) & 0x3FU)));
      out.push_back(static_cast<char>(0x80U | (c & 0x3FU)));
    }
  }
  return out;
}

int CellWidth(char32_t c) {
  if (c < 0x20 || (c >= 0x7F && c < 0xA0) || c == 0x200B || InRanges(kCombining, c)) {
    return 0;
  }
  return InRanges(kWide, c) ? 2 : 1;
}

int TextWidth(std::u32string_view text) {
  int width = 0;
  for (const char32_t c : text) {
    width += CellWidth(c);
  }
  return width;
}

std::u32string FitWidth(std::u32string_view text, int width) {
  std::u32string out;
  int used = 0;
  for (const char32_t c : text) {
    const int w = CellWidth(c);
    if (used + w > width) {
      break;
    }
    used += w;
    out.push_back(c);
  }
  return out;
}

std::vector<std::u32string> WrapText(std::u32string_view text, int width) {
  std::vector<std::u32string> lines;
  if (width < 1) {
    width = 1;
  }
  std::u32string line;
  int lineWidth = 0;
  std::size_t i = 0;
  const auto endLine = [&] {
    while (!line.empty() && IsBreakBlank(line.back())) {
      line.pop_back();
    }
    lines.push_back(line);
    line.clear();
    lineWidth = 0;
  };
  while (i < text.size()) {
    const char32_t c = text[i];
    if (c == U'\r' || c == U'\n') {
      endLine();
      i += (c == U'\r' && i + 1 < text.size() && text[i + 1] == U'\n') ? 2U : 1U;
      continue;
    }
    if (IsBreakBlank(c)) {
      if (lineWidth < width && lineWidth > 0) {
        line.push_back(U' ');
        ++lineWidth;
      }
      ++i;
      continue;
    }
    // A word: up to the next blank or line break.
    std::size_t end = i;
    while (end < text.size() && !IsBreakBlank(text[end]) && text[end] != U'\r' &&
           text[end] != U'\n') {
      ++end;
    }
    std::u32string_view word = text.substr(i, end - i);
    const int wordWidth = TextWidth(word);
    if (lineWidth + wordWidth <= width) {
      line.append(word);
      lineWidth += wordWidth;
      i = end;
      continue;
    }
    if (lineWidth > 0 && wordWidth <= width) {
      endLine();
      continue;
    }
    // Longer than what is left of the line: fill the line with its start.
    const std::u32string head = FitWidth(word, width - lineWidth);
    if (head.empty()) {
      if (lineWidth == 0) {
        // A character wider than the whole line still has to go somewhere.
        line.push_back(word.front());
        ++i;
      }
      endLine();
      continue;
    }
    line.append(head);
    i += head.size();
    endLine();
  }
  if (!line.empty() || lines.empty() ||
      (!text.empty() && (text.back() == U'\n' || text.back() == U'\r'))) {
    endLine();
  }
  return lines;
}

char AsciiStandIn(char32_t c) {
  if (c < 0x80) {
    return static_cast<char>(c);
  }
  if (c >= 0xC0 && c <= 0xFF) {
    return kLatin1Letters[c - 0xC0];
  }
  switch (c) {
    case 0xA0:
      return ' ';
    case 0x2018:
    case 0x2019:
    case 0x00B4:
      return '\'';
    case 0x201C:
    case 0x201D:
    case 0x00AB:
    case 0x00BB:
      return '"';
    case 0x2010:
    case 0x2013:
    case 0x2014:
      return '-';
    case 0x2026:
      return '.';
    case 0x0152:
      return 'O';
    case 0x0153:
      return 'o';
    default:
      return '?';
  }
}

char32_t FoldCase(char32_t c) {
  if (c >= U'A' && c <= U'Z') {
    return c + (U'a' - U'A');
  }
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) {  // Latin-1 capitals, but the multiplication sign
    return c + 0x20;
  }
  return c;
}

}  // namespace norix::platform::terminal
