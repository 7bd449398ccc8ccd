#include "upgrade/xmodem_progress.h"

#include <array>
#include <cstdio>

namespace norix::upgrade {

std::optional<std::string> UpdateRemainingTime(std::int64_t blocks, std::int64_t done,
                                               std::int64_t elapsedSeconds,
                                               std::int64_t& lastShown) {
  if (done <= 0) {
    return std::nullopt;
  }
  const std::int64_t remaining = (blocks - done) * elapsedSeconds / done;
  if (remaining < 0 || !(remaining < lastShown || remaining - lastShown > 10)) {
    return std::nullopt;
  }
  lastShown = remaining;
  if (done <= blocks / 10) {
    return std::string("--:--");
  }
  std::array<char, 48> text{};
  (void)std::snprintf(text.data(), text.size(), "%02lld:%02lld",
                      static_cast<long long>(remaining / 60),
                      static_cast<long long>(remaining % 60));
  return std::string(text.data());
}

}  // namespace norix::upgrade
