// Reads arbitrary bytes as a lines.conf. The devices it accepts must write
// back and parse again to the same devices, and every problem it reports
// must be one line of printable ASCII of bounded length, whatever bytes the
// file held.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/telephony/line_device.h"
#include "platform/telephony/lines_conf.h"

namespace {

using norix::platform::telephony::LineDevice;

void Check(bool holds) {
  if (!holds) {
    std::abort();
  }
}

bool PrintableLine(std::string_view text) {
  for (const char c : text) {
    if (c < 0x20 || c > 0x7E) {
      return false;
    }
  }
  return text.size() <= 512;
}

// One [line] section; values in double quotes keep their blanks.
std::string Section(const LineDevice& device) {
  using norix::platform::telephony::ApiVersionText;
  std::string text = "[line]\nname = \"" + device.name + "\"\nport = \"" + device.port +
                     "\"\napi = " + ApiVersionText(device.apiLow) + "-" +
                     ApiVersionText(device.apiHigh) + "\n";
  if (device.driverKey) {
    text += "driver-key = \"" + *device.driverKey + "\"\n";
  }
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace norix::platform::telephony;
  // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): bytes as text
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const LinesConf conf = ParseLinesConf(text, "lines.conf");
  for (const std::string& problem : conf.problems) {
    Check(PrintableLine(problem));
  }
  std::string written;
  for (const LineDevice& device : conf.devices) {
    written += Section(device);
  }
  const LinesConf again = ParseLinesConf(written, "lines.conf");
  Check(again.problems.empty());
  Check(again.devices == conf.devices);
  return 0;
}
