// The subscriber number slots of an ISDN adapter: reading one slot and
// writing (or erasing) it, as the MSN pages and the adapter upgrade do. A
// slot is addressed by its AT command stem ("AT&Z*0"): the stem and "?"
// reads it, the stem, "=" and the digits writes it, the stem and "=" alone
// erases it. Every call blocks the calling thread for one exchange (up to
// the port's read time-outs when the adapter is silent).
//
// Example exchanges (echo on):
//   "AT&Z*0?\r" -> "AT&Z*0?\r" "\r\n4711\r\n" "\r\nOK\r\n"   a stored number
//   "AT&Z*2?\r" -> "AT&Z*2?\r" "\r\nOK\r\n"                  an empty slot
//   "AT&Z*4=0401234567\r" -> "AT&Z*4=0401234567\r" "\r\nOK\r\n"
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "link/at_exchange.h"
#include "platform/comm/port.h"

namespace norix::device {

// The longest subscriber number the adapters store and the pages accept.
inline constexpr std::size_t kMsnMaxDigits = 20;

// The slots of a solano adapter: three for its data side ("Adapter") and
// three for its analogue telephone port, each group in the order in which
// its slots are given out.
inline constexpr std::array<std::string_view, 3> kAdapterSlotStems{"AT&Z*0", "AT&Z*2", "AT&Z*4"};
inline constexpr std::array<std::string_view, 3> kPortSlotStems{"AT&Z*1", "AT&Z*3", "AT&Z*5"};

// What a slot query found.
enum class SlotState : std::uint8_t {
  kNumber,   // the adapter holds `number`
  kEmpty,    // the adapter holds nothing in the slot
  kUnknown,  // no usable answer: silence, ERROR, no final OK, or not a number
};

struct SlotReading {
  SlotState state = SlotState::kUnknown;
  std::string number;  // digits only; empty unless state is kNumber
};

// A reply line up to its last carriage return: "4711\r\n" gives "4711".
[[nodiscard]] std::string_view ReplyLineText(std::string_view reply);

// Classifies the answer to a slot query: `reply` is the first reply line as
// SendAtCommand hands it back (with its line end), `result` its result. A
// slot counts as read only when the answer ended with OK: a line beginning
// with "OK" is an empty slot, a line of digits a number. Anything else (an
// ERROR, a garbled line, a number without the final OK) is unknown, so a
// reply is never taken for a number it is not. So is a number of more than
// `maxDigits` digits: a field that takes fewer would cut it, and OK would
// write the cut number back.
[[nodiscard]] SlotReading ClassifySlotReply(link::AtResult result, std::string_view reply,
                                            std::size_t maxDigits = kMsnMaxDigits);

// Reads the slot of `stem`. Input waiting on the port is discarded first, so
// a line left over from an earlier exchange cannot pass for this slot's.
[[nodiscard]] SlotReading ReadNumberSlot(platform::comm::Port* port, std::string_view stem,
                                         std::size_t maxDigits = kMsnMaxDigits);

// Writes `digits` into the slot of `stem`; an empty text erases the slot.
// Input waiting on the port is discarded first. Returns the adapter's answer:
// Ok when it stored the number. The caller checks the text (IsNumberText).
link::AtResult WriteNumberSlot(platform::comm::Port* port, std::string_view stem,
                               std::string_view digits);

// Whether `text` is a whole number the adapter can store: 1 to `maxDigits`
// characters, every one of them a digit. Nothing else may follow a stem's
// "=" (a text from a field could otherwise add commands or parameters).
[[nodiscard]] bool IsNumberText(std::string_view text, std::size_t maxDigits);

// Sends `command` after discarding waiting input; the answer's result.
// For the adapters' other setting commands that are written the same way.
link::AtResult SendSettingCommand(platform::comm::Port* port, std::string_view command,
                                  std::string& reply);

}  // namespace norix::device
