#include "platform/telephony/line_directory.h"

#include <algorithm>
#include <cstdlib>
#include <set>
#include <utility>

#include "platform/telephony/lines_conf.h"
#include "platform/telephony/serial_by_id.h"

namespace norix::platform::telephony {

namespace {

bool NameTaken(const std::vector<LineDevice>& devices, const std::string& name) {
  return std::any_of(devices.begin(), devices.end(),
                     [&](const LineDevice& d) { return d.name == name; });
}

}  // namespace

LineSources LineSources::FromEnvironment(const std::string& folder, std::string usbNameWord) {
  LineSources sources;
  // Nothing in the program sets the environment, so reading it is safe.
  const char* const xdgConfigHome =
      std::getenv("XDG_CONFIG_HOME");            // NOLINT(concurrency-mt-unsafe)
  const char* const home = std::getenv("HOME");  // NOLINT(concurrency-mt-unsafe)
  const std::filesystem::path user = UserLinesFile(xdgConfigHome, home, folder);
  if (!user.empty()) {
    sources.linesFiles.push_back(user);
  }
  sources.linesFiles.push_back(std::filesystem::path("/etc") / folder / "lines.conf");
  sources.serialByIdDir = "/dev/serial/by-id";
  sources.usbNameWord = std::move(usbNameWord);
  return sources;
}

std::filesystem::path UserLinesFile(const char* xdgConfigHome, const char* home,
                                    const std::string& folder) {
  std::filesystem::path base;
  if (xdgConfigHome != nullptr && xdgConfigHome[0] == '/') {
    base = xdgConfigHome;
  } else if (home != nullptr && home[0] == '/') {
    base = std::filesystem::path(home) / ".config";
  } else {
    return {};
  }
  return base / folder / "lines.conf";
}

LineDirectory::LineDirectory(LineSources sources, std::ostream& diagnostics)
    : sources_(std::move(sources)), diagnostics_(&diagnostics) {}

std::string LineDirectory::AddLine(LineDevice device) {
  std::string why = CheckLineDevice(device);
  if (why.empty()) {
    const std::lock_guard lock(mutex_);
    added_.push_back(std::move(device));
  }
  return why;
}

void LineDirectory::SetPortTrace(std::shared_ptr<comm::PortTrace> trace) {
  const std::lock_guard lock(mutex_);
  trace_ = std::move(trace);
}

std::shared_ptr<comm::PortTrace> LineDirectory::PortTrace() const {
  const std::lock_guard lock(mutex_);
  return trace_;
}

std::vector<LineDevice> LineDirectory::Collect() const {
  const std::lock_guard lock(mutex_);
  std::vector<LineDevice> devices;
  std::set<std::string> ports;
  const auto add = [&](LineDevice device) {
    if (ports.insert(ResolvePortPath(device.port)).second) {
      devices.push_back(std::move(device));
    }
  };
  for (const auto& file : sources_.linesFiles) {
    LinesConf conf = ReadLinesConf(file);
    for (const std::string& problem : conf.problems) {
      *diagnostics_ << problem << '\n';
    }
    for (LineDevice& device : conf.devices) {
      add(std::move(device));
    }
  }
  diagnostics_->flush();
  if (!sources_.serialByIdDir.empty()) {
    for (LineDevice& device : ScanSerialById(sources_.serialByIdDir, sources_.usbNameWord)) {
      const std::string base = device.name;
      for (int n = 2; NameTaken(devices, device.name); ++n) {
        device.name = base + " " + std::to_string(n);
      }
      add(std::move(device));
    }
  }
  for (const LineDevice& device : added_) {
    add(device);
  }
  return devices;
}

void LineDirectory::SetPortOpener(PortOpener opener) {
  const std::lock_guard lock(mutex_);
  opener_ = opener ? std::move(opener) : PortOpener(comm::OpenSerialPort);
}

PortOpener LineDirectory::Opener() const {
  const std::lock_guard lock(mutex_);
  return opener_;
}

}  // namespace norix::platform::telephony
