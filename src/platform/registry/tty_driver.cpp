#include "platform/registry/tty_driver.h"

#include <array>
#include <climits>
#include <cstdlib>
#include <fstream>

#include <sys/stat.h>
#include <sys/utsname.h>

namespace norix::platform::registry {

namespace {

std::string BaseName(std::string_view path) {
  while (path.size() > 1 && path.ends_with('/')) path.remove_suffix(1);
  const std::size_t slash = path.rfind('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::optional<std::string> RealPath(const std::string& path) {
  std::array<char, PATH_MAX> resolved{};
  if (realpath(path.c_str(), resolved.data()) == nullptr) return std::nullopt;
  return std::string(resolved.data());
}

// Module names use "_" where file names may use "-".
std::string ModuleName(std::string_view name) {
  std::string out(name);
  for (char& c : out) {
    if (c == '-') c = '_';
  }
  return out;
}

// "kernel/drivers/usb/serial/ftdi_sio.ko.xz" -> "ftdi_sio".
std::string ModuleOfFile(std::string_view file) {
  std::string base = BaseName(file);
  const std::size_t ko = base.find(".ko");
  if (ko != std::string::npos) base.resize(ko);
  return ModuleName(base);
}

// The first path in a modules.dep or modules.builtin list whose module is
// `module`. Lines are "path" or "path: dependencies".
std::optional<std::string> FindModuleFile(const std::string& list, const std::string& module) {
  std::ifstream in(list);
  std::string line;
  while (std::getline(in, line)) {
    const std::string path = line.substr(0, line.find(':'));
    if (!path.empty() && ModuleOfFile(path) == module) return path;
  }
  return std::nullopt;
}

std::string DateOfFile(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 ? DriverDateOf(st.st_mtime) : std::string();
}

}  // namespace

KernelPaths KernelPaths::Running() {
  KernelPaths paths;
  utsname name{};
  if (uname(&name) == 0) paths.modules = std::string("/lib/modules/") + name.release;
  return paths;
}

std::optional<DriverInfo> DriverInfoForTty(std::string_view ttyPath, const KernelPaths& kernel) {
  const std::string tty = BaseName(RealPath(std::string(ttyPath)).value_or(std::string(ttyPath)));
  const std::string device = kernel.sys + "/class/tty/" + tty + "/device";
  const std::optional<std::string> driver = RealPath(device + "/driver");
  if (!driver) return std::nullopt;
  DriverInfo info{BaseName(*driver), {}, DefaultInitStrings()};
  const std::optional<std::string> module = RealPath(device + "/driver/module");
  const std::string moduleName = ModuleName(module ? BaseName(*module) : info.infPath);
  if (!kernel.modules.empty()) {
    if (const auto file = FindModuleFile(kernel.modules + "/modules.dep", moduleName)) {
      info.driverDate = DateOfFile(kernel.modules + '/' + *file);
    } else if (FindModuleFile(kernel.modules + "/modules.builtin", moduleName)) {
      info.driverDate = DateOfFile(kernel.modules + "/modules.builtin");
    }
  }
  return info;
}

}  // namespace norix::platform::registry
