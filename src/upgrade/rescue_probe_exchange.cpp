#include "upgrade/rescue_probe_exchange.h"

#include <array>
#include <cstdlib>
#include <string>

#include "link/at_exchange.h"
#include "link/port_io.h"

namespace norix::upgrade {

std::optional<long> ProbeRescueModel(platform::comm::Port* port) {
  constexpr std::array<std::uint32_t, 3> kAgain{115200, 57600, 38400};
  std::string reply;
  bool ok = link::SendAtCommand(port, "AT*", reply) == link::AtResult::Ok;
  for (std::size_t i = 0; !ok && i < kAgain.size(); ++i) {
    link::SetPortSpeed(port, kAgain[i]);
    reply.clear();
    ok = link::SendAtCommand(port, "AT*", reply) == link::AtResult::Ok;
  }
  if (reply.empty() || reply.front() < '0' || reply.front() > '9') {
    return std::nullopt;
  }
  // At most a few digits count: a longer number is no model either way.
  return std::strtol(reply.substr(0, 9).c_str(), nullptr, 10);
}

}  // namespace norix::upgrade
