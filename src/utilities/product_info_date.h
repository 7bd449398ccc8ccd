// The firmware date of a product: which command asks for it, how the
// answers are read, and how the date is written in the user's date order.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "device/adapter_features.h"
#include "platform/comm/port.h"
#include "platform/profile/user_profile.h"

namespace norix::utilities {

struct FirmwareDate {
  std::string month;  // a month name ("March") or the adapter's month word cut to 3 ("Mar")
  long day = 0;
  long year = 0;
};

// The date query: "AT?DATE" for an ISDN adapter that is not a KOMET II;
// "AT+GMR?" for any other product with "+GCI" support, else "AT#REV?".
[[nodiscard]] std::string_view FirmwareDateQuery(const device::AdapterFeatures& features,
                                                 bool gciSupport);

// An ISDN adapter's "AT?DATE" answer: the date after the first colon and a
// blank as month, day and year words, e.g. "Firmware date: March 12 1999".
// The month word is cut to its first 3 characters. None when the answer has
// no colon or lacks a word, or the day or year is no number.
[[nodiscard]] std::optional<FirmwareDate> ParseAdapterDateAnswer(std::string_view answer);

// A revision answer ("AT+GMR?" / "AT#REV?") that ends in a date word YYMMDD
// after a blank, e.g. "V1.10 990312". YY from 90 on is 19YY, below it 20YY;
// MM names the month by `monthNames` (13 entries, index 0 for an impossible
// month). None when there is no such word or the month is not 1 to 12.
[[nodiscard]] std::optional<FirmwareDate> ParseRevisionDateAnswer(
    std::string_view answer, std::span<const std::string> monthNames);

// The user's date order: "sShortDate" of "Intl" (at most 19 characters),
// or "sLongDate" when that is empty.
[[nodiscard]] std::string UserDateOrder(const platform::profile::UserProfile& profile);

// Writes the date in `order` ("dd-MM-yy", "M/d/yy", "d. MMMM yyyy"; letters
// without regard to case): each run of d, m or y gives the day, the month
// text or the whole year, written as value and blank at the format's first
// position and as blank, value and blank elsewhere; one character after a
// run is its separator and skipped. 12 March 1999 in dd-MM-yy is
// "12  March  1999 ". An order without any of the three letters writes the
// date in platform::profile::kDefaultShortDate.
[[nodiscard]] std::string FormatFirmwareDate(std::string_view order, const FirmwareDate& date);

// Asks the product for its firmware date with a read time-out of 6000 ms
// (restored afterwards) and writes it in the user's date order, at most
// kFirmwareDateChars characters; "N/A" when the answer holds no date.
// Blocks the calling thread for the exchange (up to about 6 s).
[[nodiscard]] std::string ReadFirmwareDate(platform::comm::Port* port,
                                           const device::AdapterFeatures& features, bool gciSupport,
                                           std::span<const std::string> monthNames,
                                           const platform::profile::UserProfile& profile);

}  // namespace norix::utilities
