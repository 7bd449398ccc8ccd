// Plays arbitrary bytes as a product's answer to an AT command and runs the
// exchange on them: whatever comes, the result is one of the codes and the
// reply line fits its buffer.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "link/at_exchange.h"
#include "platform/comm/memory_line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto line = norix::platform::comm::MakeMemoryLine("fuzz");
  // Return at once with what is there: the whole answer is queued up front.
  if (!line.host->SetTimeouts({norix::platform::comm::kMaxTimeout, 0, 0, 1, 100})) {
    std::abort();
  }
  line.device->Send(std::span(data, size));
  // A trailer keeps the exchange's patient read of the rest from waiting its
  // full two seconds on every input that ends in an informational line.
  static constexpr std::uint8_t kTrailer[] = {'\r', '\n', 'O', 'K', '\r', '\n'};
  line.device->Send(kTrailer);
  std::string reply;
  const auto result = norix::link::SendAtCommand(line.host.get(), "ATI3", reply);
  const auto code = static_cast<int>(result);
  if ((code > 4 && code != 255) || reply.size() > norix::link::kReplyCapacity) {
    std::abort();
  }
  return 0;
}
