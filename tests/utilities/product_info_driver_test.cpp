#include "utilities/product_info_driver.h"

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/registry/driver_key.h"
#include "platform/registry/registry.h"
#include "platform/telephony/serial_by_id.h"

namespace norix::utilities {
namespace {

namespace R = platform::registry;

class DriverInformationTest : public ::testing::Test {
 protected:
  DriverInformationTest() {
    std::string pattern = (std::filesystem::temp_directory_path() / "norix-util-XXXXXX").string();
    dir_ = mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
    registry_ = std::make_unique<R::Registry>(dir_ + "/registry.reg");
  }
  DriverInformationTest(const DriverInformationTest&) = delete;
  DriverInformationTest& operator=(const DriverInformationTest&) = delete;
  DriverInformationTest(DriverInformationTest&&) = delete;
  DriverInformationTest& operator=(DriverInformationTest&&) = delete;

 public:
  ~DriverInformationTest() override {
    registry_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }

 protected:
  void SetValue(const std::string& key, const std::string& name, const std::string& value) {
    R::HKEY handle{};
    ASSERT_EQ(registry_->RegCreateKeyEx(R::HKEY_LOCAL_MACHINE, key, "", R::REG_OPTION_NON_VOLATILE,
                                        R::KEY_ALL_ACCESS, &handle, nullptr),
              R::ERROR_SUCCESS);
    ASSERT_EQ(registry_->RegSetValueEx(handle, name, R::REG_SZ, value.data(),
                                       static_cast<R::DWORD>(value.size())),
              R::ERROR_SUCCESS);
    ASSERT_EQ(registry_->RegCloseKey(handle), R::ERROR_SUCCESS);
  }

  std::string dir_;
  std::unique_ptr<R::Registry> registry_;
};

TEST_F(DriverInformationTest, ReadsBothValuesOfTheDriverKey) {
  const std::string key = R::ModemDriverKey(1);
  SetValue(key, "InfPath", "norix56k.inf");
  SetValue(key, "DriverDate", "3-14-2024");
  ProductInformation info;
  ReadDriverInformation(registry_.get(), key, info);
  EXPECT_EQ(info.driverFile, "norix56k.inf");
  EXPECT_EQ(info.driverDate, "3-14-2024");
}

TEST_F(DriverInformationTest, MissingValueIsABlankAndLongValueIsCut) {
  const std::string key = R::ModemDriverKey(2);
  SetValue(key, "InfPath", std::string(300, 'x') + ".inf");
  ProductInformation info{"", "old file", "old date"};
  ReadDriverInformation(registry_.get(), key, info);
  EXPECT_EQ(info.driverFile, std::string(kDriverFileChars, 'x'));
  EXPECT_EQ(info.driverDate, " ");
}

// What an earlier product showed is not the driver of one without a key.
TEST_F(DriverInformationTest, MissingKeyOrRegistryShowsNoDriver) {
  for (const auto& [registry, key] :
       {std::pair{registry_.get(), std::optional(R::ModemDriverKey(9))},
        std::pair{registry_.get(), std::optional<std::string>{}},
        std::pair<R::Registry*, std::optional<std::string>>{nullptr, R::ModemDriverKey(1)}}) {
    ProductInformation info{"", "old file", "old date"};
    ReadDriverInformation(registry, key, info);
    EXPECT_EQ(info.driverFile, " ");
    EXPECT_EQ(info.driverDate, " ");
  }
}

TEST_F(DriverInformationTest, SeedsKeysOfDevicesThatNameOneAndKeepsExistingValues) {
  const std::string simulated = R::ModemDriverKey(1);
  const std::string configured = R::ModemDriverKey(2);
  SetValue(configured, "InfPath", "vendor.inf");
  // A pty has no device driver: the simulator's driver stands in for it.
  const std::vector<platform::telephony::LineDevice> devices{
      {"NORIX Netrunner 56000 Voice", "/dev/pts/77", platform::telephony::kApiVersion13,
       platform::telephony::kApiVersion14, simulated},
      {"NORIX corvid 336 Voice", "/dev/pts/78", platform::telephony::kApiVersion13,
       platform::telephony::kApiVersion14, configured},
      {"NORIX without key", "/dev/pts/79", platform::telephony::kApiVersion13,
       platform::telephony::kApiVersion14, std::nullopt},
  };
  R::KernelPaths kernel{dir_ + "/sys", dir_ + "/modules"};
  EXPECT_TRUE(SeedDriverKeys(*registry_, devices, kernel).empty());

  ProductInformation info;
  ReadDriverInformation(registry_.get(), simulated, info);
  EXPECT_EQ(info.driverFile, kSimulatedInfPath);
  EXPECT_EQ(info.driverDate, SimulatedDriverInfo().driverDate);
  ReadDriverInformation(registry_.get(), configured, info);
  EXPECT_EQ(info.driverFile, "vendor.inf");
}

TEST_F(DriverInformationTest, UnstorableKeyIsReportedByDeviceName) {
  const std::vector<platform::telephony::LineDevice> devices{
      {"NORIX bad key", "/dev/pts/77", platform::telephony::kApiVersion13,
       platform::telephony::kApiVersion14, std::string("Modem\\\\0001")}};
  EXPECT_EQ(SeedDriverKeys(*registry_, devices, {dir_ + "/sys", dir_ + "/modules"}),
            std::vector<std::string>{"NORIX bad key"});
}

// A USB device found by its by-id link gets a driver key of its own, named
// after the link; the seeding fills it (here the link names /dev/null, which
// has no device driver, so the simulator's driver stands in).
TEST_F(DriverInformationTest, UsbDeviceGetsAKeyNamedAfterItsLinkAndItIsSeeded) {
  const std::filesystem::path byId = std::filesystem::path(dir_) / "by-id";
  std::filesystem::create_directories(byId);
  const std::string link = "usb-NORIX_Corvid_560V_USB_0123456789-if00";
  std::filesystem::create_symlink("/dev/null", byId / link);

  const auto devices = platform::telephony::ScanSerialById(byId, "NORIX");
  ASSERT_EQ(devices.size(), 1U);
  ASSERT_TRUE(devices[0].driverKey);
  EXPECT_EQ(*devices[0].driverKey,
            std::string(platform::telephony::kUsbDriverKeyPath) + "\\" + link);
  EXPECT_TRUE(SeedDriverKeys(*registry_, devices, {dir_ + "/sys", dir_ + "/modules"}).empty());
  ProductInformation info;
  ReadDriverInformation(registry_.get(), devices[0].driverKey, info);
  EXPECT_EQ(info.driverFile, kSimulatedInfPath);
}

}  // namespace
}  // namespace norix::utilities
