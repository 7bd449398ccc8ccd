// A Port that writes everything that crosses it to a PortTrace: the seam
// where a transcript of the program's talk with a product is taken. Every
// port the program opens for a product goes through TracePort, so the pages,
// the line test and the upgrade workers are all covered.
#pragma once

#include <memory>

#include "platform/comm/port.h"
#include "platform/comm/port_trace.h"

namespace norix::platform::comm {

// `port` itself when `trace` is null (no transcript asked for, nothing is
// written); else a Port that behaves exactly as `port` and records its open,
// bytes, speed changes, purges and close in `trace`.
[[nodiscard]] std::unique_ptr<Port> TracePort(std::unique_ptr<Port> port,
                                              std::shared_ptr<PortTrace> trace);

}  // namespace norix::platform::comm
