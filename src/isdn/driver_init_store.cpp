#include "isdn/driver_init_store.h"

#include <algorithm>
#include <cstdint>

#include "isdn/init_string.h"
#include "platform/ascii/ascii_text.h"
#include "platform/registry/key_tree.h"
#include "platform/registry/registry.h"

namespace norix::isdn {

namespace {

namespace R = platform::registry;

constexpr std::string_view kInitKey = "Init";
constexpr std::string_view kMarkKey = "InitPrevious";
constexpr std::string_view kPreviousValue = "1";

// The driver key's path from the root of the store's content; none for a
// key that the store could not hold.
std::optional<std::vector<std::string>> DriverPath(std::string_view driverKey) {
  std::optional<std::vector<std::string>> parts = R::SplitKeyPath(driverKey);
  if (!parts || parts->empty()) {
    return std::nullopt;
  }
  std::vector<std::string> path{"HKEY_LOCAL_MACHINE"};
  for (std::string& part : *parts) {
    if (!R::IsStorableKeyName(part)) {
      return std::nullopt;
    }
    path.push_back(std::move(part));
  }
  return path;
}

// The text of a string value; none for a value of another type. A string
// kept as bytes ends at its first NUL.
std::optional<std::string> TextOf(const R::RegValue& value) {
  if (value.text) {
    return value.data;
  }
  if (value.type != R::REG_SZ) {
    return std::nullopt;
  }
  return value.data.substr(0, value.data.find('\0'));
}

// The number a value is named with, when its name is one ("1", "12").
std::optional<std::uint32_t> NameNumber(std::string_view name) {
  if (name.empty() || name.size() > 9 ||
      !std::all_of(name.begin(), name.end(), [](char c) { return platform::ascii::IsDigit(c); })) {
    return std::nullopt;
  }
  std::uint32_t number = 0;
  for (const char c : name) {
    number = number * 10 + static_cast<std::uint32_t>(c - '0');
  }
  return number;
}

// One more than the highest number among the value names: never the name of
// a value the driver has, and sent after all of them.
std::string NextFreeName(const R::KeyNode& init) {
  std::uint32_t highest = 0;
  for (const R::RegValue& value : init.values) {
    highest = std::max(highest, NameNumber(value.name).value_or(0));
  }
  return std::to_string(highest + 1);
}

const R::KeyNode* FindDriver(const R::KeyNode& root, std::string_view driverKey) {
  const std::optional<std::vector<std::string>> path = DriverPath(driverKey);
  return path ? R::FindKey(root, *path) : nullptr;
}

}  // namespace

void KeepPrevious(InitStringStore& store, const std::optional<std::string>& driverKey) {
  const bool sameDevice =
      store.device && driverKey && platform::ascii::EqualNoCase(*store.device, *driverKey);
  store.previous = sameDevice ? store.current : std::string();
}

void ReadInitString(R::Registry* registry, const std::optional<std::string>& driverKey,
                    InitStringStore& store) {
  // Emptied first: whatever fails below must not leave another device's
  // string to be decoded and written to this one.
  store.current.clear();
  store.device = driverKey;
  if (registry == nullptr || !driverKey) {
    return;
  }
  const R::KeyNode root = registry->Snapshot();
  const R::KeyNode* driver = FindDriver(root, *driverKey);
  if (driver == nullptr || driver->FindSubkey(kMarkKey) == nullptr) {
    return;
  }
  const R::KeyNode* init = driver->FindSubkey(kInitKey);
  if (init == nullptr || init->values.empty()) {
    return;
  }
  store.current = TextOf(init->values.back()).value_or(std::string());
  if (store.current.size() > kInitStringLimit) {
    store.current.resize(kInitStringLimit);
  }
}

InitStoreResult WriteInitString(R::Registry* registry, const std::optional<std::string>& driverKey,
                                std::string_view text, InitStringStore& store) {
  if (registry == nullptr || !driverKey) {
    return InitStoreResult::kNoDriver;
  }
  const std::optional<std::vector<std::string>> path = DriverPath(*driverKey);
  if (!path) {
    return InitStoreResult::kNoDriver;
  }
  bool noDriver = false;
  const R::LSTATUS status = registry->Modify([&](R::KeyNode& root) {
    R::KeyNode* driver = R::FindKey(root, *path);
    if (driver == nullptr) {
      noDriver = true;
      return R::ERROR_FILE_NOT_FOUND;
    }
    const bool marked = driver->FindSubkey(kMarkKey) != nullptr;
    {
      R::KeyNode& init = driver->AddSubkey(kInitKey);
      const std::string name =
          marked && !init.values.empty() ? init.values.back().name : NextFreeName(init);
      init.SetValue(R::RegValue::Text(name, std::string(text)));
    }
    // Adding a subkey moves its siblings: "Init" is not touched from here on.
    R::KeyNode& mark = driver->AddSubkey(kMarkKey);
    if (marked) {
      mark.SetValue(R::RegValue::Text(std::string(kPreviousValue), store.previous));
    }
    return R::ERROR_SUCCESS;
  });
  if (status != R::ERROR_SUCCESS) {
    return noDriver ? InitStoreResult::kNoDriver : InitStoreResult::kFailed;
  }
  store.current = std::string(text);
  store.device = driverKey;
  return InitStoreResult::kWritten;
}

std::optional<DriverInitStrings> ReadDriverInitStrings(R::Registry& registry,
                                                       std::string_view driverKey) {
  const R::KeyNode root = registry.Snapshot();
  const R::KeyNode* driver = FindDriver(root, driverKey);
  if (driver == nullptr) {
    return std::nullopt;
  }
  DriverInitStrings strings;
  const R::KeyNode* init = driver->FindSubkey(kInitKey);
  if (init == nullptr) {
    return strings;
  }
  std::vector<R::RegValue> values = init->values;
  if (driver->FindSubkey(kMarkKey) != nullptr && !values.empty()) {
    strings.protocol = TextOf(values.back());
    values.pop_back();
  }
  // Numbered values in the order of their numbers, any others after them as
  // they were added.
  std::stable_sort(values.begin(), values.end(), [](const R::RegValue& a, const R::RegValue& b) {
    const std::optional<std::uint32_t> left = NameNumber(a.name);
    const std::optional<std::uint32_t> right = NameNumber(b.name);
    if (left && right) {
      return *left < *right;
    }
    return left.has_value() && !right.has_value();
  });
  for (const R::RegValue& value : values) {
    if (std::optional<std::string> text = TextOf(value)) {
      strings.driver.push_back(std::move(*text));
    }
  }
  return strings;
}

}  // namespace norix::isdn
