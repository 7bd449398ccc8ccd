#include "utilities/line_test_plan.h"

namespace norix::utilities {

namespace {

constexpr int kIsdnTestCompleteText = 2053;
constexpr int kIsdnLineWorkingText = 2054;
constexpr int kTelecomLineOkText = 2097;  // with the loudspeaker hint
constexpr int kLineOkText = 2098;
constexpr int kUnknownErrorText = 2100;
constexpr int kNoDialToneText = 2199;
constexpr int kNoIsdnLineText = 2200;

}  // namespace

std::string_view LineTestSetupCommand(const LineTestProduct& product) {
  return product.features.komet ? "ATE0X4S7=3" : "ATE0X4S6=4";
}

std::string_view VolumeQuery(const LineTestProduct& product) {
  return product.gciSupport ? "AT+VOL?" : "AT#VOL?";
}

std::string VolumeSetting(const LineTestProduct& product, char level) {
  std::string command = product.gciSupport ? "AT+VOL=4" : "AT#VOL=4";
  command[7] = level;
  return command;
}

std::string_view DialCommand(const LineTestProduct& product) {
  const device::AdapterFeatures& f = product.features;
  if (!f.isdnAdapter) {
    return "ATDT";
  }
  if (f.internalModem) {
    return "ATDM";
  }
  return f.komet ? "ATD" : "ATDT1";
}

bool HangsUpAfterTest(const LineTestProduct& product) {
  const device::AdapterFeatures& f = product.features;
  return f.isdnAdapter && !f.internalModem && !f.komet;
}

std::uint16_t ClassifyDialAnswer(std::string_view line) {
  if (line.find("NO CARRIER") != std::string_view::npos) {
    return kLineWorking;
  }
  if (line.find("NO DIALTONE") != std::string_view::npos) {
    return kLineNoDialTone;
  }
  return kLineUndetermined;
}

int LineTestResultText(std::uint16_t outcome, const device::AdapterFeatures& features,
                       std::string_view productName) {
  if (features.isdnAdapter && features.internalModem) {
    return kIsdnTestCompleteText;
  }
  if (outcome == kLineNoDialTone) {
    return features.isdnAdapter ? kNoIsdnLineText : kNoDialToneText;
  }
  if (outcome == kLineWorking) {
    if (features.isdnAdapter) {
      return kIsdnLineWorkingText;
    }
    const bool loudspeakerHint = productName.find("corvid") != std::string_view::npos ||
                                 productName.find("USB") != std::string_view::npos;
    return loudspeakerHint ? kTelecomLineOkText : kLineOkText;
  }
  return kUnknownErrorText;
}

}  // namespace norix::utilities
