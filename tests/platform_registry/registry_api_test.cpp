// The registry calls: keys and values by name without regard to case,
// buffers that are too small, enumeration order, access rights and handles,
// and the init string store's sequence of calls on a driver key.
#include <array>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "platform/registry/registry.h"
#include "registry_test_support.h"

namespace norix::platform::registry {
namespace {

constexpr std::string_view kDriverKey = "System\\CurrentControlSet\\Services\\Class\\Modem\\0001";

class RegistryApi : public ::testing::Test {
 protected:
  HKEY Create(std::string_view path, REGSAM sam = KEY_ALL_ACCESS) {
    HKEY key{};
    DWORD disposition = 0;
    EXPECT_EQ(registry.RegCreateKeyEx(HKEY_LOCAL_MACHINE, path, "", REG_OPTION_NON_VOLATILE, sam,
                                      &key, &disposition),
              ERROR_SUCCESS)
        << path;
    return key;
  }

  LSTATUS SetText(HKEY key, std::string_view name, std::string_view text) {
    return registry.RegSetValueEx(key, name, REG_SZ, text.data(), static_cast<DWORD>(text.size()));
  }

  // The value as a string (without the NUL), or the error as "#code".
  std::string Text(HKEY key, std::string_view name) {
    std::array<char, 256> buffer{};
    DWORD size = buffer.size();
    const LSTATUS status = registry.RegQueryValueEx(key, name, nullptr, buffer.data(), &size);
    if (status != ERROR_SUCCESS) return "#" + std::to_string(status);
    EXPECT_GT(size, 0u);
    EXPECT_EQ(buffer.at(size - 1), '\0');
    return std::string(buffer.data(), size - 1);
  }

  // The value names of a key in enumeration order.
  std::vector<std::string> ValueNames(HKEY key) {
    std::vector<std::string> names;
    for (DWORD i = 0;; ++i) {
      std::array<char, 64> name{};
      DWORD nameSize = name.size();
      const LSTATUS status =
          registry.RegEnumValue(key, i, name.data(), &nameSize, nullptr, nullptr, nullptr);
      if (status != ERROR_SUCCESS) {
        EXPECT_EQ(status, ERROR_NO_MORE_ITEMS);
        return names;
      }
      names.emplace_back(name.data(), nameSize);
    }
  }

  test::ScratchFolder folder;
  Registry registry{folder / "norix/registry.reg"};
};

TEST_F(RegistryApi, NamesFindTheirKeysAndValuesWhateverTheCase) {
  const HKEY written = Create("System\\CurrentControlSet\\Services\\Class\\Modem\\0001");
  ASSERT_EQ(SetText(written, "InfPath", "norix-sim.inf"), ERROR_SUCCESS);
  ASSERT_EQ(SetText(written, "INFPATH", "replaced.inf"), ERROR_SUCCESS);

  HKEY read{};
  ASSERT_EQ(registry.RegOpenKeyEx(HKEY_LOCAL_MACHINE,
                                  "SYSTEM\\currentcontrolset\\SERVICES\\class\\modem\\0001", 0,
                                  KEY_READ, &read),
            ERROR_SUCCESS);
  EXPECT_EQ(Text(read, "infpath"), "replaced.inf");
  EXPECT_EQ(ValueNames(read), std::vector<std::string>{"InfPath"});  // first spelling stays

  HKEY modem{};
  ASSERT_EQ(registry.RegOpenKeyEx(HKEY_LOCAL_MACHINE, "system\\CurrentControlSet\\Services\\Class",
                                  0, KEY_READ, &modem),
            ERROR_SUCCESS);
  std::array<char, 16> name{};
  DWORD nameSize = name.size();
  ASSERT_EQ(registry.RegEnumKeyEx(modem, 0, name.data(), &nameSize), ERROR_SUCCESS);
  EXPECT_STREQ(name.data(), "Modem");
  EXPECT_EQ(nameSize, 5u);
  EXPECT_EQ(registry.RegCloseKey(modem), ERROR_SUCCESS);
  EXPECT_EQ(registry.RegCloseKey(read), ERROR_SUCCESS);
  EXPECT_EQ(registry.RegCloseKey(written), ERROR_SUCCESS);
}

TEST_F(RegistryApi, SmallBuffersGetMoreDataAndTheSizeNeeded) {
  const HKEY key = Create("Sizes");
  ASSERT_EQ(SetText(key, "v", "12345"), ERROR_SUCCESS);

  DWORD type = 0;
  DWORD size = 0;
  ASSERT_EQ(registry.RegQueryValueEx(key, "v", &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(size, 6u);  // the text and its NUL

  std::array<char, 8> buffer{};
  buffer.fill('#');
  size = 5;  // room for the text but not its NUL
  EXPECT_EQ(registry.RegQueryValueEx(key, "v", nullptr, buffer.data(), &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 6u);
  EXPECT_EQ(buffer.at(0), '#');
  size = 6;
  ASSERT_EQ(registry.RegQueryValueEx(key, "v", nullptr, buffer.data(), &size), ERROR_SUCCESS);
  EXPECT_STREQ(buffer.data(), "12345");
  EXPECT_EQ(registry.RegQueryValueEx(key, "v", nullptr, buffer.data(), nullptr),
            ERROR_INVALID_PARAMETER);

  std::array<char, 2> name{};
  DWORD nameSize = name.size();
  size = buffer.size();
  EXPECT_EQ(registry.RegEnumValue(key, 0, name.data(), &nameSize, nullptr, buffer.data(), &size),
            ERROR_SUCCESS);
  EXPECT_STREQ(name.data(), "v");
  ASSERT_EQ(SetText(key, "longer", "x"), ERROR_SUCCESS);
  nameSize = name.size();
  EXPECT_EQ(registry.RegEnumValue(key, 1, name.data(), &nameSize, nullptr, nullptr, nullptr),
            ERROR_MORE_DATA);
  EXPECT_EQ(nameSize, 7u);
  std::array<char, 8> longName{};
  nameSize = longName.size();
  size = 1;
  EXPECT_EQ(
      registry.RegEnumValue(key, 1, longName.data(), &nameSize, nullptr, buffer.data(), &size),
      ERROR_MORE_DATA);
  EXPECT_STREQ(longName.data(), "longer");  // the name fits; only the data does not
  EXPECT_EQ(size, 2u);
}

TEST_F(RegistryApi, StringsReadBackTerminatedHoweverTheyWereWritten) {
  const HKEY key = Create("Strings");
  const char withNul[] = "with";
  ASSERT_EQ(registry.RegSetValueEx(key, "a", REG_SZ, withNul, sizeof withNul), ERROR_SUCCESS);
  ASSERT_EQ(registry.RegSetValueEx(key, "b", REG_SZ, "without", 7), ERROR_SUCCESS);
  ASSERT_EQ(registry.RegSetValueEx(key, "c", REG_SZ, "cut\0here", 8), ERROR_SUCCESS);
  ASSERT_EQ(registry.RegSetValueEx(key, "", REG_SZ, nullptr, 0), ERROR_SUCCESS);
  EXPECT_EQ(Text(key, "a"), "with");
  EXPECT_EQ(Text(key, "b"), "without");
  EXPECT_EQ(Text(key, "c"), "cut");
  EXPECT_EQ(Text(key, ""), "");

  const std::uint32_t number = 0x01020304;
  ASSERT_EQ(registry.RegSetValueEx(key, "n", REG_DWORD, &number, 4), ERROR_SUCCESS);
  std::uint32_t back = 0;
  DWORD size = sizeof back;
  DWORD type = 0;
  ASSERT_EQ(registry.RegQueryValueEx(key, "n", &type, &back, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_DWORD);
  EXPECT_EQ(size, 4u);
  EXPECT_EQ(back, number);

  EXPECT_EQ(registry.RegSetValueEx(key, "n", REG_DWORD, &number, 2), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(registry.RegSetValueEx(key, "x", REG_MULTI_SZ, "a\0\0", 3), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(registry.RegSetValueEx(key, "x", REG_SZ, nullptr, 3), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(Text(key, "x"), "#2");
}

TEST_F(RegistryApi, ValuesEnumerateInTheOrderTheyWereFirstSet) {
  const HKEY key = Create("Order");
  for (const char* name : {"2", "10", "1", "b", "A"})
    ASSERT_EQ(SetText(key, name, name), ERROR_SUCCESS);
  ASSERT_EQ(SetText(key, "10", "replaced in place"), ERROR_SUCCESS);
  EXPECT_EQ(ValueNames(key), (std::vector<std::string>{"2", "10", "1", "b", "A"}));
  ASSERT_EQ(registry.RegDeleteValue(key, "10"), ERROR_SUCCESS);
  EXPECT_EQ(registry.RegDeleteValue(key, "10"), ERROR_FILE_NOT_FOUND);
  ASSERT_EQ(SetText(key, "10", "back at the end"), ERROR_SUCCESS);
  EXPECT_EQ(ValueNames(key), (std::vector<std::string>{"2", "1", "b", "A", "10"}));

  for (const char* sub : {"Order\\beta", "Order\\Alpha", "Order\\gamma", "Order\\ALPHA2"}) {
    EXPECT_EQ(registry.RegCloseKey(Create(sub)), ERROR_SUCCESS);
  }
  std::vector<std::string> subkeys;
  std::array<char, 16> name{};
  DWORD nameSize = name.size();
  for (DWORD i = 0; registry.RegEnumKeyEx(key, i, name.data(), &nameSize) == ERROR_SUCCESS; ++i) {
    subkeys.emplace_back(name.data(), nameSize);
    nameSize = name.size();
  }
  EXPECT_EQ(subkeys, (std::vector<std::string>{"Alpha", "ALPHA2", "beta", "gamma"}));
}

TEST_F(RegistryApi, HandlesCarryTheirAccessRights) {
  registry.RegCloseKey(Create("Rights\\Child"));
  HKEY readOnly{};
  ASSERT_EQ(registry.RegOpenKeyEx(HKEY_LOCAL_MACHINE, "Rights", 0, KEY_READ, &readOnly),
            ERROR_SUCCESS);
  EXPECT_EQ(SetText(readOnly, "v", "x"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(registry.RegDeleteValue(readOnly, "v"), ERROR_ACCESS_DENIED);
  HKEY child{};
  DWORD disposition = 0;
  EXPECT_EQ(registry.RegCreateKeyEx(readOnly, "Child", "", REG_OPTION_NON_VOLATILE, KEY_READ,
                                    &child, &disposition),
            ERROR_SUCCESS);  // opening an existing key needs no right
  EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
  EXPECT_EQ(registry.RegCreateKeyEx(readOnly, "New", "", REG_OPTION_NON_VOLATILE, KEY_READ, &child,
                                    &disposition),
            ERROR_ACCESS_DENIED);
  EXPECT_EQ(child, HKEY{});

  HKEY setOnly{};
  ASSERT_EQ(registry.RegOpenKeyEx(HKEY_LOCAL_MACHINE, "Rights", 0, KEY_SET_VALUE, &setOnly),
            ERROR_SUCCESS);
  EXPECT_EQ(SetText(setOnly, "v", "x"), ERROR_SUCCESS);
  DWORD size = 0;
  EXPECT_EQ(registry.RegQueryValueEx(setOnly, "v", nullptr, nullptr, &size), ERROR_ACCESS_DENIED);
  std::array<char, 8> name{};
  DWORD nameSize = name.size();
  EXPECT_EQ(registry.RegEnumKeyEx(setOnly, 0, name.data(), &nameSize), ERROR_ACCESS_DENIED);
  EXPECT_EQ(Text(readOnly, "v"), "x");
}

TEST_F(RegistryApi, OpeningAndCreatingKeys) {
  HKEY key{};
  EXPECT_EQ(registry.RegOpenKeyEx(HKEY_LOCAL_MACHINE, "Missing", 0, KEY_READ, &key),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(key, HKEY{});
  for (const std::string_view bad : {"\\Lead", "Trail\\", "Dou\\\\ble"}) {
    EXPECT_EQ(registry.RegOpenKeyEx(HKEY_LOCAL_MACHINE, bad, 0, KEY_READ, &key),
              ERROR_BAD_PATHNAME);
    EXPECT_EQ(registry.RegCreateKeyEx(HKEY_LOCAL_MACHINE, bad, "", 0, KEY_READ, &key, nullptr),
              ERROR_BAD_PATHNAME);
  }
  for (const std::string_view bad : {std::string_view("line\nbreak"), std::string_view("cr\rhere"),
                                     std::string_view("n\0l", 3)}) {
    EXPECT_EQ(registry.RegCreateKeyEx(HKEY_LOCAL_MACHINE, bad, "", 0, KEY_READ, &key, nullptr),
              ERROR_INVALID_PARAMETER);
  }
  EXPECT_EQ(registry.RegCreateKeyEx(HKEY_LOCAL_MACHINE, std::string(256, 'k'), "", 0, KEY_READ,
                                    &key, nullptr),
            ERROR_INVALID_PARAMETER);
  EXPECT_EQ(registry.RegCreateKeyEx(HKEY_LOCAL_MACHINE, "Volatile", "", REG_OPTION_VOLATILE,
                                    KEY_READ, &key, nullptr),
            ERROR_INVALID_PARAMETER);

  DWORD disposition = 0;
  ASSERT_EQ(registry.RegCreateKeyEx(HKEY_LOCAL_MACHINE, "A\\B\\C", "REG_SZ", 0, KEY_ALL_ACCESS,
                                    &key, &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
  HKEY again{};
  ASSERT_EQ(registry.RegOpenKeyEx(key, "", 0, KEY_READ, &again), ERROR_SUCCESS);
  EXPECT_NE(again, key);
  HKEY middle{};
  EXPECT_EQ(registry.RegOpenKeyEx(HKEY_LOCAL_MACHINE, "a\\b", 0, KEY_READ, &middle), ERROR_SUCCESS);

  EXPECT_EQ(registry.RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_EQ(registry.RegCloseKey(key), ERROR_INVALID_HANDLE);
  EXPECT_EQ(SetText(key, "v", "x"), ERROR_INVALID_HANDLE);
  EXPECT_EQ(registry.RegCloseKey(HKEY_LOCAL_MACHINE), ERROR_SUCCESS);
  EXPECT_EQ(registry.RegCloseKey(HKEY{12345}), ERROR_INVALID_HANDLE);
  EXPECT_EQ(registry.RegOpenKeyEx(HKEY_LOCAL_MACHINE, "A", 0, KEY_READ, nullptr),
            ERROR_INVALID_PARAMETER);
}

TEST_F(RegistryApi, AKeyRemovedByAnotherInstanceReportsDeleted) {
  const HKEY key = Create("Gone\\Soon");
  ASSERT_EQ(SetText(key, "v", "1"), ERROR_SUCCESS);
  Registry other(registry.StorePath());
  ASSERT_EQ(other.Modify([](KeyNode& root) {
    root.subkeys.front().subkeys.clear();
    return ERROR_SUCCESS;
  }),
            ERROR_SUCCESS);
  EXPECT_EQ(Text(key, "v"), "#" + std::to_string(ERROR_KEY_DELETED));
  EXPECT_EQ(SetText(key, "v", "2"), ERROR_KEY_DELETED);
  HKEY below{};
  EXPECT_EQ(registry.RegOpenKeyEx(key, "", 0, KEY_READ, &below), ERROR_KEY_DELETED);
  EXPECT_EQ(registry.RegCreateKeyEx(key, "Child", "", 0, KEY_ALL_ACCESS, &below, nullptr),
            ERROR_KEY_DELETED);
  EXPECT_EQ(FindKey(registry.Snapshot(), std::vector<std::string>{"HKEY_LOCAL_MACHINE", "Gone"}),
            nullptr);
}

// The calls the driver init string store makes: a first write appends a value
// to "Init" and creates "InitPrevious"; later writes replace that value.
TEST_F(RegistryApi, InitStringStoreSequenceOnADriverKey) {
  const HKEY driver = Create(kDriverKey);
  const HKEY seeded = Create(std::string(kDriverKey) + "\\Init");
  ASSERT_EQ(SetText(seeded, "1", "AT<cr>"), ERROR_SUCCESS);
  ASSERT_EQ(SetText(seeded, "2", "AT&F<cr>"), ERROR_SUCCESS);
  registry.RegCloseKey(seeded);

  constexpr REGSAM kAccess = KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;
  const auto write = [&](std::string_view current, std::string_view previous) {
    HKEY init{};
    ASSERT_EQ(registry.RegOpenKeyEx(driver, "Init", 0, kAccess, &init), ERROR_SUCCESS);
    std::array<char, 1024> name{};
    std::array<char, 255> scratch{};
    DWORD count = 0;
    std::string last;
    while (true) {
      DWORD nameSize = name.size();
      DWORD dataSize = scratch.size();
      if (registry.RegEnumValue(init, count, name.data(), &nameSize, nullptr, scratch.data(),
                                &dataSize) != ERROR_SUCCESS) {
        break;
      }
      last.assign(name.data(), nameSize);
      ++count;
    }
    HKEY previousKey{};
    if (registry.RegOpenKeyEx(driver, "InitPrevious", 0, kAccess, &previousKey) == ERROR_SUCCESS) {
      EXPECT_EQ(SetText(init, last, current), ERROR_SUCCESS);
      EXPECT_EQ(SetText(previousKey, "1", previous), ERROR_SUCCESS);
      registry.RegCloseKey(previousKey);
    } else {
      EXPECT_EQ(SetText(init, std::string(1, static_cast<char>('0' + count + 1)), current),
                ERROR_SUCCESS);
      DWORD disposition = 0;
      EXPECT_EQ(registry.RegCreateKeyEx(driver, "InitPrevious", "REG_SZ", 0, KEY_READ, &previousKey,
                                        &disposition),
                ERROR_SUCCESS);
      EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
      registry.RegCloseKey(previousKey);
    }
    registry.RegCloseKey(init);
  };

  write("AT&B0%B2\\P2<cr>", "");
  write("AT&B2%B0\\P1<cr>", "AT&B0%B2\\P2<cr>");

  // A fresh instance reads what a later run of the program would read.
  Registry later(registry.StorePath());
  HKEY init{};
  ASSERT_EQ(later.RegOpenKeyEx(HKEY_LOCAL_MACHINE, std::string(kDriverKey) + "\\init", 0, KEY_READ,
                               &init),
            ERROR_SUCCESS);
  std::vector<std::string> names;
  std::vector<std::string> data;
  for (DWORD i = 0;; ++i) {
    std::array<char, 1024> name{};
    std::array<char, 255> value{};
    DWORD nameSize = name.size();
    DWORD valueSize = value.size();
    if (later.RegEnumValue(init, i, name.data(), &nameSize, nullptr, value.data(), &valueSize) !=
        ERROR_SUCCESS) {
      break;
    }
    names.emplace_back(name.data(), nameSize);
    data.emplace_back(value.data());
  }
  EXPECT_EQ(names, (std::vector<std::string>{"1", "2", "3"}));
  EXPECT_EQ(data.back(), "AT&B2%B0\\P1<cr>");
  HKEY previous{};
  ASSERT_EQ(later.RegOpenKeyEx(HKEY_LOCAL_MACHINE, std::string(kDriverKey) + "\\InitPrevious", 0,
                               KEY_READ, &previous),
            ERROR_SUCCESS);
  std::array<char, 255> value{};
  DWORD size = value.size();
  ASSERT_EQ(later.RegQueryValueEx(previous, "1", nullptr, value.data(), &size), ERROR_SUCCESS);
  EXPECT_STREQ(value.data(), "AT&B0%B2\\P2<cr>");
}

}  // namespace
}  // namespace norix::platform::registry
