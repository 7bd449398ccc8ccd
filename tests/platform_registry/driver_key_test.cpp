// Driver keys: their names and dates, seeding without touching what the
// store already holds, and the driver of a real tty read from a made-up
// kernel tree.
#include "platform/registry/driver_key.h"

#include <ctime>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/registry/tty_driver.h"
#include "registry_test_support.h"

namespace norix::platform::registry {
namespace {

using test::WriteFile;

const KeyNode* Driver(const KeyNode& root, std::string_view driverKey) {
  const std::vector<std::string> parts =
      SplitKeyPath(driverKey).value_or(std::vector<std::string>{});
  std::vector<std::string> path{"HKEY_LOCAL_MACHINE"};
  path.insert(path.end(), parts.begin(), parts.end());
  return FindKey(root, path);
}

TEST(DriverKey, NamesAndDates) {
  EXPECT_EQ(ModemDriverKey(1), "System\\CurrentControlSet\\Services\\Class\\Modem\\0001");
  EXPECT_EQ(ModemDriverKey(23), "System\\CurrentControlSet\\Services\\Class\\Modem\\0023");
  EXPECT_EQ(FormatDriverDate(2024, 3, 5), "3-5-2024");
  EXPECT_EQ(FormatDriverDate(1999, 12, 31), "12-31-1999");
  std::tm noon{};
  noon.tm_year = 2021 - 1900;
  noon.tm_mon = 5;
  noon.tm_mday = 15;
  noon.tm_hour = 12;
  noon.tm_isdst = -1;
  EXPECT_EQ(DriverDateOf(std::mktime(&noon)), "6-15-2021");

  EXPECT_FALSE(ProgramFileDate().empty());
}

TEST(DriverKey, SeedingAFreshStoreWritesTheDriverValuesAndInitStrings) {
  test::ScratchFolder folder;
  Registry registry(folder / "registry.reg");
  const std::string key = ModemDriverKey(1);
  ASSERT_EQ(SeedDriverKey(registry, key, {"norix-sim.inf", "3-14-2024", {"AT<cr>", "ATZ<cr>"}}),
            ERROR_SUCCESS);

  // Read the way the product information page reads them.
  HKEY driver{};
  ASSERT_EQ(registry.RegOpenKeyEx(HKEY_LOCAL_MACHINE, key, 0, KEY_QUERY_VALUE, &driver),
            ERROR_SUCCESS);
  std::array<char, 1024> text{};
  DWORD size = text.size();
  ASSERT_EQ(registry.RegQueryValueEx(driver, "InfPath", nullptr, text.data(), &size),
            ERROR_SUCCESS);
  EXPECT_STREQ(text.data(), "norix-sim.inf");
  size = text.size();
  ASSERT_EQ(registry.RegQueryValueEx(driver, "DriverDate", nullptr, text.data(), &size),
            ERROR_SUCCESS);
  EXPECT_STREQ(text.data(), "3-14-2024");

  const KeyNode root = registry.Snapshot();
  const KeyNode* init = Driver(root, key + "\\Init");
  ASSERT_NE(init, nullptr);
  EXPECT_EQ(init->values,
            (std::vector<RegValue>{RegValue::Text("1", "AT<cr>"), RegValue::Text("2", "ATZ<cr>")}));
  EXPECT_EQ(Driver(root, key + "\\InitPrevious"), nullptr);
}

TEST(DriverKey, SeedingNeverChangesWhatTheStoreHolds) {
  test::ScratchFolder folder;
  Registry registry(folder / "registry.reg");
  const std::string key = ModemDriverKey(2);
  ASSERT_EQ(registry.Modify([&](KeyNode& root) {
    KeyNode& driver = CreateKey(
        root, std::vector<std::string>{"HKEY_LOCAL_MACHINE", "system", "CurrentControlSet",
                                       "Services", "Class", "Modem", "0002"});
    driver.SetValue(RegValue::Text("infpath", "vendor.inf"));
    KeyNode& init = driver.AddSubkey("INIT");
    init.SetValue(RegValue::Text("1", "AT<cr>"));
    init.SetValue(RegValue::Text("2", "AT&F<cr>"));
    init.SetValue(RegValue::Text("3", "AT&B2%B0\\P1<cr>"));  // the init string store's own
    driver.AddSubkey("InitPrevious");
    return ERROR_SUCCESS;
  }),
            ERROR_SUCCESS);
  const KeyNode before = *Driver(registry.Snapshot(), key);

  ASSERT_EQ(SeedDriverKey(registry, key, {"norix-sim.inf", "3-14-2024", DefaultInitStrings()}),
            ERROR_SUCCESS);
  const KeyNode root = registry.Snapshot();
  const KeyNode& after = *Driver(root, key);
  ASSERT_EQ(after.values.size(), 2u);
  EXPECT_EQ(after.values[0], before.values[0]);  // "infpath" kept, value and spelling
  EXPECT_EQ(after.values[1], RegValue::Text("DriverDate", "3-14-2024"));  // the one missing
  EXPECT_EQ(after.subkeys, before.subkeys);

  // Seeding again changes nothing, and nothing is written.
  const std::optional<FileStamp> stamp = StampOf(registry.StorePath());
  ASSERT_EQ(SeedDriverKey(registry, key, {"other.inf", "1-1-2000", {"ATZ<cr>"}}), ERROR_SUCCESS);
  EXPECT_EQ(StampOf(registry.StorePath()), stamp);
}

TEST(DriverKey, SeedingRefusesBadKeysAndMalformedStores) {
  test::ScratchFolder folder;
  const std::string path = folder / "registry.reg";
  Registry registry(path);
  for (const std::string_view bad : {"", "\\Modem", "Modem\\\\0001", "Modem\\00\n01"}) {
    EXPECT_EQ(
        SeedDriverKey(registry, bad, DriverInfo{"test.inf", "3-14-2024", DefaultInitStrings()}),
        ERROR_BAD_PATHNAME)
        << bad;
  }
  EXPECT_FALSE(std::filesystem::exists(path));

  WriteFile(path,
            "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\A]\n\"v\"=\"open\n");
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(SeedDriverKey(registry, ModemDriverKey(1),
                          DriverInfo{"test.inf", "3-14-2024", DefaultInitStrings()}),
            ERROR_REGISTRY_CORRUPT);
  ::testing::internal::GetCapturedStderr();
}

// A made-up kernel tree: sysfs links for the ttys and a modules folder.
class TtyDriver : public ::testing::Test {
 protected:
  void SetUp() override {
    kernel.sys = folder / "sys";
    kernel.modules = folder / "modules";
    namespace fs = std::filesystem;
    fs::create_directories(kernel.modules + "/kernel/drivers/usb/serial");
    WriteFile(
        kernel.modules + "/modules.dep",
        "kernel/drivers/usb/serial/usbserial.ko.xz:\n"
        "kernel/drivers/usb/serial/ftdi_sio.ko.xz: kernel/drivers/usb/serial/usbserial.ko.xz\n");
    WriteFile(kernel.modules + "/kernel/drivers/usb/serial/ftdi_sio.ko.xz", "module");
    WriteFile(kernel.modules + "/modules.builtin", "kernel/drivers/usb/class/cdc-acm.ko\n");
    SetDate(kernel.modules + "/kernel/drivers/usb/serial/ftdi_sio.ko.xz", 2021, 6, 15);
    SetDate(kernel.modules + "/modules.builtin", 2023, 11, 2);

    Device("ttyUSB3", "bus/usb-serial/drivers/ftdi_sio", "module/ftdi_sio");
    Device("ttyACM0", "bus/usb/drivers/cdc_acm", "");
    fs::create_directories(kernel.sys + "/class/tty/ttyS0/device");  // no driver bound
    Device("ttyUSB9", "bus/usb-serial/drivers/unlisted", "");

    fs::create_directories(folder / "dev/serial/by-id");
    WriteFile(folder / "dev/ttyUSB3", "");
    fs::create_symlink("../../ttyUSB3", folder / "dev/serial/by-id/usb-NORIX_Modem-if00-port0");
  }

  void Device(const std::string& tty, const std::string& driver, const std::string& module) {
    namespace fs = std::filesystem;
    const std::string device = kernel.sys + "/devices/" + tty;
    fs::create_directories(device);
    fs::create_directories(kernel.sys + '/' + driver);
    fs::create_symlink(kernel.sys + '/' + driver, device + "/driver");
    if (!module.empty()) {
      fs::create_directories(kernel.sys + '/' + module);
      fs::create_symlink(kernel.sys + '/' + module, kernel.sys + '/' + driver + "/module");
    }
    fs::create_directories(kernel.sys + "/class/tty/" + tty);
    fs::create_symlink(device, kernel.sys + "/class/tty/" + tty + "/device");
  }

  static void SetDate(const std::string& path, int year, int month, int day) {
    std::tm noon{};
    noon.tm_year = year - 1900;
    noon.tm_mon = month - 1;
    noon.tm_mday = day;
    noon.tm_hour = 12;
    noon.tm_isdst = -1;
    const timespec times[2] = {{std::mktime(&noon), 0}, {std::mktime(&noon), 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
  }

  test::ScratchFolder folder;
  KernelPaths kernel;
};

TEST_F(TtyDriver, TheBoundDriverAndTheDateOfItsModule) {
  const std::optional<DriverInfo> ftdi = DriverInfoForTty("/dev/ttyUSB3", kernel);
  ASSERT_TRUE(ftdi);
  EXPECT_EQ(ftdi->infPath, "ftdi_sio");
  EXPECT_EQ(ftdi->driverDate, "6-15-2021");
  EXPECT_EQ(ftdi->initStrings, DefaultInitStrings());

  // A by-id link names the same device.
  const std::optional<DriverInfo> byId =
      DriverInfoForTty(folder / "dev/serial/by-id/usb-NORIX_Modem-if00-port0", kernel);
  ASSERT_TRUE(byId);
  EXPECT_EQ(byId->infPath, "ftdi_sio");

  // Built into the kernel: "cdc-acm" on file is module "cdc_acm".
  const std::optional<DriverInfo> acm = DriverInfoForTty("/dev/ttyACM0", kernel);
  ASSERT_TRUE(acm);
  EXPECT_EQ(acm->infPath, "cdc_acm");
  EXPECT_EQ(acm->driverDate, "11-2-2023");

  const std::optional<DriverInfo> unlisted = DriverInfoForTty("/dev/ttyUSB9", kernel);
  ASSERT_TRUE(unlisted);
  EXPECT_EQ(unlisted->infPath, "unlisted");
  EXPECT_EQ(unlisted->driverDate, "");

  EXPECT_FALSE(DriverInfoForTty("/dev/ttyS0", kernel));
  EXPECT_FALSE(DriverInfoForTty("/dev/pts/4", kernel));
}

}  // namespace
}  // namespace norix::platform::registry
