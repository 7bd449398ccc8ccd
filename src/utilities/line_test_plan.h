// What the line test sends to a product and what it makes of the answer:
// the commands by product kind, the outcome of the reply line, and the text
// the page shows for an outcome.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "device/adapter_features.h"

namespace norix::utilities {

// Test outcomes, passed from the worker to the page in the low 16 bits of
// the line test message's wParam.
inline constexpr std::uint16_t kLineNoDialTone = 0;
inline constexpr std::uint16_t kLineWorking = 1;
inline constexpr std::uint16_t kLineUndetermined = 0xFFFF;

// What the test needs to know about the product; copied for the worker when
// the test starts, so that it shares nothing with the page.
struct LineTestProduct {
  bool gciSupport = false;
  device::AdapterFeatures features;
};

// "ATE0X4S7=3" for a KOMET II, "ATE0X4S6=4" for every other product.
[[nodiscard]] std::string_view LineTestSetupCommand(const LineTestProduct& product);
// "AT+VOL?" with "+GCI" support, else "AT#VOL?".
[[nodiscard]] std::string_view VolumeQuery(const LineTestProduct& product);
// "AT+VOL=<level>" with "+GCI" support, else "AT#VOL=<level>".
[[nodiscard]] std::string VolumeSetting(const LineTestProduct& product, char level);
// "ATDT" for an analogue modem, "ATDM" for an ISDN adapter with internal
// modem, "ATD" for a KOMET II, "ATDT1" for any other ISDN adapter.
[[nodiscard]] std::string_view DialCommand(const LineTestProduct& product);
// Whether the call is hung up with "ATH" after the test: ISDN adapters that
// have no internal modem and are not a KOMET II.
[[nodiscard]] bool HangsUpAfterTest(const LineTestProduct& product);

// kLineWorking for a line holding "NO CARRIER", else kLineNoDialTone for
// one holding "NO DIALTONE", else kLineUndetermined.
[[nodiscard]] std::uint16_t ClassifyDialAnswer(std::string_view line);

// The text number the page shows for an outcome.
[[nodiscard]] int LineTestResultText(std::uint16_t outcome, const device::AdapterFeatures& features,
                                     std::string_view productName);

}  // namespace norix::utilities
