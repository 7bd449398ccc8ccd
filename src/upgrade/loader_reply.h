// What a line from a modem's flash loader means. The keys are searched in a
// fixed order, without regard to case, anywhere in the line; the first key
// found gives the code. Note the order: "Record error" holds "ERROR", which
// comes first, so it classifies as 9 ("ERROR"), never as 5.
#pragma once

#include <cstddef>
#include <string_view>

namespace norix::upgrade {

enum LoaderCode : int {
  kLoaderDownloadInitiated = 0,  // "Download initiated": it takes the flash loader
  kLoaderRawFirmware = 1,        // "Download flash code": firmware as raw chunks
  kLoaderXmodemReady = 2,        // "UpLoader (XModem)"
  kLoaderXmodemFirmware = 3,     // "Upload flash code ..": firmware by X-modem
  kLoaderWrongDevice = 4,        // "Wrong device"
  kLoaderWrongFile = 5,          // "Wrong S37 file" (and, by its key, "Record error")
  kLoaderProgrammed = 6,        // "Device successfully programmed", "Upload successfully completed"
  kLoaderName = 7,              // "Loader"
  kLoaderHardwareMismatch = 8,  // "Code not match hardware"
  kLoaderError = 9,             // "ERROR"
  kLoaderUnknown = 10,          // no key found
};

// The code of `line`. With `skip` 1 every key is searched without its first
// character: the line's first character was read (and dropped) already.
[[nodiscard]] int LoaderReply(std::string_view line, std::size_t skip = 0);

}  // namespace norix::upgrade
