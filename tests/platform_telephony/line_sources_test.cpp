// Where line devices come from: lines.conf parsing and its problems, USB
// devices under a by-id folder, and the order and duplicates across sources.
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "platform/telephony/line_directory.h"
#include "platform/telephony/lines_conf.h"
#include "platform/telephony/serial_by_id.h"
#include "support/temp_dir.h"

namespace norix::platform::telephony {
namespace {

using testing::TempDir;

TEST(ApiRange, VersionsAndRanges) {
  const auto range = ParseApiRange(" 1.3 - 1.4 ");
  ASSERT_TRUE(range);
  EXPECT_EQ(range->low, kApiVersion13);
  EXPECT_EQ(range->high, kApiVersion14);
  const auto single = ParseApiRange("1.4");
  ASSERT_TRUE(single);
  EXPECT_EQ(single->low, kApiVersion14);
  EXPECT_EQ(single->high, kApiVersion14);
  EXPECT_EQ(ParseApiRange("2.0")->low, 0x00020000U);
  for (const char* bad : {"", "1", "1.4-1.3", "1.x", "1.3-", "-1.4", "65536.0", "1.3-1.4-1.5"}) {
    EXPECT_FALSE(ParseApiRange(bad)) << bad;
  }
  EXPECT_EQ(ApiVersionText(kApiVersion13), "1.3");
}

TEST(LinesConf, GoodFileGivesItsDevicesInOrder) {
  const LinesConf conf = ParseLinesConf(
      "# NORIX products\r\n"
      "[line]\r\n"
      "name = NORIX Corvid 560V USB\r\n"
      "port = /dev/ttyUSB0\r\n"
      "\n"
      "[ Line ]\n"
      "; a PC Card modem\n"
      "NAME=NORIX Marlin 56K  \n"
      "Port=/dev/ttyS1\n"
      "api = 1.3\n"
      "driver-key = \"Modem\\0003 \"\n",
      "lines.conf");
  EXPECT_TRUE(conf.problems.empty()) << conf.problems.front();
  ASSERT_EQ(conf.devices.size(), 2U);
  EXPECT_EQ(
      conf.devices[0],
      (LineDevice{"NORIX Corvid 560V USB", "/dev/ttyUSB0", kApiVersion13, kApiVersion14, {}}));
  EXPECT_EQ(conf.devices[1], (LineDevice{"NORIX Marlin 56K", "/dev/ttyS1", kApiVersion13,
                                         kApiVersion13, std::string("Modem\\0003 ")}));
}

struct BadCase {
  std::string name;
  std::string text;
  std::string problem;  // expected in the single problem, after "f.conf:<line>: "
  int line;
  std::size_t devicesKept;
};

void PrintTo(const BadCase& c, std::ostream* os) { *os << c.name; }

class LinesConfProblems : public ::testing::TestWithParam<BadCase> {};

// Each file has one good device before the faulty part and one after it.
TEST_P(LinesConfProblems, ReportedWithFileAndLineWhileGoodDevicesCount) {
  const BadCase& c = GetParam();
  const std::string text = std::string("[line]\nname = NORIX A\nport = /dev/a\n") + c.text +
                           "\n[line]\nname = NORIX Z\nport = /dev/z\n";
  const LinesConf conf = ParseLinesConf(text, "f.conf");
  ASSERT_EQ(conf.problems.size(), 1U) << ::testing::PrintToString(conf.problems);
  EXPECT_EQ(conf.problems[0].rfind("f.conf:" + std::to_string(c.line) + ": ", 0), 0U)
      << conf.problems[0];
  EXPECT_NE(conf.problems[0].find(c.problem), std::string::npos) << conf.problems[0];
  ASSERT_EQ(conf.devices.size(), c.devicesKept);
  EXPECT_EQ(conf.devices.front().name, "NORIX A");
  EXPECT_EQ(conf.devices.back().name, "NORIX Z");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LinesConfProblems,
    ::testing::Values(
        BadCase{"NoEquals", "[line]\nname = NORIX B\nport /dev/b", "expected \"key = value\"", 6,
                2},
        BadCase{"UnknownKey", "[line]\nname = NORIX B\nport = /dev/b\nspeed = 9600",
                "unknown key \"speed\"", 7, 2},
        BadCase{"BadApi", "[line]\nname = NORIX B\nport = /dev/b\napi = 1.4-1.3",
                "bad API version \"1.4-1.3\"", 7, 2},
        BadCase{"MissingPort", "[line]\nname = NORIX B", "[line] without \"port\"", 4, 2},
        BadCase{"MissingName", "[line]\nport = /dev/b", "[line] without \"name\"", 4, 2},
        BadCase{"RelativePort", "[line]\nname = NORIX B\nport = ttyS0", "absolute path", 4, 2},
        BadCase{"KeyTwice", "[line]\nname = NORIX B\nname = NORIX C\nport = /dev/b",
                "\"name\" given twice", 6, 2},
        BadCase{"UnknownSection", "[modem]\nname = NORIX B\nport = /dev/b",
                "unknown section [modem]", 4, 2},
        BadCase{"UnclosedHeader", "[line\nname = NORIX B\nport = /dev/b", "without closing ]", 4,
                2},
        // What a damaged file said comes out escaped and cut, never raw.
        BadCase{"BinaryKey", "[line]\nname = NORIX B\nport = /dev/b\n\x1b[2J\xff\t= 1",
                "unknown key \"\\x1b[2j\\xff\" (", 7, 2},
        BadCase{"LongSection", "[" + std::string(500, 'x') + "\x07]\nname = NORIX B",
                "unknown section [" + std::string(60, 'x') + "...] (", 4, 2}),
    [](const ::testing::TestParamInfo<BadCase>& param) { return param.param.name; });

TEST(LinesConf, ProblemInsideASectionNamesItAndDropsOnlyIt) {
  const LinesConf conf =
      ParseLinesConf("port = /dev/x\n[line]\nname = NORIX B\nport = /dev/b\nspeed = 1\n", "g");
  ASSERT_EQ(conf.problems.size(), 2U);
  EXPECT_EQ(conf.problems[0], "g:1: \"port\" before the first [line] header; ignored");
  EXPECT_EQ(conf.problems[1],
            "g:5: unknown key \"speed\" (known: name, port, api, driver-key); the line device of "
            "line 2 is ignored");
  EXPECT_TRUE(conf.devices.empty());
}

TEST(LinesConf, ReadingFiles) {
  const TempDir dir;
  EXPECT_TRUE(ReadLinesConf(dir.Path() / "missing.conf").problems.empty());
  const LinesConf directory = ReadLinesConf(dir.Path());
  ASSERT_EQ(directory.problems.size(), 1U);
  EXPECT_NE(directory.problems[0].find("cannot read"), std::string::npos);
  const auto file = dir.Write("lines.conf", "[line]\nname = NORIX A\nport = /dev/a\nbad line\n");
  const LinesConf read = ReadLinesConf(file);
  EXPECT_EQ(read.devices.size(), 0U);
  ASSERT_EQ(read.problems.size(), 1U);
  EXPECT_EQ(read.problems[0].rfind(file.string() + ":4: ", 0), 0U) << read.problems[0];
}

TEST(SerialById, ReadableNames) {
  EXPECT_EQ(ReadableNameFromById("usb-NORIX_Corvid_560V_USB_0123456789-if00-port0"),
            "NORIX Corvid 560V USB");
  EXPECT_EQ(ReadableNameFromById("usb-NORIX_Corvid_560V_USB-if00"), "NORIX Corvid 560V USB");
  EXPECT_EQ(ReadableNameFromById("usb-NORIX\\x20GmbH_solano_1280_A1B2C3D4-if02"),
            "NORIX GmbH solano 1280");
  EXPECT_EQ(ReadableNameFromById("pci-NORIX_Marlin_56000"), "NORIX Marlin 56000");
  EXPECT_EQ(ReadableNameFromById("NORIX"), "NORIX");
  EXPECT_EQ(ReadableNameFromById("usb-NORIX_\\x01bad\\x2"), "NORIX  bad\\x2");
}

// A by-id folder as udev makes it: links to character devices.
class SerialByIdFolder : public ::testing::Test {
 protected:
  void Link(const std::string& name, const std::filesystem::path& target) {
    std::filesystem::create_symlink(target, dir.Path() / "by-id" / name);
  }
  void SetUp() override { std::filesystem::create_directories(dir.Path() / "by-id"); }
  TempDir dir;
};

TEST_F(SerialByIdFolder, OnlyTheMakersCharacterDevicesInNameOrder) {
  Link("usb-norix_Marlin_PC_Card_99887766-if00", "/dev/null");
  Link("usb-Acme_Modem_1234567-if00-port0", "/dev/null");
  Link("usb-NORIX_Corvid_560V_USB_0123456789-if00-port0", "/dev/zero");
  Link("usb-NORIX_Gone_0123456789-if00", dir.Path() / "nothing");
  dir.Write("by-id/usb-NORIX_plain_file", "");
  const auto devices = ScanSerialById(dir.Path() / "by-id", "NORIX");
  ASSERT_EQ(devices.size(), 2U);
  EXPECT_EQ(devices[0].name, "NORIX Corvid 560V USB");
  EXPECT_EQ(devices[0].port,
            (dir.Path() / "by-id" / "usb-NORIX_Corvid_560V_USB_0123456789-if00-port0").string());
  EXPECT_EQ(devices[1].name, "norix Marlin PC Card");
  EXPECT_TRUE(ScanSerialById(dir.Path() / "missing", "NORIX").empty());
}

TEST_F(SerialByIdFolder, DirectoryListsFilesThenUsbThenAddedWithoutDuplicatePorts) {
  Link("usb-NORIX_Corvid_560V_USB_0123456789-if00-port0", "/dev/null");  // same as the file's
  Link("usb-NORIX_Corvid_560V_USB_0123456789-if02-port0", "/dev/zero");
  Link("usb-NORIX_Corvid_560V_USB_0123456789-if04-port0", "/dev/full");
  const auto user = dir.Write("xdg/norix/lines.conf",
                              "[line]\nname = NORIX Corvid 560V USB\nport = /dev/null\n"
                              "[line]\nname = broken\n");
  const auto system = dir.Write("etc/lines.conf", "[line]\nname = NORIX System\nport = /dev/tty\n");
  std::ostringstream diagnostics;
  LineDirectory directory({{user, system}, dir.Path() / "by-id", "NORIX"}, diagnostics);
  EXPECT_EQ(directory.AddLine({"NORIX Simulated", "/dev/pts/999", kApiVersion14, kApiVersion14,
                               std::string("Sim\\0001")}),
            "");
  EXPECT_NE(directory.AddLine({"", "/dev/x", kApiVersion13, kApiVersion14, {}}), "");
  EXPECT_NE(directory.AddLine({"NORIX X", "relative", kApiVersion13, kApiVersion14, {}}), "");

  const auto devices = directory.Collect();
  std::vector<std::string> names;
  names.reserve(devices.size());
  for (const auto& device : devices) {
    names.push_back(device.name);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"NORIX Corvid 560V USB", "NORIX System",
                                             "NORIX Corvid 560V USB 2", "NORIX Corvid 560V USB 3",
                                             "NORIX Simulated"}));
  EXPECT_EQ(devices.back().driverKey, "Sim\\0001");
  EXPECT_EQ(diagnostics.str(),
            user.string() + ":4: [line] without \"port\"; the line device is ignored\n");
}

TEST(UserLinesFile, XdgFirstThenHome) {
  EXPECT_EQ(UserLinesFile("/x/cfg", "/home/u", "norix"), "/x/cfg/norix/lines.conf");
  EXPECT_EQ(UserLinesFile("", "/home/u", "norix"), "/home/u/.config/norix/lines.conf");
  EXPECT_EQ(UserLinesFile("relative", "/home/u", "norix"), "/home/u/.config/norix/lines.conf");
  EXPECT_EQ(UserLinesFile(nullptr, nullptr, "norix"), "");
}

}  // namespace
}  // namespace norix::platform::telephony
