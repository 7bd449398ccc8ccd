// The driver init string store: keeps the protocol init string among the
// initialisation strings of the selected device's modem driver, in the
// registry below the driver key:
//
//   [HKEY_LOCAL_MACHINE\<driver key>\Init]
//   "1"="AT<cr>"
//   "2"="AT&FE0V1&C1&D2S0=0<cr>"
//   "3"="AT&B2%B0\P1<cr>"          <- the store's own, the last value
//
//   [HKEY_LOCAL_MACHINE\<driver key>\InitPrevious]
//   "1"="AT&B0%B2\P3<cr>"          <- the string it replaced
//
// The first write adds the store's value after the driver's own and creates
// "InitPrevious", which from then on marks the last "Init" value as the
// store's; later writes replace that value. Nothing outside an existing
// driver key is ever created or changed, and a write reaches the registry
// whole or not at all.
//
// The calls read or write the registry's store file (milliseconds); they run
// on the Protocols page's thread.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace norix::platform::registry {
class Registry;
}

namespace norix::isdn {

// The store's working record, kept for the whole run.
struct InitStringStore {
  std::string current;   // the string last read or written
  std::string previous;  // what `current` was when the Protocols page last opened from its menu
  // The driver key `current` belongs to; none before the first read.
  std::optional<std::string> device;
};

// The previous string becomes the current one, or empty when the current
// one belongs to another device than `driverKey` (or to none).
void KeepPrevious(InitStringStore& store, const std::optional<std::string>& driverKey);

// Reads the store's string of `driverKey` into store.current (cut to
// kInitStringLimit characters): empty when there is no registry or driver
// key, or the store has not written to this driver yet.
void ReadInitString(platform::registry::Registry* registry,
                    const std::optional<std::string>& driverKey, InitStringStore& store);

enum class InitStoreResult {
  kWritten,
  kNoDriver,  // no registry, no driver key, or the driver key does not exist
  kFailed,    // the registry refused the change or could not write it
};

// Writes `text` as the store's string of `driverKey`, with store.previous
// as the replaced string, in one change of the registry. On success
// store.current becomes `text`; otherwise nothing changes, in the registry
// or the record.
[[nodiscard]] InitStoreResult WriteInitString(platform::registry::Registry* registry,
                                              const std::optional<std::string>& driverKey,
                                              std::string_view text, InitStringStore& store);

// All init strings of a driver as a dialler should send them: the driver's
// own in the order of their names ("1", "2", ..., "10"), and the store's
// string, when the store has written one, apart from them.
struct DriverInitStrings {
  std::vector<std::string> driver;
  std::optional<std::string> protocol;
};

// Nullopt when the driver key does not exist.
[[nodiscard]] std::optional<DriverInitStrings> ReadDriverInitStrings(
    platform::registry::Registry& registry, std::string_view driverKey);

}  // namespace norix::isdn
