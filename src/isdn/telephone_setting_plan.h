// How the Telephone setting page maps its four rows onto the six number
// slots of a solano adapter with an analogue telephone port: the rows that
// the slots read back make, and the writes that OK sends for the rows the
// user ticked. A slot whose number the page cannot show (it could not be
// read, or its number is a fifth one) is reserved: never given out and never
// erased, so OK cannot lose a number the user never saw.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "device/msn_exchange.h"

namespace norix::isdn {

inline constexpr std::size_t kTelephoneRows = 4;
inline constexpr std::size_t kSlotsPerSide = 3;

enum class Side : std::uint8_t { kAdapter = 0, kPort = 1 };
inline constexpr std::array<Side, 2> kSides{Side::kAdapter, Side::kPort};

// One row: its number and the sides it is ticked for.
struct TelephoneRow {
  std::string number;
  bool adapter = false;
  bool port = false;

  [[nodiscard]] bool On(Side side) const { return side == Side::kAdapter ? adapter : port; }
};

// The slots of each side that OK must leave alone, by slot position.
using ReservedSlots = std::array<std::array<bool, kSlotsPerSide>, 2>;

struct TelephoneReading {
  std::vector<TelephoneRow> rows;  // at most kTelephoneRows, in list order
  ReservedSlots reserved{};
  [[nodiscard]] bool AnyReserved() const;
};

// The rows of the readings of the adapter's slots and of the telephone
// port's slots (each in stem order): every number of the adapter side is a
// row of its own; a number of the port side ticks the first row with the
// same number or becomes a new row.
[[nodiscard]] TelephoneReading BuildTelephoneRows(
    const std::array<device::SlotReading, kSlotsPerSide>& adapter,
    const std::array<device::SlotReading, kSlotsPerSide>& port);

// One command of OK: the slot's stem and what goes after its "=", and for
// whom (row none: the erasure of a slot no row uses).
struct SlotWrite {
  std::string_view stem;
  std::string number;
  std::optional<std::size_t> row;
  Side side = Side::kAdapter;

  [[nodiscard]] std::string Command() const { return std::string(stem) + "=" + number; }
};

struct TelephonePlan {
  std::vector<SlotWrite> writes;
  // A side whose ticked rows need more slots than it has free: nothing may
  // be written.
  std::optional<Side> full;
};

// Firmware with read-back: for rows in order, the next free slot of each
// ticked side (the adapter side first) gets the row's number; then every
// free slot no row took is erased, pair by pair (slots 0 and 1, 2 and 3, 4
// and 5), the adapter's slot of a pair first.
[[nodiscard]] TelephonePlan PlanTelephoneWrites(const std::vector<TelephoneRow>& rows,
                                                const ReservedSlots& reserved);

// Older firmware: row 1 alone on the first slot of each side; the side that
// is not ticked is erased first. At least one side must be ticked.
[[nodiscard]] TelephonePlan PlanSingleRowWrites(const TelephoneRow& row);

}  // namespace norix::isdn
