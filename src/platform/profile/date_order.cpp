#include "platform/profile/date_order.h"

#include <cstddef>

namespace norix::platform::profile {

namespace {

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool IsFieldLetter(char c) { return c == 'd' || c == 'M' || c == 'y'; }

// The order letters of one strftime conversion character, or empty when the
// conversion is not a date field. unpadded: the "-" or "_" flag was given.
std::string_view FieldFor(char conversion, bool unpadded) {
  switch (conversion) {
    case 'd':
      return unpadded ? "d" : "dd";
    case 'e':
      return "d";
    case 'm':
      return unpadded ? "M" : "MM";
    case 'b':
    case 'h':
      return "MMM";
    case 'B':
      return "MMMM";
    case 'y':
      return "yy";
    case 'Y':
    case 'G':
      return "yyyy";
    case 'D':
      return "MM/dd/yy";
    case 'F':
      return "yyyy-MM-dd";
    case 'n':
    case 't':
      return " ";
    case '%':
      return "%";
    default:
      return {};
  }
}

// Without blanks at either end and with runs of blanks made single (dropped
// literal words leave them, as in "%d de %B de %Y").
std::string Tidied(const std::string& text) {
  std::string out;
  for (const char c : text) {
    if (c == ' ' && (out.empty() || out.back() == ' ')) continue;
    out += c;
  }
  if (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

}  // namespace

std::string DateOrderFromStrftime(std::string_view d_fmt) {
  std::string order;
  std::size_t i = 0;
  while (i < d_fmt.size()) {
    const char c = d_fmt[i++];
    if (c != '%') {
      if (!IsAsciiLetter(c)) order += c;
      continue;
    }
    bool unpadded = false;
    while (i < d_fmt.size() && (d_fmt[i] == '-' || d_fmt[i] == '_' || d_fmt[i] == '0' ||
                                d_fmt[i] == '^' || d_fmt[i] == '#')) {
      unpadded = unpadded || d_fmt[i] == '-' || d_fmt[i] == '_';
      ++i;
    }
    while (i < d_fmt.size() && d_fmt[i] >= '0' && d_fmt[i] <= '9') ++i;
    if (i < d_fmt.size() && (d_fmt[i] == 'E' || d_fmt[i] == 'O')) ++i;
    if (i == d_fmt.size()) break;
    order += FieldFor(d_fmt[i++], unpadded);
  }
  std::string result = Tidied(order);
  bool has_field = false;
  for (const char c : result) has_field = has_field || IsFieldLetter(c);
  return has_field ? result : std::string(kDefaultShortDate);
}

std::string LongDateOrderFor(std::string_view short_order) {
  const std::size_t day = short_order.find('d');
  const std::size_t month = short_order.find('M');
  const std::size_t year = short_order.find('y');
  if (month != std::string_view::npos && (day == std::string_view::npos || month < day) &&
      (year == std::string_view::npos || month < year)) {
    return "MMMM d, yyyy";
  }
  if (year != std::string_view::npos && (day == std::string_view::npos || year < day) &&
      (month == std::string_view::npos || year < month)) {
    return "yyyy MMMM d";
  }
  // Day first: keep a "." after the day, as in "d. MMMM yyyy".
  const std::size_t after_day =
      short_order.find_first_not_of('d', day == std::string_view::npos ? 0 : day);
  const bool dotted = after_day != std::string_view::npos && short_order[after_day] == '.';
  return dotted ? "d. MMMM yyyy" : "d MMMM yyyy";
}

}  // namespace norix::platform::profile
