// The installed udev rule and the program agree on which USB serial devices
// are the maker's: the rule matches ID_SERIAL, of which udev makes the
// /dev/serial/by-id link name ("usb-" ID_SERIAL "-ifNN[-portN]"), and the
// program looks for its word in that name.
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include <fnmatch.h>
#include <gtest/gtest.h>

#include "link/telephony_devices.h"
#include "platform/telephony/line_directory.h"
#include "platform/telephony/serial_by_id.h"
#include "support/temp_dir.h"

namespace norix::platform::telephony {
namespace {

// The glob the rule requires of ID_SERIAL.
std::string RuleSerialPattern() {
  std::ifstream rule(std::filesystem::path(NORIX_SOURCE_DIR) /
                     "src/resources/desktop/70-norix-config.rules");
  const std::regex condition(R"re(^ENV\{ID_SERIAL\}!="([^"]+)", GOTO="norix_config_end"$)re");
  for (std::string line; std::getline(rule, line);) {
    std::smatch match;
    if (std::regex_match(line, match, condition)) {
      return match[1];
    }
  }
  return {};
}

TEST(UdevRuleTest, TagsExactlyTheDevicesTheProgramLists) {
  const std::string pattern = RuleSerialPattern();
  ASSERT_FALSE(pattern.empty()) << "no ID_SERIAL condition in the rule";
  const std::vector<std::string> serials = {
      "NORIX_Corvid_560V_USB_0123456789",
      "norix_Marlin_PC_Card_99887766",
      "Norix_solano_1280i_ABC123",
      "Acme_NORI_X_Modem_1234567",
      "Acme_Modem_1234567",
      "ACME_SNORIXE_42",
  };
  const testing::TempDir dir;
  std::filesystem::create_directories(dir.Path() / "by-id");
  for (const std::string& serial : serials) {
    std::filesystem::create_symlink("/dev/null",
                                    dir.Path() / "by-id" / ("usb-" + serial + "-if00-port0"));
  }
  const std::string word = norix::link::ProductLineSources().usbNameWord;
  const auto listed = ScanSerialById(dir.Path() / "by-id", word);
  for (const std::string& serial : serials) {
    const bool tagged = fnmatch(pattern.c_str(), serial.c_str(), 0) == 0;
    bool found = false;
    for (const LineDevice& device : listed) {
      found =
          found || std::filesystem::path(device.port).filename() == "usb-" + serial + "-if00-port0";
    }
    EXPECT_EQ(tagged, found) << serial;
  }
  EXPECT_EQ(listed.size(), 4U);
}

}  // namespace
}  // namespace norix::platform::telephony
