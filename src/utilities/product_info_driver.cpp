#include "utilities/product_info_driver.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

#include "platform/registry/driver_key.h"

namespace norix::utilities {

platform::registry::DriverInfo SimulatedDriverInfo() {
  return {std::string(kSimulatedInfPath), platform::registry::ProgramFileDate(),
          platform::registry::DefaultInitStrings()};
}

namespace R = platform::registry;

namespace {

constexpr std::size_t kValueBufferBytes = 1024;

// A REG_SZ value cut to `chars` characters; " " when it cannot be read
// (missing, another type, or longer than the buffer).
std::string ReadTextValue(R::Registry& registry, R::HKEY key, std::string_view name,
                          std::size_t chars) {
  std::array<char, kValueBufferBytes> buffer{};
  R::DWORD type = R::REG_NONE;
  auto size = static_cast<R::DWORD>(buffer.size());
  if (registry.RegQueryValueEx(key, name, &type, buffer.data(), &size) != R::ERROR_SUCCESS ||
      type != R::REG_SZ) {
    return std::string(kNoDriverValue);
  }
  const std::size_t length = strnlen(buffer.data(), std::min<std::size_t>(size, buffer.size()));
  std::string text(buffer.data(), length);
  if (text.size() > chars) {
    text.resize(chars);
  }
  return text;
}

}  // namespace

void ReadDriverInformation(R::Registry* registry, const std::optional<std::string>& driverKey,
                           ProductInformation& info) {
  // Without a key this product has no driver information: what an earlier
  // product showed is not this one's.
  info.driverFile = kNoDriverValue;
  info.driverDate = kNoDriverValue;
  if (registry == nullptr || !driverKey || driverKey->empty()) {
    return;
  }
  R::HKEY key{};
  if (registry->RegOpenKeyEx(R::HKEY_LOCAL_MACHINE, *driverKey, 0, R::KEY_QUERY_VALUE, &key) !=
      R::ERROR_SUCCESS) {
    return;
  }
  info.driverFile = ReadTextValue(*registry, key, "InfPath", kDriverFileChars);
  info.driverDate = ReadTextValue(*registry, key, "DriverDate", kDriverDateChars);
  static_cast<void>(registry->RegCloseKey(key));
}

std::vector<std::string> SeedDriverKeys(R::Registry& registry,
                                        const std::vector<platform::telephony::LineDevice>& devices,
                                        const R::KernelPaths& kernel) {
  std::vector<std::string> failed;
  for (const auto& device : devices) {
    if (!device.driverKey || device.driverKey->empty()) {
      continue;
    }
    const std::optional<R::DriverInfo> tty = R::DriverInfoForTty(device.port, kernel);
    const R::DriverInfo info = tty ? *tty : SimulatedDriverInfo();
    if (R::SeedDriverKey(registry, *device.driverKey, info) != R::ERROR_SUCCESS) {
      failed.push_back(device.name);
    }
  }
  return failed;
}

}  // namespace norix::utilities
