#include "upgrade/profile_tokenizer.h"

namespace norix::upgrade {
namespace {

constexpr std::string_view kBlanks = " \t\r\f\v";

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) {
    return {};
  }
  const auto last = text.find_last_not_of(kBlanks);
  return text.substr(first, last - first + 1);
}

std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

}  // namespace

std::optional<ProfileLine> ProfileTokenizer::Next() {
  while (position_ < text_.size()) {
    const auto end = text_.find('\n', position_);
    const auto lineEnd = end == std::string_view::npos ? text_.size() : end;
    const auto line = Trim(text_.substr(position_, lineEnd - position_));
    position_ = end == std::string_view::npos ? text_.size() : end + 1;

    if (line.empty()) {
      continue;
    }
    if (line.front() == '[') {
      const auto close = line.find(']');
      const auto name =
          close == std::string_view::npos ? line.substr(1) : line.substr(1, close - 1);
      return ProfileLine{ProfileLine::Kind::Section, Trim(name), {}};
    }
    const auto equals = line.find('=');
    if (equals == std::string_view::npos) {
      continue;
    }
    return ProfileLine{ProfileLine::Kind::Entry, Trim(line.substr(0, equals)),
                       Unquote(Trim(line.substr(equals + 1)))};
  }
  return std::nullopt;
}

}  // namespace norix::upgrade
