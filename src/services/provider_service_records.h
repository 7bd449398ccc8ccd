// The KOMET II's provider service settings as the program holds them for
// the run: the ten supplementary services of the ISDN network with their
// key sequences, the functions of the R key for multiple lines, the closed
// user group, what the data port reports on incoming calls, terminal
// portability, and the two adapter settings shown with some services.
//
// The values (on flags, codes) stay for the run; what one opening of the
// page learnt from the adapter (supported, read, changed by the user, the
// numbers) is cleared before each reading, so an opening never offers or
// writes what another adapter had. Only the provider services page's
// thread touches the records while that page is open.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace norix::services {

// Group codes: the high byte of a service list entry's item value.
inline constexpr std::uint16_t kSupplementaryGroup = 0x11;
inline constexpr std::uint16_t kMultipleLinesGroup = 0x12;
inline constexpr std::uint16_t kClosedUserGroup = 0x13;
inline constexpr std::uint16_t kDataPortGroup = 0x14;
inline constexpr std::uint16_t kPortabilityGroup = 0x15;

// The item value of a list entry: group code high, record index low.
[[nodiscard]] constexpr std::uint16_t ItemValue(std::uint16_t group, std::size_t index = 0) {
  return static_cast<std::uint16_t>((static_cast<std::size_t>(group) << 8U) | (index & 0xFFU));
}
[[nodiscard]] constexpr std::uint16_t GroupOf(std::uint16_t item) {
  return static_cast<std::uint16_t>(item >> 8U);
}
[[nodiscard]] constexpr std::size_t IndexOf(std::uint16_t item) { return item & 0xFFU; }

// Kind flags of a supplementary service.
inline constexpr std::uint32_t kActivationLine = 0x001;    // prefix, digits, suffix, on flag
inline constexpr std::uint32_t kCancelLine = 0x002;        // prefix, digits, suffix
inline constexpr std::uint32_t kVoiceOnlySetting = 0x004;  // shows "Only forward voice calls"
inline constexpr std::uint32_t kNumberAfterActivation = 0x008;
inline constexpr std::uint32_t kNumberOnBothLines = 0x020;  // the cancel line shows it, read-only
inline constexpr std::uint32_t kBooking = 0x200;            // one line of digits only

[[nodiscard]] constexpr bool HasNumber(std::uint32_t kind) {
  return (kind & (kNumberAfterActivation | kNumberOnBothLines)) != 0;
}

// Field sizes: the page's edits take no more, and replies are cut to them.
inline constexpr std::size_t kDigitsLength = 4;
inline constexpr std::size_t kNumberLength = 20;
// The characters a digits or number field takes: dialling digits, the
// star and hash keys, and R (flash) and W (wait for dial tone).
inline constexpr std::string_view kDialCharacters = "0123456789rwRW*#";

// The record whose extra setting is "Show number as default".
inline constexpr std::size_t kHideOwnNumber = 0;
inline constexpr std::size_t kServiceCount = 10;
inline constexpr std::size_t kLineFunctionCount = 4;

// The key sequence of a service: what the adapter dials to switch it on at
// the exchange ("*21*" number "#") and off ("#21#"). A character is '*' or
// '#', or 0 where the service has no such part.
struct ServiceCodes {
  char activationPrefix = 0;
  std::string activationDigits;
  char activationSuffix = 0;
  char numberSuffix = 0;
  char cancelPrefix = 0;
  std::string cancelDigits;
  char cancelSuffix = 0;
  char cancelNumberSuffix = 0;

  friend bool operator==(const ServiceCodes&, const ServiceCodes&) = default;
};

// What one opening of the page learnt of a record and did with it.
struct OpeningState {
  bool supported = false;  // the adapter answered its query with OK
  // The parts the adapter's reply gave whole this time (nothing cut, every
  // character one the write takes). A record is written back unchanged only
  // when every part its write sends was read.
  bool activationRead = false;
  bool cancelRead = false;
  bool numberRead = false;
  bool changed = false;  // the user changed one of its values
};

struct ProviderService {
  // Fixed for the record.
  std::uint32_t kind = 0;
  int name = 0;            // string id
  std::string_view stem;   // "*S2"
  int activationHelp = 0;  // string ids of the help texts
  int cancelHelp = 0;
  // Kept for the run.
  bool on = false;
  ServiceCodes codes;
  // Made empty when the reading finds the record supported, released when
  // the page is left.
  std::string number;
  OpeningState opening;
};

struct LineFunction {
  int name = 0;
  std::string_view stem;  // "*3P0"
  char keyDigit = 0;      // dialled after the R key
  int help = 0;
  bool on = true;
  bool supported = false;
  bool read = false;  // the reply gave the on flag
  bool changed = false;
};

// One setting of the adapter shown with some services.
struct AdapterSetting {
  bool set = false;
  bool read = false;
  bool changed = false;
};

struct ClosedUserGroupRecord {
  bool found = false;  // every query of the group was answered with OK
  bool on = true;
  bool dataInside = false;
  bool teleInside = false;
  std::string code;  // as the page's code field holds it
  bool changed = false;
};

struct DataPortRecord {
  bool supported = false;
  bool ring = false;
  bool callerId = false;
  bool read = false;
  bool changed = false;
};

struct PortabilityRecord {
  bool supported = false;
  bool on = false;
  char key = '*';  // the portability character, worked out at each reading
  bool read = false;
  bool changed = false;
};

struct ProviderServices {
  ProviderServices();

  std::array<ProviderService, kServiceCount> services;
  std::array<LineFunction, kLineFunctionCount> lineFunctions;
  AdapterSetting showNumberAsDefault;  // with record 0
  AdapterSetting onlyVoiceCalls;       // with the records of kind kVoiceOnlySetting
  ClosedUserGroupRecord closedUserGroup;
  DataPortRecord dataPort;
  PortabilityRecord portability;

  // Before a reading: forgets what the last opening learnt (supported,
  // read, changed, the numbers); the on flags and codes stay.
  void ForgetOpening();
  // When the page is left: releases the numbers.
  void Release();
};

// String ids of the groups' list entries and help texts.
inline constexpr int kMultipleLinesName = 2299;
inline constexpr int kClosedUserGroupName = 2301;
inline constexpr int kDataPortName = 2293;
inline constexpr int kPortabilityName = 2300;
inline constexpr int kShowNumberName = 2307;
inline constexpr int kOnlyVoiceCallsName = 2268;

}  // namespace norix::services
