#include "upgrade/product_queries.h"

#include <string>

#include "link/at_exchange.h"
#include "platform/ascii/ascii_text.h"

namespace norix::upgrade {

bool QueryAddedAnalogInterface(platform::comm::Port* port) {
  std::string reply;
  return link::SendAtCommand(port, "ATI7", reply) == link::AtResult::Ok &&
         platform::ascii::ContainsNoCase(reply, "Added Internal Analog Interface");
}

bool QueryLargeFlash(platform::comm::Port* port) {
  std::string reply;
  return link::SendAtCommand(port, "ATI4", reply) == link::AtResult::Ok &&
         reply.find("_2M_") != std::string::npos;
}

}  // namespace norix::upgrade
