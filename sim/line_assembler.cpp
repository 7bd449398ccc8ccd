#include "sim/line_assembler.h"

#include <utility>

namespace norix::sim {

LineAssembler::Event LineAssembler::Feed(std::uint8_t byte, const LineEditCharacters& chars) {
  if (byte == chars.cr) {
    return Event::Completed;
  }
  if (byte == chars.backspace) {
    if (buffer_.empty()) {
      return Event::Ignored;
    }
    buffer_.pop_back();
    return Event::Erased;
  }
  if (byte == chars.lf || byte < 0x20 || byte > 0x7E) {
    return Event::Ignored;
  }
  if (byte == '/' && (buffer_ == "A" || buffer_ == "a")) {
    buffer_.clear();
    overflowed_ = false;
    return Event::Repeat;
  }
  if (buffer_.size() >= capacity_) {
    overflowed_ = true;
    return Event::Dropped;
  }
  buffer_.push_back(static_cast<char>(byte));
  return Event::Stored;
}

std::string LineAssembler::TakeLine() {
  lastOverflowed_ = std::exchange(overflowed_, false);
  return std::exchange(buffer_, std::string{});
}

}  // namespace norix::sim
