// Which line devices the context lists: the maker's names, the name fix-up,
// the API version rule, and the sources the line service reads.
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "link/telephony_devices.h"
#include "support/temp_dir.h"

namespace norix::link {
namespace {

using platform::telephony::LineDirectory;
using platform::telephony::LineSources;
using platform::telephony::UserLinesFile;
using testing::TempDir;

std::vector<std::byte> Bytes(std::string_view text) {
  std::vector<std::byte> bytes;
  for (const char c : text) {
    bytes.push_back(static_cast<std::byte>(c));
  }
  return bytes;
}

TEST(LineName, FixUpOfTerminatedAndUnterminatedNames) {
  using namespace std::string_view_literals;
  EXPECT_EQ(TakeLineName(Bytes("NORIX corvid 560V USB\0"sv)), "NORIX Corvid 560V USB");
  EXPECT_EQ(TakeLineName(Bytes("corvid corvid\0"sv)), "Corvid corvid");
  EXPECT_EQ(TakeLineName(Bytes("NORIX CORVID\0"sv)), "NORIX CORVID");
  // The last byte of an unterminated name gives way to the terminator, and
  // such a name is not fixed up.
  EXPECT_EQ(TakeLineName(Bytes("NORIX corvid 560V"sv)), "NORIX corvid 560");
  EXPECT_EQ(TakeLineName(Bytes("NORIX\0rest\0"sv)), "NORIX");
  EXPECT_EQ(TakeLineName(Bytes("\0"sv)), "");
  EXPECT_EQ(TakeLineName({}), "");
}

TEST(LineName, MakersNamesBeginWithTheMakersWord) {
  for (const char* name : {"NORIX Corvid 560V USB", "norix", "NoRiX Marlin", "solano 1280",
                           "Solano 1280 TA/a", "SOLANO 1280X"}) {
    EXPECT_TRUE(IsMakersDevice(name)) << name;
  }
  for (const char* name :
       {"", "NORI", " NORIX", "Acme NORIX Modem", "solano 128", "solano  1280", "solano"}) {
    EXPECT_FALSE(IsMakersDevice(name)) << name;
  }
}

class DeviceList : public ::testing::Test {
 protected:
  std::unique_ptr<ModemContext> Open(const std::string& linesConf) {
    const auto file =
        UserLinesFile(dir.Path().string().c_str(), nullptr, std::string(link::kConfigFolder));
    dir.Write(file.lexically_relative(dir.Path()), linesConf);
    directory = std::make_unique<LineDirectory>(LineSources{{file}, dir.Path() / "by-id", "NORIX"},
                                                diagnostics);
    return OpenContext(*directory);
  }

  static std::vector<std::string> Names(const ModemContext& context) {
    std::vector<std::string> names;
    for (const auto& entry : context.devices) {
      names.push_back(entry.name + " #" + std::to_string(entry.lineDeviceId));
    }
    return names;
  }

  TempDir dir;
  std::ostringstream diagnostics;
  std::unique_ptr<LineDirectory> directory;
};

TEST_F(DeviceList, ListsTheMakersDevicesWithTheirLineDeviceIds) {
  std::filesystem::create_directories(dir.Path() / "by-id");
  std::filesystem::create_symlink("/dev/null",
                                  dir.Path() / "by-id" / "usb-NORIX_Marlin_56K_A1B2C3D4-if00");
  auto context = Open(
      "[line]\nname = NORIX corvid 560V USB\nport = /dev/norix-test-0\n"
      "[line]\nname = solano 1280 TA/a with analogue port\nport = /dev/norix-test-1\n"
      "[line]\nname = Acme NORIX Modem\nport = /dev/norix-test-2\n"
      "[line]\nname = norix Netrunner 56000 Voice\nport = /dev/norix-test-3\n"
      "[line]\nname = NORIX Old Modem\nport = /dev/norix-test-4\napi = 1.3\n"
      "[line]\nname = SOLANO 1280\nport = /dev/norix-test-5\n"
      "[line]\nname = solano 128 ISDN\nport = /dev/norix-test-6\n"
      "[line]\nname = NORIX Broken\nport = /dev/norix-test-7\nthis line is malformed\n"
      "[line]\nname = NORIX Future\nport = /dev/norix-test-8\napi = 1.4-3.0\n");
  ASSERT_NE(context, nullptr);
  EXPECT_EQ(Names(*context),
            (std::vector<std::string>{"NORIX Corvid 560V USB #0",
                                      "solano 1280 TA/a with analogue port #1",
                                      "norix Netrunner 56000 Voice #3", "SOLANO 1280 #5",
                                      "NORIX Future #7", "NORIX Marlin 56K #8"}));
  EXPECT_EQ(context->lineDeviceCount, 9U);
  EXPECT_EQ(context->ProductCount(), 6U);
  EXPECT_NE(diagnostics.str().find("lines.conf:26: expected \"key = value\""), std::string::npos)
      << diagnostics.str();
  CloseContext(std::move(context));
}

TEST_F(DeviceList, NoContextWithoutAMakersDevice) {
  EXPECT_EQ(Open("[line]\nname = Acme Modem\nport = /dev/norix-test-0\n"
                 "[line]\nname = NORIX 1.3 only\nport = /dev/norix-test-1\napi = 1.0-1.3\n"),
            nullptr);
  EXPECT_EQ(Open(""), nullptr);
}

}  // namespace
}  // namespace norix::link
