#include "platform/window/edit_filter.h"

#include <algorithm>

#include "platform/window/dialog_template.h"

namespace norix::platform::window {

namespace {

// Length of the UTF-8 sequence at the start of `text`, 0 when it is broken.
std::size_t SequenceLength(std::string_view text) {
  const auto lead = static_cast<unsigned char>(text.front());
  std::size_t length = 0;
  if (lead < 0x80U) {
    return 1;
  }
  if (lead >= 0xC2U && lead <= 0xDFU) {
    length = 2;
  } else if (lead >= 0xE0U && lead <= 0xEFU) {
    length = 3;
  } else if (lead >= 0xF0U && lead <= 0xF4U) {
    length = 4;
  } else {
    return 0;
  }
  if (text.size() < length) {
    return 0;
  }
  for (std::size_t i = 1; i < length; ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0U) != 0x80U) {
      return 0;
    }
  }
  return length;
}

bool IsAllowed(std::string_view character, const EditRules& rules) {
  if (character.size() == 1) {
    const char c = character.front();
    if (c == '\n') {
      return rules.multiLine;
    }
    if (static_cast<unsigned char>(c) < 0x20U || c == 0x7F) {
      return false;  // other control characters (CR, tab, ...) are keys, not text
    }
    if (rules.digitsOnly && (c < '0' || c > '9')) {
      return false;
    }
  } else if (rules.digitsOnly) {
    return false;
  }
  if (rules.allowedChars.empty()) {
    return true;
  }
  std::string_view allowed = rules.allowedChars;
  while (!allowed.empty()) {
    const std::size_t length = std::max<std::size_t>(1, SequenceLength(allowed));
    if (allowed.substr(0, length) == character) {
      return true;
    }
    allowed.remove_prefix(std::min(length, allowed.size()));
  }
  return false;
}

}  // namespace

EditRules EditRulesOf(const ControlState& edit) {
  EditRules rules;
  rules.digitsOnly = (edit.style & ControlStyle::kDigitsOnly) != 0;
  rules.uppercase = (edit.style & ControlStyle::kUppercase) != 0;
  rules.multiLine = (edit.style & ControlStyle::kMultiLine) != 0;
  rules.allowedChars = edit.allowedChars;
  rules.limit = edit.textLimit;
  return rules;
}

std::string AppendTyped(std::string_view current, std::string_view typed, const EditRules& rules) {
  std::string text(current);
  std::size_t count = CountCharacters(current);
  const std::size_t limit = rules.limit > 0 ? static_cast<std::size_t>(rules.limit) : 0;
  while (!typed.empty() && count < limit) {
    const std::size_t length = SequenceLength(typed);
    if (length == 0) {
      typed.remove_prefix(1);
      continue;
    }
    std::string character(typed.substr(0, length));
    typed.remove_prefix(length);
    if (rules.uppercase && character.size() == 1 && character[0] >= 'a' && character[0] <= 'z') {
      character[0] = static_cast<char>(character[0] - 'a' + 'A');
    }
    if (IsAllowed(character, rules)) {
      text += character;
      ++count;
    }
  }
  return text;
}

std::string FilterTyped(std::string_view proposed, const EditRules& rules) {
  return AppendTyped({}, proposed, rules);
}

std::size_t CountCharacters(std::string_view text) {
  std::size_t count = 0;
  while (!text.empty()) {
    const std::size_t length = SequenceLength(text);
    text.remove_prefix(length == 0 ? 1 : length);
    ++count;
  }
  return count;
}

}  // namespace norix::platform::window
