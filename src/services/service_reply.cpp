#include "services/service_reply.h"

#include <limits>

#include "platform/ascii/ascii_text.h"
#include "services/provider_service_records.h"

namespace norix::services {

namespace {

// Separators of the reply's parts: commas, and the blanks and line ends of
// the C locale.
constexpr bool IsSeparator(char c) {
  return c == ',' || c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

constexpr bool IsKeyCharacter(char c) { return c == '*' || c == '#'; }

// Reads the parts of a reply line one after the other: a number, a single
// character or a word, each after any separators. A part that is not there
// stops the reading: every later read fails too.
class PartReader {
 public:
  explicit PartReader(std::string_view line) : line_(line) {}

  std::optional<std::int32_t> Number() {
    SkipSeparators();
    std::size_t at = pos_;
    bool negative = false;
    if (at < line_.size() && (line_[at] == '+' || line_[at] == '-')) {
      negative = line_[at] == '-';
      ++at;
    }
    const std::size_t digitsStart = at;
    std::int64_t value = 0;
    constexpr std::int64_t kLimit = std::numeric_limits<std::int32_t>::max();
    while (at < line_.size() && platform::ascii::IsDigit(line_[at])) {
      value = value * 10 + (line_[at] - '0');
      if (value > kLimit + 1) {
        value = kLimit + 1;
      }
      ++at;
    }
    if (at == digitsStart) {
      return Stop<std::int32_t>();
    }
    pos_ = at;
    if (negative) {
      return static_cast<std::int32_t>(-value);
    }
    return static_cast<std::int32_t>(value > kLimit ? kLimit : value);
  }

  std::optional<char> Character() {
    SkipSeparators();
    if (stopped_ || pos_ >= line_.size()) {
      return Stop<char>();
    }
    return line_[pos_++];
  }

  std::optional<std::string_view> Word() {
    SkipSeparators();
    const std::size_t start = pos_;
    while (pos_ < line_.size() && !IsSeparator(line_[pos_])) {
      ++pos_;
    }
    if (stopped_ || pos_ == start) {
      return Stop<std::string_view>();
    }
    return line_.substr(start, pos_ - start);
  }

 private:
  void SkipSeparators() {
    while (pos_ < line_.size() && IsSeparator(line_[pos_])) {
      ++pos_;
    }
  }
  template <class T>
  std::optional<T> Stop() {
    stopped_ = true;
    pos_ = line_.size();
    return std::nullopt;
  }

  std::string_view line_;
  std::size_t pos_ = 0;
  bool stopped_ = false;
};

// A word cut to `length`; `whole` tells whether it fitted and holds only
// dialling characters.
std::string CutField(std::string_view word, std::size_t length, bool& whole) {
  whole = word.size() <= length && OnlyCharacters(word, kDialCharacters);
  return std::string(word.substr(0, length));
}

}  // namespace

ActivationReply ParseActivationReply(std::string_view line, bool withNumber) {
  ActivationReply reply;
  PartReader reader(line);
  const std::optional<std::int32_t> on = reader.Number();
  const std::optional<char> prefix = reader.Character();
  const std::optional<std::string_view> digits = reader.Word();
  const std::optional<char> suffix = reader.Character();
  if (!on || !prefix || !digits || !suffix || !IsKeyCharacter(*prefix)) {
    return reply;
  }
  bool wholeDigits = false;
  reply.codesTaken = true;
  reply.on = *on != 0;
  reply.prefix = *prefix;
  reply.digits = CutField(*digits, kDigitsLength, wholeDigits);
  reply.suffix = *suffix;
  reply.codesRead = wholeDigits && IsKeyCharacter(*suffix);
  if (!withNumber) {
    return reply;
  }
  const std::optional<std::string_view> number = reader.Word();
  const std::optional<char> numberSuffix = reader.Character();
  if (!number || !numberSuffix || !IsKeyCharacter(*numberSuffix)) {
    return reply;
  }
  bool wholeNumber = false;
  reply.numberTaken = true;
  reply.number = CutField(*number, kNumberLength, wholeNumber);
  reply.numberSuffix = *numberSuffix;
  reply.numberRead = wholeNumber;
  return reply;
}

CancelReply ParseCancelReply(std::string_view line) {
  CancelReply reply;
  PartReader reader(line);
  const std::optional<char> prefix = reader.Character();
  const std::optional<std::string_view> digits = reader.Word();
  const std::optional<char> suffix = reader.Character();
  if (!prefix || !digits || !suffix || !IsKeyCharacter(*prefix)) {
    return reply;
  }
  bool wholeDigits = false;
  reply.taken = true;
  reply.prefix = *prefix;
  reply.digits = CutField(*digits, kDigitsLength, wholeDigits);
  reply.suffix = *suffix;
  reply.read = wholeDigits && IsKeyCharacter(*suffix);
  return reply;
}

std::optional<std::int32_t> ReplyValue(std::string_view line) {
  // Only blanks may come before the value: "1,*,21,*" begins with 1, ",1"
  // with nothing.
  std::size_t start = 0;
  while (start < line.size() && (line[start] == ' ' || line[start] == '\t')) {
    ++start;
  }
  if (start < line.size() && line[start] == ',') {
    return std::nullopt;
  }
  PartReader reader(line.substr(start));
  return reader.Number();
}

bool OnlyCharacters(std::string_view text, std::string_view allowed) {
  return text.find_first_not_of(allowed) == std::string_view::npos;
}

}  // namespace norix::services
