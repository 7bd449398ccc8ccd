// Where the line service finds its line devices, in this order: the
// lines.conf files, the USB serial devices under /dev/serial/by-id that carry
// the maker's name, and the devices the program adds itself (simulated
// products served on ptys).
#pragma once

#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/comm/port_trace.h"
#include "platform/comm/serial_port.h"
#include "platform/telephony/line_device.h"

namespace norix::platform::telephony {

struct LineSources {
  std::vector<std::filesystem::path> linesFiles;  // read in order; missing ones are skipped
  std::filesystem::path serialByIdDir;            // empty: no USB devices
  std::string usbNameWord;                        // a by-id name must contain it

  // $XDG_CONFIG_HOME/<folder>/lines.conf (default ~/.config),
  // /etc/<folder>/lines.conf, and the devices of /dev/serial/by-id whose name
  // contains `usbNameWord`.
  [[nodiscard]] static LineSources FromEnvironment(const std::string& folder,
                                                   std::string usbNameWord);
};

// $XDG_CONFIG_HOME/<folder>/lines.conf, or $HOME/.config/<folder>/lines.conf
// when XDG_CONFIG_HOME is unset, empty or relative; empty when neither is
// usable.
[[nodiscard]] std::filesystem::path UserLinesFile(const char* xdgConfigHome, const char* home,
                                                  const std::string& folder);

// How the service opens the port behind a line device, by the device's port
// path: comm::OpenSerialPort unless the program serves its lines itself
// (in-memory lines in tests). It is called with the service's lock held, from
// any thread, and must not call the service.
using PortOpener = std::function<comm::OpenPortResult(const std::string& port)>;

// Thread-safe.
class LineDirectory {
 public:
  // Problems found in the files are written to `diagnostics`, one per line.
  explicit LineDirectory(LineSources sources, std::ostream& diagnostics = std::cerr);

  // Adds a device that the program serves itself; it is listed after all the
  // others from the next lineInitialize on. Returns why it was refused, or
  // an empty text.
  std::string AddLine(LineDevice device);

  // Reads the sources now and returns the devices in order. A device whose
  // port resolves to the same file as an earlier one's is left out, and a
  // USB device that would share an earlier name gets a number appended.
  [[nodiscard]] std::vector<LineDevice> Collect() const;

  // The transcript that the ports of these devices write to (--trace);
  // null, the default, for none. Applies to applications initialised after.
  void SetPortTrace(std::shared_ptr<comm::PortTrace> trace);
  [[nodiscard]] std::shared_ptr<comm::PortTrace> PortTrace() const;
  // Replaces the opener of the ports; applications initialised from now on
  // open their lines through it. An empty opener restores OpenSerialPort.
  void SetPortOpener(PortOpener opener);
  [[nodiscard]] PortOpener Opener() const;

 private:
  mutable std::mutex mutex_;
  LineSources sources_;
  std::ostream* diagnostics_;
  std::vector<LineDevice> added_;
  std::shared_ptr<comm::PortTrace> trace_;
  PortOpener opener_ = comm::OpenSerialPort;
};

}  // namespace norix::platform::telephony
