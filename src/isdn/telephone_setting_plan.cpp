#include "isdn/telephone_setting_plan.h"

#include <algorithm>

namespace norix::isdn {

namespace {

using device::SlotState;

std::size_t SideIndex(Side side) { return static_cast<std::size_t>(side); }

const std::array<std::string_view, kSlotsPerSide>& Stems(Side side) {
  return side == Side::kAdapter ? device::kAdapterSlotStems : device::kPortSlotStems;
}

// A number read back and the slots it came from.
struct ListEntry {
  TelephoneRow row;
  std::array<std::optional<std::size_t>, 2> slots{};
};

}  // namespace

bool TelephoneReading::AnyReserved() const {
  return std::any_of(reserved.begin(), reserved.end(), [](const auto& side) {
    return std::find(side.begin(), side.end(), true) != side.end();
  });
}

TelephoneReading BuildTelephoneRows(const std::array<device::SlotReading, kSlotsPerSide>& adapter,
                                    const std::array<device::SlotReading, kSlotsPerSide>& port) {
  TelephoneReading reading;
  std::vector<ListEntry> list;
  for (std::size_t slot = 0; slot < kSlotsPerSide; ++slot) {
    if (adapter[slot].state == SlotState::kUnknown) {
      reading.reserved[SideIndex(Side::kAdapter)][slot] = true;
    } else if (adapter[slot].state == SlotState::kNumber) {
      ListEntry entry{{adapter[slot].number, true, false}, {}};
      entry.slots[SideIndex(Side::kAdapter)] = slot;
      list.push_back(entry);
    }
  }
  for (std::size_t slot = 0; slot < kSlotsPerSide; ++slot) {
    if (port[slot].state == SlotState::kUnknown) {
      reading.reserved[SideIndex(Side::kPort)][slot] = true;
      continue;
    }
    if (port[slot].state != SlotState::kNumber) {
      continue;
    }
    const auto same = std::find_if(list.begin(), list.end(), [&](const ListEntry& entry) {
      return entry.row.number == port[slot].number && !entry.row.port;
    });
    if (same != list.end()) {
      same->row.port = true;
      same->slots[SideIndex(Side::kPort)] = slot;
    } else {
      ListEntry entry{{port[slot].number, false, true}, {}};
      entry.slots[SideIndex(Side::kPort)] = slot;
      list.push_back(entry);
    }
  }
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (i < kTelephoneRows) {
      reading.rows.push_back(list[i].row);
      continue;
    }
    // No row to show it in: its slots keep it.
    for (const Side side : kSides) {
      if (const auto slot = list[i].slots[SideIndex(side)]) {
        reading.reserved[SideIndex(side)][*slot] = true;
      }
    }
  }
  return reading;
}

TelephonePlan PlanTelephoneWrites(const std::vector<TelephoneRow>& rows,
                                  const ReservedSlots& reserved) {
  TelephonePlan plan;
  for (const Side side : kSides) {
    const auto& sideReserved = reserved[SideIndex(side)];
    const auto free =
        static_cast<std::size_t>(std::count(sideReserved.begin(), sideReserved.end(), false));
    const auto ticked = static_cast<std::size_t>(std::count_if(
        rows.begin(), rows.end(), [side](const TelephoneRow& row) { return row.On(side); }));
    if (ticked > free) {
      plan.full = side;
      return plan;
    }
  }
  ReservedSlots used = reserved;  // taken or kept: neither given out nor erased
  const auto take = [&](Side side) -> std::optional<std::size_t> {
    auto& sideUsed = used[SideIndex(side)];
    const auto slot = std::find(sideUsed.begin(), sideUsed.end(), false);
    if (slot == sideUsed.end()) {
      return std::nullopt;
    }
    *slot = true;
    return static_cast<std::size_t>(slot - sideUsed.begin());
  };
  for (std::size_t row = 0; row < rows.size(); ++row) {
    for (const Side side : kSides) {
      if (!rows[row].On(side)) {
        continue;
      }
      if (const auto slot = take(side)) {
        plan.writes.push_back({Stems(side)[*slot], rows[row].number, row, side});
      }
    }
  }
  for (std::size_t slot = 0; slot < kSlotsPerSide; ++slot) {
    for (const Side side : kSides) {
      if (!used[SideIndex(side)][slot]) {
        plan.writes.push_back({Stems(side)[slot], {}, std::nullopt, side});
      }
    }
  }
  return plan;
}

TelephonePlan PlanSingleRowWrites(const TelephoneRow& row) {
  TelephonePlan plan;
  const auto write = [&](Side side) {
    plan.writes.push_back({Stems(side)[0], row.number, 0, side});
  };
  const auto erase = [&](Side side) {
    plan.writes.push_back({Stems(side)[0], {}, std::nullopt, side});
  };
  if (row.adapter && row.port) {
    write(Side::kAdapter);
    write(Side::kPort);
  } else if (row.port) {
    erase(Side::kAdapter);
    write(Side::kPort);
  } else if (row.adapter) {
    erase(Side::kPort);
    write(Side::kAdapter);
  }
  return plan;
}

}  // namespace norix::isdn
