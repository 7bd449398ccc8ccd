// Why a serial port could not be opened, told so that the user can act on it:
// the system's reason with the device named, and the usual fix for the three
// common cases.
//
//   cannot open /dev/ttyUSB0: Permission denied (the user is not in group
//     dialout, which may use the device: sudo usermod -aG dialout $USER, then
//     log in again)
//   cannot open /dev/ttyUSB0: Device or resource busy (in use by minicom,
//     process 4242: end it and try again)
//   cannot open /dev/ttyUSB0: No such file or directory (the device is not
//     there: check that the product is plugged in and switched on)
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace norix::platform::comm {

enum class OpenFailure : std::uint8_t {
  None,
  NoAccess,  // EACCES, EPERM: the device's permissions keep this user out
  InUse,     // EBUSY: another program, or another open in this one, holds the port
  Gone,      // ENOENT, ENODEV, ENXIO: no such device (unplugged, switched off)
  Other,     // anything else, e.g. ENOTTY for a file that is no terminal
};

[[nodiscard]] OpenFailure ClassifyOpenError(int error);

// A failed open as the layers above pass it on, each adding what it knows.
struct PortOpenFailure {
  OpenFailure kind = OpenFailure::None;
  std::string message;  // empty when kind is None
};

// What the system tells cheaply about a failed open, looked up right after it.
struct OpenFailureFacts {
  // NoAccess: the group owning the device when that group may read and
  // write it (empty otherwise), whether this process has the group, and
  // whether the group database lists the user in it (joined, but this
  // session started before).
  std::string deviceGroup;
  bool processInGroup = false;
  bool userListedInGroup = false;
  // InUse: who holds the port ("minicom, process 4242", or "this program
  // itself (process 4242)"), when /proc/locks, a lock file or the open files
  // of a process say so.
  std::string holder;
  bool heldByThisProcess = false;
};

// Where GatherOpenFailureFacts looks; tests point it at folders of their own.
struct FactSources {
  std::vector<std::filesystem::path> lockDirs{"/run/lock", "/var/lock"};  // LCK..ttyUSB0
  std::filesystem::path proc = "/proc";
};

// Looks up the facts for a failed open of `path` with errno `error`: only
// those its kind needs (none for Gone and Other). Reads a few small system
// files; scans the open files of the processes it may read only when
// nothing else names the holder.
[[nodiscard]] OpenFailureFacts GatherOpenFailureFacts(const std::string& path, int error,
                                                      const FactSources& sources = {});

// "cannot open <path>: <the system's text for error>", with the fix in
// brackets when the facts make one plausible.
[[nodiscard]] std::string DescribeOpenFailure(const std::string& path, int error,
                                              const OpenFailureFacts& facts);

}  // namespace norix::platform::comm
