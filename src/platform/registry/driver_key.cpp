#include "platform/registry/driver_key.h"

#include <sys/stat.h>

namespace norix::platform::registry {

std::string ModemDriverKey(unsigned instance) {
  std::string number = std::to_string(instance);
  if (number.size() < 4) number.insert(0, 4 - number.size(), '0');
  return std::string(kModemClassKey) + '\\' + number;
}

std::vector<std::string> DefaultInitStrings() { return {"AT<cr>", "AT&FE0V1&C1&D2S0=0<cr>"}; }

std::string FormatDriverDate(int year, int month, int day) {
  return std::to_string(month) + '-' + std::to_string(day) + '-' + std::to_string(year);
}

std::string DriverDateOf(std::time_t when) {
  std::tm local{};
  if (localtime_r(&when, &local) == nullptr) return {};
  return FormatDriverDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

std::string ProgramFileDate() {
  struct stat program {};
  if (stat("/proc/self/exe", &program) != 0) return {};
  return DriverDateOf(program.st_mtime);
}

LSTATUS SeedDriverKey(Registry& registry, std::string_view driverKey, const DriverInfo& info) {
  const std::optional<std::vector<std::string>> parts = SplitKeyPath(driverKey);
  if (!parts || parts->empty()) return ERROR_BAD_PATHNAME;
  std::vector<std::string> path{"HKEY_LOCAL_MACHINE"};
  for (const std::string& part : *parts) {
    if (!IsStorableKeyName(part)) return ERROR_BAD_PATHNAME;
    path.push_back(part);
  }
  return registry.Modify([&](KeyNode& root) {
    KeyNode& key = CreateKey(root, path);
    if (!info.infPath.empty() && key.FindValue("InfPath") == nullptr) {
      key.SetValue(RegValue::Text("InfPath", info.infPath));
    }
    if (!info.driverDate.empty() && key.FindValue("DriverDate") == nullptr) {
      key.SetValue(RegValue::Text("DriverDate", info.driverDate));
    }
    if (!info.initStrings.empty() && key.FindSubkey("Init") == nullptr) {
      KeyNode& init = key.AddSubkey("Init");
      for (std::size_t i = 0; i < info.initStrings.size(); ++i) {
        init.SetValue(RegValue::Text(std::to_string(i + 1), info.initStrings[i]));
      }
    }
    return ERROR_SUCCESS;
  });
}

}  // namespace norix::platform::registry
