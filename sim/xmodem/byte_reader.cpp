#include "sim/xmodem/byte_reader.h"

#include <algorithm>

namespace norix::sim::xmodem {

ReadStatus ByteReader::Next(std::uint8_t& byte, std::chrono::milliseconds wait) {
  if (head_ == tail_) {
    const std::ptrdiff_t n = line_.Receive(buffer_, wait);
    if (n < 0) {
      return ReadStatus::Closed;
    }
    if (n == 0) {
      return ReadStatus::TimedOut;
    }
    head_ = 0;
    tail_ = static_cast<std::size_t>(n);
  }
  byte = buffer_[head_++];
  return ReadStatus::Ok;
}

ReadStatus ByteReader::Fill(std::span<std::uint8_t> out, std::chrono::milliseconds gap,
                            std::size_t& got) {
  got = 0;
  while (got < out.size()) {
    if (head_ < tail_) {
      const std::size_t take = std::min(out.size() - got, tail_ - head_);
      std::copy_n(buffer_.begin() + static_cast<std::ptrdiff_t>(head_), take,
                  out.begin() + static_cast<std::ptrdiff_t>(got));
      head_ += take;
      got += take;
      continue;
    }
    std::uint8_t byte = 0;
    const ReadStatus status = Next(byte, gap);
    if (status != ReadStatus::Ok) {
      return status;
    }
    out[got++] = byte;
  }
  return ReadStatus::Ok;
}

ReadStatus ByteReader::Drain(std::chrono::milliseconds quiet) {
  head_ = tail_ = 0;
  for (;;) {
    const std::ptrdiff_t n = line_.Receive(buffer_, quiet);
    if (n < 0) {
      return ReadStatus::Closed;
    }
    if (n == 0) {
      return ReadStatus::Ok;
    }
  }
}

}  // namespace norix::sim::xmodem
